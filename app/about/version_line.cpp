#include "app/about/version_line.h"

namespace {

std::wstring AtLeastFourDigits(int number) {
  // Widened first: the magnitude of INT_MIN does not fit an int.
  long long value = number;
  std::wstring sign = value < 0 ? L"-" : L"";
  std::wstring digits = std::to_wstring(value < 0 ? -value : value);
  if (digits.size() < 4) digits.insert(0, 4 - digits.size(), L'0');
  return sign + digits;
}

}  // namespace

std::wstring VersionLine(int major, int minor, int revision) {
  return L"Version " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L" β6 (build." +
         AtLeastFourDigits(revision) + L")";
}
