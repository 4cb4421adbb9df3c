#include "options/registration/upcheck.h"

#include <gtest/gtest.h>

#include "settings/app_error.h"
#include "options/registration/registration.h"
#include "options/registration/registry_string.h"
#include "options/registration/upcheck_rules.h"
#include "tests/options/options_test_support.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

const std::wstring kAuthorKey = std::wstring(L"Software\\Upcheck\\") + kUpCheckMailAddress;
const std::wstring kProgramKey = kAuthorKey + L"\\PomeroSE";
const wchar_t* kNotInstalledText =
    L"「カネナリ」がインストールされていません。\r\n「カネナリ」への情報設定を中止します。";
const wchar_t* kCaption = L"カネナリの設定に関する情報";

// The number of the AppError that running f raises, or 0.
template <typename F>
uint32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const AppError& error) {
    return error.Number();
  }
  return 0;
}

UpCheck Complete() {
  UpCheck upCheck;
  upCheck.MailAddress(L"dev@example.com");
  upCheck.Author(L"開発者");
  upCheck.InfoURL(L"http://example.com/info.txt", 0);
  upCheck.DistinctName(L"Tool");
  return upCheck;
}

std::wstring ExpectedFilePath() {
  std::wstring path = win::ProgramPath();
  size_t slash = path.find_last_of(L'\\');
  std::wstring name = path.substr(slash + 1);
  return path.substr(0, slash) + L"\\" + name.substr(0, name.find_last_of(L'.')) + L".EXE";
}

class Registration : public ::testing::Test {
 protected:
  ScratchRegistry registry;
  MessageBoxRecorder boxes;
};

}  // namespace

TEST_F(Registration, ReadRegistryStringReadsOnlyPlainStrings) {
  registry.WriteText(L"Software\\T", "text", win::ToAnsi(L"ぽめろ"));
  registry.WriteDword(L"Software\\T", "number", 7);
  registry.Write(L"Software\\T", "expand", REG_EXPAND_SZ, "%PATH%", 7);
  registry.WriteText(L"Software\\T", "longest", std::string(255, 'x'));
  registry.WriteText(L"Software\\T", "too long", std::string(256, 'x'));
  // Stored without a terminating NUL, filling the whole buffer.
  std::string full(256, 'y');
  registry.Write(L"Software\\T", "unterminated", REG_SZ, full.data(), 256);

  auto read = [](const wchar_t* value) {
    return ReadRegistryString(HKEY_CURRENT_USER, L"Software\\T", value);
  };
  EXPECT_EQ(read(L"text"), L"ぽめろ");
  EXPECT_EQ(read(L"number"), L"");
  EXPECT_EQ(read(L"expand"), L"");
  EXPECT_EQ(read(L"longest"), std::wstring(255, L'x'));
  EXPECT_EQ(read(L"too long"), L"");
  // Windows hands such a value over without a NUL, Wine refuses it as too
  // long; either way nothing past the buffer is read.
  std::wstring unterminated = read(L"unterminated");
  EXPECT_TRUE(unterminated.empty() || unterminated == std::wstring(256, L'y'));
  EXPECT_EQ(read(L"missing"), L"");
  EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, L"Software\\Missing", L"text"), L"");
}

TEST_F(Registration, WithoutTheMonitorNothingIsWritten) {
  UpCheck upCheck;
  EXPECT_FALSE(upCheck.InstalledUpCheck());

  boxes.answers = {IDYES};
  RegisterFromOptions(nullptr);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, kNotInstalledText);
  EXPECT_EQ(boxes.shown[1].caption, kCaption);
  EXPECT_EQ(boxes.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(registry.KeyExists(L"Software\\Upcheck"));
  EXPECT_FALSE(IsRegistered());

  UpCheck complete = Complete();
  EXPECT_EQ(ErrorOf([&] { complete.WriteData(); }), 0x80040001u);
  EXPECT_EQ(ErrorOf([&] { complete.InfoURL(L"http://example.com/x", 2); }), 0x80040001u);
  EXPECT_FALSE(registry.KeyExists(L"Software\\Upcheck"));
}

