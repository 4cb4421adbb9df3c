// A run's or an undo's report as the tests expect it, written out here
// rather than taken from the code that writes it.
#pragma once
#include <string>

namespace expected_report {

// "○ " or "× ", the path, then " -> " and the outcome, and an empty line.
inline std::wstring Line(bool done, const std::wstring& path, const std::wstring& outcome) {
  return (done ? L"○ " : L"× ") + path + L"\r\n -> " + outcome + L"\r\n\r\n";
}

// The three lines of counts that end every report.
inline std::wstring Summary(int total, int succeeded, int failed) {
  return L"総ファイル数　：" + std::to_wstring(total) + L"\r\n成功ファイル数：" +
         std::to_wstring(succeeded) + L"\r\n失敗ファイル数：" + std::to_wstring(failed) + L"\r\n";
}

}  // namespace expected_report
