#include "engine/text_forms.h"

#include <cstdint>
#include <vector>

#include "engine/composition_table.h"

namespace {

using CodePoints = std::vector<char32_t>;

CodePoints ToCodePoints(const std::wstring& text) {
  CodePoints points;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    }
    points.push_back(c);
  }
  return points;
}

void AppendCodePoint(std::wstring& text, char32_t c) {
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    return;
  }
  text += static_cast<wchar_t>(c);
}

constexpr char32_t kHangulFirst = 0xAC00, kLeadFirst = 0x1100, kVowelFirst = 0x1161,
                   kTrailFirst = 0x11A7;
constexpr char32_t kVowels = 21, kTrails = 28, kSyllables = 11172;

void Decompose(char32_t c, CodePoints& out) {
  if (c >= kHangulFirst && c < kHangulFirst + kSyllables) {
    const char32_t index = c - kHangulFirst;
    out.push_back(kLeadFirst + index / (kVowels * kTrails));
    out.push_back(kVowelFirst + index % (kVowels * kTrails) / kTrails);
    if (index % kTrails) out.push_back(kTrailFirst + index % kTrails);
    return;
  }
  char32_t first = 0, second = 0;
  if (!CanonicalDecomposition(c, first, second)) {
    out.push_back(c);
    return;
  }
  Decompose(first, out);
  if (second) Decompose(second, out);
}

// Marks in canonical order: a stable sort of each run of non-starters.
void Reorder(CodePoints& points) {
  for (size_t i = 1; i < points.size(); ++i) {
    const int cls = CanonicalCombiningClass(points[i]);
    if (cls == 0) continue;
    for (size_t j = i; j > 0 && CanonicalCombiningClass(points[j - 1]) > cls; --j)
      std::swap(points[j], points[j - 1]);
  }
}

char32_t Composite(char32_t first, char32_t second) {
  if (first >= kLeadFirst && first < kLeadFirst + 19 && second >= kVowelFirst &&
      second < kVowelFirst + kVowels)
    return kHangulFirst + ((first - kLeadFirst) * kVowels + (second - kVowelFirst)) * kTrails;
  if (first >= kHangulFirst && first < kHangulFirst + kSyllables &&
      (first - kHangulFirst) % kTrails == 0 && second > kTrailFirst &&
      second < kTrailFirst + kTrails)
    return first + (second - kTrailFirst);
  return PrimaryComposite(first, second);
}

CodePoints Compose(const CodePoints& points) {
  CodePoints out;
  size_t starter = SIZE_MAX;
  int lastClass = 0;
  for (char32_t c : points) {
    const int cls = CanonicalCombiningClass(c);
    const bool adjacent = starter != SIZE_MAX && out.size() == starter + 1;
    const bool blocked = !adjacent && (lastClass == 0 || lastClass >= cls);
    if (starter != SIZE_MAX && !blocked) {
      if (const char32_t composite = Composite(out[starter], c)) {
        out[starter] = composite;
        continue;
      }
    }
    if (cls == 0) starter = out.size();
    lastClass = cls;
    out.push_back(c);
  }
  return out;
}

void AppendComposed(std::wstring& text, const CodePoints& run) {
  CodePoints decomposed;
  for (char32_t c : run) Decompose(c, decomposed);
  Reorder(decomposed);
  for (char32_t c : Compose(decomposed)) AppendCodePoint(text, c);
}

// Half-width katakana U+FF61..U+FF9F as full-width forms.
constexpr char16_t kFullWidthKana[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
    u"ハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

}  // namespace

std::wstring ComposeLikeNfc(const std::wstring& text) {
  // Below U+0300 every text is composed already.
  bool plain = true;
  for (wchar_t c : text) plain = plain && static_cast<char32_t>(c) < 0x300;
  if (plain) return text;
  std::wstring composed;
  CodePoints run;
  for (char32_t c : ToCodePoints(text)) {
    if (!NfcReplacesByOther(c)) {
      run.push_back(c);
      continue;
    }
    AppendComposed(composed, run);
    run.clear();
    AppendCodePoint(composed, c);
  }
  AppendComposed(composed, run);
  return composed;
}

std::wstring NormalizeWidth(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= 0xFF01 && c <= 0xFF5E) {
      out += static_cast<wchar_t>(c - 0xFEE0);
      continue;
    }
    if (c < 0xFF61 || c > 0xFF9F) {
      out += c;
      continue;
    }
    const char32_t kana = kFullWidthKana[c - 0xFF61];
    const wchar_t next = i + 1 < text.size() ? text[i + 1] : 0;
    const char32_t mark = next == 0xFF9E ? 0x3099 : next == 0xFF9F ? 0x309A : 0;
    const char32_t voiced = mark ? PrimaryComposite(kana, mark) : 0;
    if (voiced) ++i;
    out += static_cast<wchar_t>(voiced ? voiced : kana);
  }
  return out;
}
