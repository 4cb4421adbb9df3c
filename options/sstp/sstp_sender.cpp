#include "options/sstp/sstp_sender.h"

#include <windows.h>

#include <limits>
#include <string_view>

#include "options/sstp/vbsock_api.h"
#include "win/text.h"

void VBSOCK::SendSSTP_SEND11(const std::wstring& SendData) {
  if (SSTP_Port == 0 || SSTP_Address.empty() || SendData.empty()) return;
  // A missing library is reported before anything changes.
  switch (LoadVbsock()) {
    case VbsockLoad::kLoaded: break;
    case VbsockLoad::kLibraryMissing: throw AppError(kFileNotFoundError, kVbsockMissingText);
    case VbsockLoad::kFunctionMissing: throw AppError(kEntryPointError, kVbsockEntryText);
  }
  recvData.clear();

  // The port is not passed: the library finds it in the address or uses
  // the standard one. The option text is empty.
  std::string address = win::ToAnsi(SSTP_Address);
  std::string sender = win::ToAnsi(SSTP_Sender);
  std::string script = win::ToAnsi(SendData);
  g_vbsock->sendSstpSend(address.c_str(), sender.c_str(), script.c_str(), "");

  int32_t size = g_vbsock->getSendDataSize();
  if (size == std::numeric_limits<int32_t>::max()) throw AppError(kOverflowError, kOverflowText);
  if (size < 0) throw AppError(kInvalidCallError, kInvalidCallText);

  std::string buffer(static_cast<size_t>(size) + 1, '\0');
  SendDataRecord record{0, buffer.data()};
  g_vbsock->getSendData(&record);
  // Never read past the buffer, whatever the library left in it.
  buffer.back() = '\0';
  // Cut at the first NUL before decoding: a NUL byte is a NUL character in
  // the ANSI code page, and the buffer may be far longer than its text.
  recvData = win::FromAnsi(std::string_view(buffer.c_str()));
}
