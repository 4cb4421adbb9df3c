#include "settings/setting_value.h"

#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Windows' iswdigit also takes full-width and other script digits.
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

std::optional<int16_t> ParseInt16Setting(const std::wstring& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  if (begin == end) return std::nullopt;
  std::wstring number = text.substr(begin, end - begin);

  // Accept exactly: [sign] digits [. digits] or [sign] . digits, with an
  // optional exponent. Anything else is not a number.
  size_t i = 0;
  bool negative = false;
  if (number[i] == L'+' || number[i] == L'-') negative = number[i++] == L'-';
  std::string ascii = negative ? "-" : "";
  size_t digits = 0;
  while (i < number.size() && IsAsciiDigit(number[i]))
    ascii += static_cast<char>(number[i++]), ++digits;
  if (i < number.size() && number[i] == L'.') {
    ascii += '.';
    ++i;
    while (i < number.size() && IsAsciiDigit(number[i]))
      ascii += static_cast<char>(number[i++]), ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < number.size() && (number[i] == L'e' || number[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < number.size() && (number[i] == L'+' || number[i] == L'-'))
      ascii += static_cast<char>(number[i++]);
    size_t expDigits = 0;
    while (i < number.size() && IsAsciiDigit(number[i]))
      ascii += static_cast<char>(number[i++]), ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != number.size()) return std::nullopt;

  double value = std::strtod(ascii.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  double rounded = std::nearbyint(value);  // default rounding mode: ties to even
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

std::optional<int> BuildNumber(int major, int minor, int revision) {
  // Every operand and every intermediate result must fit, as in the 16-bit
  // arithmetic the update monitor's build numbers come from.
  auto fits = [](int64_t v) { return v >= -32768 && v <= 32767; };
  if (!fits(major) || !fits(minor) || !fits(revision)) return std::nullopt;
  int64_t a = int64_t{major} * 10000;
  int64_t b = int64_t{minor} * 100;
  if (!fits(a) || !fits(b) || !fits(a + b) || !fits(a + b + revision)) return std::nullopt;
  return static_cast<int>(a + b + revision);
}