TEST_F(Registration, ConfirmationAsksFirstAndNoDoesNothing) {
  registry.InstallMonitor();
  boxes.answers = {IDNO};
  RegisterFromOptions(nullptr);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, kCaption);
  EXPECT_EQ(boxes.shown[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
  EXPECT_EQ(boxes.shown[0].text,
            L"この機能は「カネナリ」の更新チェック機能を利用するための設定です。\r\n"
            L"この機能を利用するには「カネナリ」を別途ダウンロードする必要があります。\r\n"
            L"また、レジストリを使用しますので、それが嫌な方は使用を控えてください。\r\n"
            L"\r\n"
            L"詳しくはヘルプをご覧ください。\r\n"
            L"「カネナリ」の更新チェック機能を利用しますか？");
  EXPECT_FALSE(registry.KeyExists(kAuthorKey));
}

TEST_F(Registration, RegistersTheProgramsValues) {
  registry.InstallMonitor();
  boxes.answers = {IDYES};
  RegisterFromOptions(nullptr);
  EXPECT_EQ(boxes.shown.size(), 1u);  // no confirmation after success

  EXPECT_EQ(registry.Text(kAuthorKey, "Author"), kUpCheckAuthor);
  EXPECT_EQ(registry.Text(kAuthorKey, "InfoURL"), kUpCheckInfoUrl);
  EXPECT_EQ(registry.Text(kAuthorKey, "DisplayHost"), kUpCheckDisplayHost);
  EXPECT_EQ(registry.Text(kProgramKey, "DistinctName"), L"PomeroSE");
  EXPECT_EQ(registry.Dword(kProgramKey, "Build"), 20019u);
  EXPECT_FALSE(registry.Read(kProgramKey, "IconIndex"));
  EXPECT_EQ(registry.Text(kProgramKey, "FilePath"), ExpectedFilePath());
  EXPECT_EQ(registry.Text(kProgramKey, "DisplayName"), L"MP3 Velnoir ぽめろ SE");
  EXPECT_TRUE(IsRegistered());
}

TEST_F(Registration, TextValuesAreAnsiWithOneTerminatingNul) {
  registry.InstallMonitor();
  WriteRegistration(nullptr);
  // "MP3 Velnoir " + three double-byte characters + " SE": 21 bytes in CP932.
  std::optional<ScratchRegistry::Value> name = registry.Read(kProgramKey, "DisplayName");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->type, static_cast<DWORD>(REG_SZ));
  std::string ansi = win::ToAnsi(L"MP3 Velnoir ぽめろ SE");
  ASSERT_EQ(GetACP(), 932u);
  EXPECT_EQ(ansi.size(), 21u);
  EXPECT_EQ(name->bytes, ansi + '\0');
  std::optional<ScratchRegistry::Value> author = registry.Read(kAuthorKey, "Author");
  ASSERT_TRUE(author);
  EXPECT_EQ(author->bytes, std::string("Velnoir Works") + '\0');
  std::optional<ScratchRegistry::Value> build = registry.Read(kProgramKey, "Build");
  ASSERT_TRUE(build);
  EXPECT_EQ(build->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(build->bytes.size(), 4u);
}

TEST_F(Registration, RegisteringAgainKeepsTheMonitorsValues) {
  registry.InstallMonitor();
  WriteRegistration(nullptr);
  registry.WriteDword(kProgramKey, "LatestBuild", 20020);
  registry.WriteDword(kProgramKey, "Build", 1);
  WriteRegistration(nullptr);
  EXPECT_EQ(registry.Dword(kProgramKey, "Build"), 20019u);
  EXPECT_EQ(registry.Dword(kProgramKey, "LatestBuild"), 20020u);
  EXPECT_EQ(registry.Text(kAuthorKey, "Author"), kUpCheckAuthor);
}

TEST_F(Registration, EmptyDisplayHostWritesNoneAndKeepsAnOlderOne) {
  registry.InstallMonitor();
  UpCheck fresh = Complete();
  fresh.WriteData();
  EXPECT_FALSE(registry.Read(L"Software\\Upcheck\\dev@example.com", "DisplayHost"));

  registry.WriteText(L"Software\\Upcheck\\dev@example.com", "DisplayHost", "old.example.com");
  UpCheck again = Complete();
  again.WriteData();
  EXPECT_EQ(registry.Text(L"Software\\Upcheck\\dev@example.com", "DisplayHost"),
            L"old.example.com");
}

TEST_F(Registration, OptionalValuesOnlyWhenSet) {
  registry.InstallMonitor();
  const std::wstring key = L"Software\\Upcheck\\dev@example.com\\Tool";
  UpCheck plain = Complete();
  plain.WriteData();
  EXPECT_FALSE(registry.Read(key, "IconIndex"));
  EXPECT_FALSE(registry.Read(key, "FilePath"));
  EXPECT_FALSE(registry.Read(key, "DisplayName"));
  EXPECT_EQ(registry.Dword(key, "Build"), 20019u);

  UpCheck full = Complete();
  full.IconIndex(3);
  full.Build(12345);
  full.FilePath(true);
  full.FilePath(false);  // the last setting counts
  full.DisplayName(L"表示名");
  full.WriteData();
  EXPECT_EQ(registry.Dword(key, "IconIndex"), 3u);
  EXPECT_EQ(registry.Dword(key, "Build"), 12345u);
  EXPECT_FALSE(registry.Read(key, "FilePath"));
  EXPECT_EQ(registry.Text(key, "DisplayName"), L"表示名");
}

TEST_F(Registration, WriteDataChecksInOrder) {
  registry.InstallMonitor();
  UpCheck empty;
  EXPECT_EQ(ErrorOf([&] { empty.WriteData(); }), 0x80040002u);
  empty.MailAddress(L"dev@example.com");
  empty.IconIndex(-1);
  EXPECT_EQ(ErrorOf([&] { empty.WriteData(); }), 0x80040003u);
  empty.Author(L"dev");
  EXPECT_EQ(ErrorOf([&] { empty.WriteData(); }), 0x80040004u);
  empty.InfoURL(L"http://example.com/i.txt", 1);
  EXPECT_EQ(ErrorOf([&] { empty.WriteData(); }), 0x80040006u);
  EXPECT_FALSE(registry.KeyExists(L"Software\\Upcheck\\dev@example.com"));
  // Without a distinct name the product name of the version resource serves.
  empty.IconIndex(0);
  EXPECT_EQ(ErrorOf([&] { empty.WriteData(); }), 0u);
  EXPECT_EQ(
      registry.Text(L"Software\\Upcheck\\dev@example.com\\MP3 Velnoir ぽめろ SE", "DistinctName"),
      L"MP3 Velnoir ぽめろ SE");
}

TEST_F(Registration, RegistryFailureLeavesEarlierValues) {
  registry.InstallMonitor();
  UpCheck upCheck = Complete();
  // A key name longer than the registry allows.
  upCheck.DistinctName(std::wstring(300, L'n'));
  EXPECT_EQ(ErrorOf([&] { upCheck.WriteData(); }), 0x8004000Au);
  EXPECT_EQ(registry.Text(L"Software\\Upcheck\\dev@example.com", "Author"), L"開発者");
}

TEST_F(Registration, InfoUrlWritesFurtherAddressesAtOnce) {
  registry.InstallMonitor();
  UpCheck upCheck;
  upCheck.MailAddress(L"dev@example.com");
  upCheck.InfoURL(L"http://example.com/1.txt", 1);
  EXPECT_FALSE(registry.KeyExists(L"Software\\Upcheck\\dev@example.com"));
  upCheck.InfoURL(L"http://example.com/3.txt", 3);
  EXPECT_EQ(registry.Text(L"Software\\Upcheck\\dev@example.com", "InfoURL3"),
            L"http://example.com/3.txt");
  EXPECT_FALSE(registry.Read(L"Software\\Upcheck\\dev@example.com", "InfoURL"));
  upCheck.Author(L"dev");
  upCheck.DistinctName(L"Tool");
  upCheck.WriteData();
  EXPECT_EQ(registry.Text(L"Software\\Upcheck\\dev@example.com", "InfoURL"),
            L"http://example.com/1.txt");
  EXPECT_EQ(registry.Text(L"Software\\Upcheck\\dev@example.com", "InfoURL3"),
            L"http://example.com/3.txt");

  EXPECT_EQ(ErrorOf([&] { upCheck.InfoURL(L"", 4); }), 0x80040004u);
  UpCheck noMail;
  EXPECT_EQ(ErrorOf([&] { noMail.InfoURL(L"http://example.com/x", 2); }), 0x80040002u);
}

TEST_F(Registration, CheckNewVerComparesWithTheMonitorsBuilds) {
  registry.InstallMonitor();
  WriteRegistration(nullptr);
  struct Case {
    DWORD latest, next;
    bool newer;
  };
  for (Case c : {Case{20020, 0, true}, Case{20020, 20019, false}, Case{20020, 20025, true},
                 Case{20019, 0, false}}) {
    registry.WriteDword(kProgramKey, "LatestBuild", c.latest);
    registry.WriteDword(kProgramKey, "NextBuild", c.next);
    UpCheck upCheck;
    upCheck.MailAddress(kUpCheckMailAddress);
    upCheck.DistinctName(L"PomeroSE");
    EXPECT_EQ(upCheck.CheckNewVer(), c.newer) << c.latest << " " << c.next;
  }
  // An explicit build replaces the program's own.
  UpCheck older;
  older.MailAddress(kUpCheckMailAddress);
  older.DistinctName(L"PomeroSE");
  older.Build(20018);
  EXPECT_TRUE(older.CheckNewVer());
  // Values the monitor has not written count as 0.
  registry.Write(kProgramKey, "LatestBuild", REG_BINARY, "\x01\x02\x03\x04\x05", 5);
  UpCheck unreadable;
  unreadable.MailAddress(kUpCheckMailAddress);
  unreadable.DistinctName(L"PomeroSE");
  EXPECT_FALSE(unreadable.CheckNewVer());
}

TEST_F(Registration, CheckNewVerOfAProgramNeverRegistered) {
  registry.InstallMonitor();
  UpCheck upCheck;
  EXPECT_EQ(ErrorOf([&] { upCheck.CheckNewVer(); }), 0x80040002u);
  upCheck.MailAddress(kUpCheckMailAddress);
  upCheck.DistinctName(L"PomeroSE");
  EXPECT_EQ(ErrorOf([&] { upCheck.CheckNewVer(); }), 0x8004000Au);
}

TEST_F(Registration, RefreshAtStartOnlyWhenRegistered) {
  registry.InstallMonitor();
  RefreshRegistrationAtStart(nullptr);
  EXPECT_FALSE(registry.KeyExists(kAuthorKey));

  // Another text, or a value of another type, is not our registration.
  registry.WriteText(kProgramKey, "DistinctName", "pomerose");
  RefreshRegistrationAtStart(nullptr);
  EXPECT_FALSE(registry.Read(kProgramKey, "Build"));
  registry.WriteDword(kProgramKey, "DistinctName", 1);
  RefreshRegistrationAtStart(nullptr);
  EXPECT_FALSE(registry.Read(kProgramKey, "Build"));
  EXPECT_TRUE(boxes.shown.empty());

  registry.WriteText(kProgramKey, "DistinctName", "PomeroSE");
  registry.WriteDword(kProgramKey, "LatestBuild", 20100);
  RefreshRegistrationAtStart(nullptr);
  EXPECT_EQ(registry.Dword(kProgramKey, "Build"), 20019u);
  EXPECT_EQ(registry.Text(kProgramKey, "FilePath"), ExpectedFilePath());
  EXPECT_EQ(registry.Text(kAuthorKey, "InfoURL"), kUpCheckInfoUrl);
  EXPECT_EQ(registry.Dword(kProgramKey, "LatestBuild"), 20100u);
  EXPECT_TRUE(boxes.shown.empty());
}

namespace {

bool InDriveRoot() { return win::ProgramDirectory().size() == 3; }

}  // namespace

// Runs only in the copy of this test program that the next test places in
// a drive root.
TEST(DriveRoot, FilePathHasOneSeparator) {
  if (!InDriveRoot()) GTEST_SKIP() << "not in a drive root";
  ScratchRegistry registry;
  registry.InstallMonitor();
  WriteRegistration(nullptr);
  std::wstring path = registry.Text(kProgramKey, "FilePath");
  EXPECT_EQ(path, win::ProgramDirectory() + L"velnoir_options_root_test.EXE");
  EXPECT_EQ(path.find(L"\\\\"), std::wstring::npos) << win::ToUtf8(path);
  EXPECT_EQ(path.rfind(L".EXE"), path.size() - 4);
}

TEST(DriveRoot, RegistrationFromADriveRoot) {
  if (InDriveRoot()) GTEST_SKIP() << "this is the copy";
  wchar_t windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 2u);
  std::wstring copy = std::wstring(windows, 3) + L"velnoir_options_root_test.exe";
  ASSERT_TRUE(CopyFileW(win::ProgramPath().c_str(), copy.c_str(), FALSE));
  std::wstring command = L"\"" + copy + L"\" --gtest_filter=DriveRoot.FilePathHasOneSeparator";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  BOOL started = CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process);
  DWORD exitCode = 1;
  if (started) {
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  DeleteFileW(copy.c_str());
  ASSERT_TRUE(started);
  EXPECT_EQ(exitCode, 0u);
}
