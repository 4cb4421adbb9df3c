#include "vbsock/dll/sstp_request.h"

#include <gtest/gtest.h>

#include <string>

namespace {

vbsock::Endpoint Parsed(const char* address) {
  vbsock::Endpoint endpoint;
  EXPECT_TRUE(vbsock::ParseAddress(address, endpoint)) << address;
  return endpoint;
}

bool Refused(const char* address) {
  vbsock::Endpoint endpoint;
  endpoint.host = "unchanged";
  bool ok = vbsock::ParseAddress(address, endpoint);
  EXPECT_EQ(endpoint.host, "unchanged") << "a refused address must leave the endpoint alone";
  return !ok;
}

TEST(ParseAddress, HostAloneTakesTheStandardPort) {
  auto e = Parsed("localhost");
  EXPECT_EQ(e.host, "localhost");
  EXPECT_EQ(e.port, 9801);
  e = Parsed("  192.168.0.5\t");
  EXPECT_EQ(e.host, "192.168.0.5");
  EXPECT_EQ(e.port, 9801);
}

TEST(ParseAddress, HostAndPort) {
  auto e = Parsed("127.0.0.1:11000");
  EXPECT_EQ(e.host, "127.0.0.1");
  EXPECT_EQ(e.port, 11000);
  e = Parsed("host:1");
  EXPECT_EQ(e.port, 1);
  e = Parsed("host:65535");
  EXPECT_EQ(e.port, 65535);
}

TEST(ParseAddress, Ipv6Forms) {
  auto e = Parsed("[::1]:9821");
  EXPECT_EQ(e.host, "::1");
  EXPECT_EQ(e.port, 9821);
  e = Parsed("[::1]");
  EXPECT_EQ(e.host, "::1");
  EXPECT_EQ(e.port, 9801);
  // Without brackets the colons belong to the address.
  e = Parsed("fe80::1");
  EXPECT_EQ(e.host, "fe80::1");
  EXPECT_EQ(e.port, 9801);
}

TEST(ParseAddress, RefusesEmptyHostsAndBadPorts) {
  EXPECT_TRUE(Refused(""));
  EXPECT_TRUE(Refused("   "));
  EXPECT_TRUE(Refused(":9801"));
  EXPECT_TRUE(Refused("host:"));
  EXPECT_TRUE(Refused("host:0"));
  EXPECT_TRUE(Refused("host:65536"));
  EXPECT_TRUE(Refused("host:99999999999"));
  EXPECT_TRUE(Refused("host:-1"));
  EXPECT_TRUE(Refused("host:98a"));
  EXPECT_TRUE(Refused("host: 98"));
  EXPECT_TRUE(Refused("[::1"));
  EXPECT_TRUE(Refused("[]:9801"));
  EXPECT_TRUE(Refused("[::1]9801"));
}

TEST(OneLine, EveryKindOfLineBreakBecomesOneReplacement) {
  EXPECT_EQ(vbsock::OneLine("a\r\nb\rc\nd", "|"), "a|b|c|d");
  EXPECT_EQ(vbsock::OneLine("\n\r", "|"), "||");  // LF CR is two breaks
  EXPECT_EQ(vbsock::OneLine("\r\n\r\n", "|"), "||");
  EXPECT_EQ(vbsock::OneLine("plain", "|"), "plain");
  EXPECT_EQ(vbsock::OneLine("", "|"), "");
}

TEST(OneLine, KeepsShiftJisBytes) {
  // "表示" in Shift_JIS: the trail byte 0x5C looks like a backslash.
  const std::string text = "\x95\x5c\x8e\xa6";
  EXPECT_EQ(vbsock::OneLine(text, "\\n"), text);
}

TEST(BuildSendRequest, ExactBytes) {
  EXPECT_EQ(vbsock::BuildSendRequest("Velnoir", "\\h\\s0Hello\\e", ""),
            "SEND SSTP/1.1\r\n"
            "Sender: Velnoir\r\n"
            "Script: \\h\\s0Hello\\e\r\n"
            "Charset: Shift_JIS\r\n"
            "\r\n");
}

TEST(BuildSendRequest, OptionLineOnlyWhenGiven) {
  EXPECT_EQ(vbsock::BuildSendRequest("s", "x", "nodescript"),
            "SEND SSTP/1.1\r\nSender: s\r\nScript: x\r\nOption: nodescript\r\n"
            "Charset: Shift_JIS\r\n\r\n");
}

TEST(BuildSendRequest, LineBreaksCannotStartHeaderLines) {
  std::string request =
      vbsock::BuildSendRequest("me\r\nIfGhost: x", "a\r\nEntry: b\rc\nd\r\n", "o\nCharset: UTF-8");
  EXPECT_EQ(request,
            "SEND SSTP/1.1\r\n"
            "Sender: me IfGhost: x\r\n"
            "Script: a\\nEntry: b\\nc\\nd\\n\r\n"
            "Option: o Charset: UTF-8\r\n"
            "Charset: Shift_JIS\r\n"
            "\r\n");
  // Six line ends: the request line, four header lines, the empty line.
  size_t breaks = 0;
  for (char c : request) breaks += c == '\n';
  EXPECT_EQ(breaks, 6u);
}

TEST(ResponseComplete, NeedsTheEmptyLine) {
  EXPECT_FALSE(vbsock::ResponseComplete(""));
  EXPECT_FALSE(vbsock::ResponseComplete("SSTP/1.1 200 OK\r\n"));
  EXPECT_FALSE(vbsock::ResponseComplete("SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\n"));
  EXPECT_TRUE(vbsock::ResponseComplete("SSTP/1.1 200 OK\r\n\r\n"));
  EXPECT_TRUE(vbsock::ResponseComplete("SSTP/1.1 200 OK\r\nCharset: Shift_JIS\r\n\r\n"));
  EXPECT_TRUE(vbsock::ResponseComplete("SSTP/1.1 200 OK\n\n"));
}

}  // namespace
