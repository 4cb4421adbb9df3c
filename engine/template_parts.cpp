#include "engine/template_parts.h"

namespace {

void AddPlain(std::vector<TemplateSegment>& segments, const std::wstring& text) {
  if (text.empty()) return;
  if (!segments.empty() && !segments.back().optional) {
    segments.back().alternatives.front() += text;
    return;
  }
  segments.push_back({false, {text}});
}

std::vector<std::wstring> Alternatives(const std::wstring& inside) {
  std::vector<std::wstring> alternatives(1);
  for (wchar_t c : inside) {
    if (c == L'|') alternatives.emplace_back();
    else alternatives.back() += c;
  }
  return alternatives;
}

}  // namespace

std::vector<TemplateSegment> SplitTemplateParts(const std::wstring& templ) {
  std::vector<TemplateSegment> segments;
  size_t from = 0;
  for (size_t open = templ.find(L'<'); open != std::wstring::npos; open = templ.find(L'<', from)) {
    const size_t close = templ.find(L'>', open + 1);
    if (close == std::wstring::npos) break;
    AddPlain(segments, templ.substr(from, open - from));
    segments.push_back({true, Alternatives(templ.substr(open + 1, close - open - 1))});
    from = close + 1;
  }
  AddPlain(segments, templ.substr(from));
  if (segments.empty()) segments.push_back({false, {L""}});
  return segments;
}
