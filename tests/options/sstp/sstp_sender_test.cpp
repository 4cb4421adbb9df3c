// The SSTP sender class over the real VBSOCK.dll, against a local server.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "options/sstp/sstp_sender.h"
#include "options/sstp/vbsock_api.h"
#include "sstp_test_server.h"

using namespace std::string_literals;

namespace {

std::string ShiftJis(const std::wstring& text) {
  int n = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string Request(const std::string& sender, const std::string& script) {
  return "SEND SSTP/1.1\r\nSender: " + sender + "\r\nScript: " + script +
         "\r\nCharset: Shift_JIS\r\n\r\n";
}

VBSOCK SenderFor(const SstpTestServer& server) {
  VBSOCK sock;
  sock.SSTP_Address = server.Address();
  sock.SSTP_Port = 9801;
  sock.SSTP_Sender = L"Velnoir";
  return sock;
}

double SecondsToSend(VBSOCK& sock, const std::wstring& script) {
  auto start = std::chrono::steady_clock::now();
  sock.SendSSTP_SEND11(script);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(VbsockClass, NewObjectIsEmpty) {
  VBSOCK sock;
  EXPECT_EQ(sock.SSTP_Address, L"");
  EXPECT_EQ(sock.SSTP_Port, 0);
  EXPECT_EQ(sock.SSTP_Sender, L"");
  EXPECT_EQ(sock.recvData, L"");
}

TEST(VbsockClass, LibraryLoadsFromTheProgramFolderWithPlainNames) {
  ASSERT_EQ(LoadVbsock(), VbsockLoad::kLoaded);
  EXPECT_NE(g_vbsock->sendSstpSend, nullptr);
  EXPECT_NE(g_vbsock->getSendDataSize, nullptr);
  EXPECT_NE(g_vbsock->getSendData, nullptr);
}

TEST(VbsockClass, SendsTheRequestAndKeepsTheAnswer) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.recvData = L"previous";
  sock.SendSSTP_SEND11(L"\\h\\s0Hello.\\e");
  auto requests = server.Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], Request("Velnoir", "\\h\\s0Hello.\\e"));
  EXPECT_EQ(sock.recvData, L"SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\n\r\n");
  // The port field only gates the send; the address says where to go.
  EXPECT_EQ(sock.SSTP_Port, 9801);
}

TEST(VbsockClass, JapaneseTextsTravelAsShiftJis) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page";
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.SSTP_Sender = L"ぽめろ";
  // 表 and ソ have 0x5C (a backslash) as their trail byte.
  const std::wstring script = L"\\h\\s0表示のソフト、こんにちは。\\e";
  sock.SendSSTP_SEND11(script);
  auto requests = server.Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], Request(ShiftJis(L"ぽめろ"), ShiftJis(script)));
}

TEST(VbsockClass, JapaneseAnswerIsReadInTheAnsiCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page";
  SstpTestServer server("SSTP/1.1 200 OK\r\nX-Note: " + ShiftJis(L"了解") + "\r\n\r\n");
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.SendSSTP_SEND11(L"x");
  EXPECT_EQ(sock.recvData, L"SSTP/1.1 200 OK\r\nX-Note: 了解\r\n\r\n");
}

TEST(VbsockClass, SkipsWithoutPortAddressOrScript) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.recvData = L"previous";

  sock.SSTP_Port = 0;
  sock.SendSSTP_SEND11(L"script");
  sock.SSTP_Port = 9801;
  sock.SSTP_Address.clear();
  sock.SendSSTP_SEND11(L"script");
  sock.SSTP_Address = server.Address();
  sock.SendSSTP_SEND11(L"");

  Sleep(200);
  EXPECT_EQ(server.Connections(), 0);
  EXPECT_EQ(sock.recvData, L"previous");

  // Any port other than 0 sends, negative ones too.
  sock.SSTP_Port = -1;
  sock.SendSSTP_SEND11(L"script");
  EXPECT_EQ(server.Requests(1).size(), 1u);
}

TEST(VbsockClass, LineBreaksInTheScriptStayInsideTheScriptLine) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.SSTP_Sender = L"me\r\nIfGhost: other";
  sock.SendSSTP_SEND11(L"one\r\nCharset: UTF-8\r\n\r\nSEND SSTP/1.1\rtwo\nthree");
  auto requests = server.Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0],
            Request("me IfGhost: other", "one\\nCharset: UTF-8\\n\\nSEND SSTP/1.1\\ntwo\\nthree"));
}

TEST(VbsockClass, NulInsideTheScriptEndsIt) {
  SstpTestServer server(SstpTestServer::kOk);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.SendSSTP_SEND11(L"ab\0\r\nEvil: 1"s);
  auto requests = server.Requests(1);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], Request("Velnoir", "ab"));
}

TEST(VbsockClass, EmptyAnswerGivesSizeZeroAndEmptyText) {
  SstpTestServer server("");  // reads the request, closes without a word
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.recvData = L"previous";
  sock.SendSSTP_SEND11(L"x");
  EXPECT_EQ(server.Requests(1).size(), 1u);
  EXPECT_EQ(g_vbsock->getSendDataSize(), 0);
  EXPECT_EQ(sock.recvData, L"");
}

TEST(VbsockClass, AnswerIsCutAtItsFirstNul) {
  {
    SstpTestServer server("ab\0cd"s);
    ASSERT_TRUE(server.ok());
    VBSOCK sock = SenderFor(server);
    sock.SendSSTP_SEND11(L"x");
    EXPECT_EQ(g_vbsock->getSendDataSize(), 5);
    EXPECT_EQ(sock.recvData, L"ab");
  }
  {
    SstpTestServer server("\0abc"s);
    ASSERT_TRUE(server.ok());
    VBSOCK sock = SenderFor(server);
    sock.recvData = L"previous";
    sock.SendSSTP_SEND11(L"x");
    EXPECT_EQ(sock.recvData, L"");
  }
}

TEST(VbsockClass, SilentServerReturnsWithinTheTimeout) {
  SstpTestServer server("", /*silent=*/true);
  ASSERT_TRUE(server.ok());
  VBSOCK sock = SenderFor(server);
  sock.recvData = L"previous";
  double seconds = SecondsToSend(sock, L"x");
  EXPECT_EQ(server.Requests(1).size(), 1u);
  EXPECT_GE(seconds, 4.0);  // it did wait for an answer
  EXPECT_LT(seconds, 7.0);
  EXPECT_EQ(sock.recvData, L"");
}

TEST(VbsockClass, RefusedConnectionReturnsQuickly) {
  VBSOCK sock;
  sock.SSTP_Address = L"127.0.0.1:" + std::to_wstring(ClosedPort());
  sock.SSTP_Port = 9801;
  sock.recvData = L"previous";
  double seconds = SecondsToSend(sock, L"x");
  EXPECT_LT(seconds, 4.0);
  EXPECT_EQ(sock.recvData, L"");
}

TEST(VbsockClass, UnusableAddressesSendNothing) {
  VBSOCK sock;
  sock.SSTP_Port = 9801;
  for (const wchar_t* address :
       {L"127.0.0.1:0", L":9801", L"127.0.0.1:http", L"no-such-host.invalid"}) {
    sock.SSTP_Address = address;
    sock.recvData = L"previous";
    double seconds = SecondsToSend(sock, L"x");
    EXPECT_EQ(sock.recvData, L"") << address;
    EXPECT_LT(seconds, 8.0) << address;
  }
}

}  // namespace
