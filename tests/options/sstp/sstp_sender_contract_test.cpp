// The sender's side of the library contract, against a stand-in library
// whose announced size and text the test chooses.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include <algorithm>
#include <limits>
#include <string>

#include "options/sstp/sstp_sender.h"
#include "options/sstp/vbsock_api.h"

using namespace std::string_literals;

namespace {

struct Fake {
  int sends = 0;
  std::string address, sender, script, option;
  int32_t size = 0;
  std::string text;  // written into the caller's buffer, at most size bytes
  bool recordWasClean = false;
} g_fake;

int32_t VBSOCK_CALL FakeSend(const char* address, const char* sender, const char* script,
                             const char* option) {
  ++g_fake.sends;
  g_fake.address = address;
  g_fake.sender = sender;
  g_fake.script = script;
  g_fake.option = option;
  return 0;
}

int32_t VBSOCK_CALL FakeSize() { return g_fake.size; }

int32_t VBSOCK_CALL FakeData(SendDataRecord* record) {
  // The caller promises n + 1 NUL bytes and a zero integer.
  g_fake.recordWasClean = record->Reserved == 0;
  for (int32_t i = 0; i <= g_fake.size; ++i) g_fake.recordWasClean &= record->Text[i] == '\0';
  g_fake.text.copy(record->Text, std::min<size_t>(g_fake.text.size(), g_fake.size));
  return 0;
}

class SenderContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadVbsock(), VbsockLoad::kLoaded);
    fakes_.emplace(g_vbsock, VbsockApi{FakeSend, FakeSize, FakeData});
    g_fake = Fake{};
    sock_.SSTP_Address = L"mascot.example:9821";
    sock_.SSTP_Port = 11000;
    sock_.SSTP_Sender = L"Velnoir";
    sock_.recvData = L"previous";
  }
  std::optional<win::Seam<VbsockApi>::Replacement> fakes_;
  VBSOCK sock_;
};

TEST_F(SenderContract, PassesTheThreeTextsAndAnEmptyFourth) {
  g_fake.size = 2;
  g_fake.text = "OK";
  sock_.SendSSTP_SEND11(L"\\h\\s0Hi\\e");
  EXPECT_EQ(g_fake.sends, 1);
  EXPECT_EQ(g_fake.address, "mascot.example:9821");  // the port field is not added
  EXPECT_EQ(g_fake.sender, "Velnoir");
  EXPECT_EQ(g_fake.script, "\\h\\s0Hi\\e");
  EXPECT_EQ(g_fake.option, "");
  EXPECT_TRUE(g_fake.recordWasClean);
  EXPECT_EQ(sock_.recvData, L"OK");
}

TEST_F(SenderContract, TextShorterThanAnnouncedEndsAtItsNul) {
  g_fake.size = 100;
  g_fake.text = "SSTP/1.1 200 OK";
  sock_.SendSSTP_SEND11(L"x");
  EXPECT_EQ(sock_.recvData, L"SSTP/1.1 200 OK");
}

TEST_F(SenderContract, SizeWithNoRoomForTheNulIsAnOverflow) {
  g_fake.size = std::numeric_limits<int32_t>::max();
  try {
    sock_.SendSSTP_SEND11(L"x");
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kOverflowError);
    EXPECT_EQ(error.Description(), L"オーバーフローしました。");
  }
  EXPECT_EQ(g_fake.sends, 1);
  EXPECT_EQ(sock_.recvData, L"");  // cleared before the library was asked
}

TEST_F(SenderContract, NegativeSizeIsAnInvalidCall) {
  g_fake.size = -1;
  try {
    sock_.SendSSTP_SEND11(L"x");
    FAIL() << "no error";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Number(), kInvalidCallError);
  }
}

}  // namespace
