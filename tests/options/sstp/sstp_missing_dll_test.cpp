// This exe lives in a folder without VBSOCK.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include "options/sstp/sstp_sender.h"
#include "options/sstp/vbsock_api.h"
#include "win/ui.h"

namespace {

TEST(SenderWithoutLibrary, ReportsTheMissingLibraryAndChangesNothing) {
  ASSERT_EQ(GetFileAttributesW((win::ProgramDirectory() + L"\\VBSOCK.dll").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(LoadVbsock(), VbsockLoad::kLibraryMissing);
  VBSOCK sock;
  sock.SSTP_Address = L"127.0.0.1:9";
  sock.SSTP_Port = 9801;
  sock.recvData = L"previous";
  try {
    sock.SendSSTP_SEND11(L"x");
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kFileNotFoundError);
    EXPECT_EQ(error.Description(), L"VBSOCK.dll が見つかりません。");
  }
  EXPECT_EQ(sock.recvData, L"previous");
  // Skipped sends do not even look for the library.
  sock.SSTP_Port = 0;
  EXPECT_NO_THROW(sock.SendSSTP_SEND11(L"x"));
}

}  // namespace
