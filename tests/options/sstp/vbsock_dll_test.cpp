// VBSOCK.dll's own promises, called through its C interface.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "options/sstp/vbsock_api.h"
#include "sstp_test_server.h"
#include "win/text.h"

using namespace std::string_literals;

namespace {

class VbsockDll : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(LoadVbsock(), VbsockLoad::kLoaded); }

  static int32_t Send(const std::wstring& address, const char* script, const char* option = "") {
    return g_vbsock->sendSstpSend(win::ToAnsi(address).c_str(), "dll-test", script, option);
  }
};

TEST_F(VbsockDll, DeliversExactlyTheAnnouncedBytesAndOneNul) {
  const std::string answer = "SSTP/1.1 200 OK\r\n\0x\r\n\r\n"s;
  SstpTestServer server(answer);
  ASSERT_TRUE(server.ok());
  EXPECT_EQ(Send(server.Address(), "x"), 0);
  int32_t n = g_vbsock->getSendDataSize();
  ASSERT_EQ(n, static_cast<int32_t>(answer.size()));
  // Guard bytes after the n + 1 the caller prepares must stay untouched.
  std::vector<char> buffer(static_cast<size_t>(n) + 1 + 8, '#');
  SendDataRecord record{0, buffer.data()};
  EXPECT_EQ(g_vbsock->getSendData(&record), n);
  EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(n)), answer);
  EXPECT_EQ(buffer[static_cast<size_t>(n)], '\0');
  EXPECT_EQ(std::string(buffer.end() - 8, buffer.end()), "########");
  // Asking again gives the same text: delivering does not consume it.
  EXPECT_EQ(g_vbsock->getSendDataSize(), n);
}

TEST_F(VbsockDll, StopsReadingAtTheEndOfTheAnswerHeader) {
  // A server that answers and then keeps the line open must not make the
  // caller wait for the timeout.
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  DWORD start = GetTickCount();
  EXPECT_EQ(Send(server.Address(), "x"), 0);
  EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST_F(VbsockDll, RefusesMissingRecordOrBuffer) {
  EXPECT_EQ(g_vbsock->getSendData(nullptr), -1);
  SendDataRecord record{0, nullptr};
  EXPECT_EQ(g_vbsock->getSendData(&record), -1);
}

TEST_F(VbsockDll, RefusesMissingTexts) {
  EXPECT_LT(g_vbsock->sendSstpSend(nullptr, "s", "x", ""), 0);
  EXPECT_LT(g_vbsock->sendSstpSend("127.0.0.1", nullptr, "x", ""), 0);
  EXPECT_LT(g_vbsock->sendSstpSend("127.0.0.1", "s", nullptr, ""), 0);
  EXPECT_EQ(g_vbsock->getSendDataSize(), 0);
}

TEST_F(VbsockDll, FailedSendLeavesNoOldAnswerBehind) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  EXPECT_EQ(Send(server.Address(), "x"), 0);
  EXPECT_GT(g_vbsock->getSendDataSize(), 0);
  EXPECT_LT(Send(L"127.0.0.1:" + std::to_wstring(ClosedPort()), "x"), 0);
  EXPECT_EQ(g_vbsock->getSendDataSize(), 0);
  char text[1] = {'#'};
  SendDataRecord record{0, text};
  EXPECT_EQ(g_vbsock->getSendData(&record), 0);
  EXPECT_EQ(text[0], '\0');
}

TEST_F(VbsockDll, OptionTextBecomesAnOptionLine) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  Send(server.Address(), "x", "nodescript");
  Send(server.Address(), "y", nullptr);  // a missing option is an empty one
  auto requests = server.Requests(2);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0],
            "SEND SSTP/1.1\r\nSender: dll-test\r\nScript: x\r\nOption: nodescript\r\n"
            "Charset: Shift_JIS\r\n\r\n");
  EXPECT_EQ(requests[1],
            "SEND SSTP/1.1\r\nSender: dll-test\r\nScript: y\r\nCharset: Shift_JIS\r\n\r\n");
}

TEST_F(VbsockDll, AnswerWithoutEmptyLineEndsWhenTheServerCloses) {
  SstpTestServer server("SSTP/1.1 200 OK\r\n");
  ASSERT_TRUE(server.ok());
  // The server closes after an answer without the empty line: what came
  // is delivered as it is.
  EXPECT_EQ(Send(server.Address(), "x"), 0);
  EXPECT_EQ(g_vbsock->getSendDataSize(), static_cast<int32_t>(strlen("SSTP/1.1 200 OK\r\n")));
}

TEST_F(VbsockDll, AddressWithoutPortUsesTheStandardPort) {
  SstpTestServer server(SstpTestServer::kOk, /*silent=*/false, 9801);
  // Only when 9801 is free here; a real SSTP server may hold it.
  if (!server.ok()) GTEST_SKIP() << "port 9801 is in use";
  EXPECT_EQ(Send(L"127.0.0.1", "x"), 0);
  EXPECT_EQ(server.Requests(1).size(), 1u);
}

}  // namespace
