// An error that ends the command in progress. The command boundary of the
// main window shows its description in a message box; the program goes on.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
 public:
  AppError(uint32_t number, std::wstring description)
      : std::runtime_error("AppError"), number_(number), description_(std::move(description)) {}
  uint32_t Number() const { return number_; }
  const std::wstring& Description() const { return description_; }

 private:
  uint32_t number_;
  std::wstring description_;
};

// The error of arithmetic that leaves the range of its integer type (a
// 16-bit update-monitor value, a message too long to send).
inline constexpr uint32_t kOverflowError = 6;
inline constexpr const wchar_t* kOverflowText = L"オーバーフローしました。";
