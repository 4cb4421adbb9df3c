#include "engine/expanded_text.h"

namespace {

// The index of the first piece that starts at pos or later (past the empty
// pieces at pos when pastEmpty), splitting the piece that runs across pos.
size_t PieceAt(ExpandedText& text, size_t pos, bool pastEmpty) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t size = text[i].text.size();
    if (start == pos && !(pastEmpty && size == 0)) return i;
    if (start < pos && pos < start + size) {
      TextPiece tail{text[i].text.substr(pos - start), text[i].fromTag};
      text[i].text.resize(pos - start);
      text.insert(text.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    start += size;
  }
  return text.size();
}

}  // namespace

std::wstring FlatText(const ExpandedText& text) {
  std::wstring flat;
  for (const TextPiece& piece : text) flat += piece.text;
  return flat;
}

void ReplaceWithTagValue(ExpandedText& text, const std::wstring& code, const std::wstring& value) {
  if (code.empty()) return;
  const std::wstring flat = FlatText(text);
  std::vector<size_t> matches;
  for (size_t at = flat.find(code); at != std::wstring::npos;
       at = flat.find(code, at + code.size()))
    matches.push_back(at);
  // From the last match back, so that the earlier positions stay valid.
  for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
    const size_t first = PieceAt(text, *it, true);
    const size_t last = PieceAt(text, *it + code.size(), false);
    auto begin = text.begin() + static_cast<std::ptrdiff_t>(first);
    text.erase(begin, text.begin() + static_cast<std::ptrdiff_t>(last));
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(first), TextPiece{value, true});
  }
}

ExpandedText SliceOf(const ExpandedText& text, size_t begin, size_t end) {
  ExpandedText slice;
  size_t start = 0;
  for (const TextPiece& piece : text) {
    const size_t stop = start + piece.text.size();
    if (piece.text.empty() ? (start >= begin && start <= end) : (stop > begin && start < end)) {
      const size_t from = begin > start ? begin - start : 0;
      const size_t to = (end < stop ? end : stop) - start;
      slice.push_back({piece.text.substr(from, to - from), piece.fromTag});
    }
    start = stop;
  }
  return slice;
}

std::vector<NameComponent> SplitAtTemplateSeparators(const ExpandedText& text) {
  std::vector<NameComponent> components(1);
  for (const TextPiece& piece : text) {
    if (piece.fromTag) {
      components.back().text += piece.text;
      components.back().byTag = true;
      continue;
    }
    for (wchar_t c : piece.text) {
      if (c == L'\\') components.emplace_back();
      else components.back().text += c;
    }
  }
  return components;
}
