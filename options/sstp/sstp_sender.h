// The SSTP sender: hands a script to VBSOCK.dll, which sends it to a mascot
// program as an SSTP SEND request, and keeps the text the library hands back.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/app_error.h"
#include "options/sstp/sstp_text.h"

// Raised when VBSOCK.dll or one of its functions cannot be found, and when
// the library announces a negative text size.
inline constexpr uint32_t kFileNotFoundError = 53;
inline constexpr const wchar_t* kVbsockMissingText = L"VBSOCK.dll が見つかりません。";
inline constexpr uint32_t kEntryPointError = 453;
inline constexpr const wchar_t* kVbsockEntryText = L"VBSOCK.dll に必要な関数が見つかりません。";
inline constexpr uint32_t kInvalidCallError = 5;
inline constexpr const wchar_t* kInvalidCallText =
    L"プロシージャの呼び出し、または引数が不正です。";

class VBSOCK {
 public:
  std::wstring SSTP_Address;  // given to the library; "host" or "host:port"
  int SSTP_Port = 0;          // a send happens only when it is not 0
  std::wstring SSTP_Sender;
  std::wstring recvData;  // the library's text after the last send

  // Sends SendData as the script. Does nothing when the port is 0 or the
  // address or the script is empty. Throws AppError when the library is
  // missing or its text size cannot be buffered.
  void SendSSTP_SEND11(const std::wstring& SendData);

 private:
  static std::wstring TrimLeadingBreaks(std::wstring_view text) {
    return sstp::TrimLeadingBreaks(text);
  }
  static std::wstring CleanText(std::wstring_view text) { return sstp::CleanText(text); }
};
