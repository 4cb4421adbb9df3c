// The property dialog on real MP3 files written by lame, through the real
// VBMP3.dll: what the controls show, what the duplicate check says, and what
// OK, Cancel and the close box leave on disk and in the rename list.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "audio_library/library_path.h"
#include "audio/property/property_dialog.h"
#include "audio_library/vbmp3_api.h"
#include "tests/support/dialog_checks.h"
#include "tests/support/memory_rename_list.h"
#include "tests/vbmp3/synth.h"
#include "tests/support/ui_driver.h"
#include "tests/support/vbmp3_environment.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

using Id = PropertyDialog::ControlId;
using ui_driver::ComboItems;
using ui_driver::PressAccessKey;
using ui_driver::PressAndRelease;
using ui_driver::ReplaceComboText;
using ui_driver::TypeText;

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Vbmp3Environment);

std::wstring FixtureDirectory() {
  std::wstring dir = L"Z:" + win::FromUtf8(PROPERTY_FIXTURES);
  for (wchar_t& c : dir)
    if (c == L'/') c = L'\\';
  return dir;
}

// The title field of the ID3v1 tag at the end of a file, read from its bytes
// rather than through the library.
std::string TitleOnDisk(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
  char tag[128] = {};
  DWORD got = 0;
  SetFilePointer(file, -128, nullptr, FILE_END);
  ReadFile(file, tag, sizeof(tag), &got, nullptr);
  CloseHandle(file);
  if (got != sizeof(tag) || std::string(tag, 3) != "TAG") return "<no tag>";
  std::string title(tag + 3, 30);
  return title.substr(0, title.find_last_not_of(std::string(" \0", 2)) + 1);
}

std::vector<char> FileBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ChooseItem(PropertyDialog& dialog, Id id, int index) {
  ui_driver::ChooseComboItem(dialog.Control(id), index);
}

void Click(PropertyDialog& dialog, Id id) { ui_driver::ReportClick(dialog.Control(id)); }

struct SentTag {
  std::string path;
  TagRecord tag;
  int32_t reserved0, reserved1;
};
std::vector<SentTag> g_sent;
decltype(&vbmp3_setTagInfo) g_realSetTagInfo = nullptr;

int32_t VBMP3_CALL RecordingSetTagInfo(const char* path, const TagRecord* tag, int32_t r0,
                                       int32_t r1) {
  g_sent.push_back({path, *tag, r0, r1});
  return g_realSetTagInfo(path, tag, r0, r1);
}

class PropertyDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::wstring(temp) + L"velnoir_property_" + win::FromUtf8(info->name()) + L"_" +
           std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir_.c_str(), nullptr);
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 100, 100, 800, 600,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    preferences_.settings.defaultTemplate = L"%A - %T";
    preferences_.templates.clear();
    g_sent.clear();
    g_realSetTagInfo = g_vbmp3->setTagInfo;
    Vbmp3Api recording = *g_vbmp3;
    recording.setTagInfo = &RecordingSetTagInfo;
    library_.emplace(g_vbmp3, recording);
  }

  void TearDown() override {
    current_ = nullptr;
    dialog_.reset();
    DestroyWindow(owner_);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring path = dir_ + L"\\" + data.cFileName;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    RemoveDirectoryW(dir_.c_str());
  }

  // A fresh copy of a fixture in this test's folder, under a name of choice.
  std::wstring Copy(const std::wstring& fixture, const std::wstring& name) {
    std::wstring path = dir_ + L"\\" + name;
    EXPECT_TRUE(CopyFileW((FixtureDirectory() + L"\\" + fixture).c_str(), path.c_str(), FALSE))
        << win::ToUtf8(fixture);
    return path;
  }

  // Opens the dialog (not shown) for an entry, answering message boxes by
  // recording them and returning answers_ in turn (IDCANCEL when none left).
  PropertyDialog& Open(const std::wstring& source, const std::wstring& target = L"") {
    list_.entries.clear();
    list_.entries.push_back({L"C:\\other.mp3", L"C:\\x.mp3", L"other.mp3", L"x.mp3"});
    list_.entries.push_back({source, target, L"", L""});
    list_.selected = 2;
    dialog_ = std::make_unique<PropertyDialog>(owner_, list_, 2, preferences_);
    current_ = this;
    messageBox_.emplace(win::g_messageBox, &AnswerMessage);
    EXPECT_TRUE(dialog_->Create());
    return *dialog_;
  }

  // In place of the message box: records what it would show and returns
  // answers_ in turn.
  static int AnswerMessage(HWND, const std::wstring& text, UINT flags, const wchar_t*) {
    PropertyDialogTest& test = *current_;
    test.messages_.push_back({text, flags});
    int answer = IDCANCEL;
    if (!test.answers_.empty()) {
      answer = test.answers_.front();
      test.answers_.erase(test.answers_.begin());
    }
    if (test.onMessage_) test.onMessage_();
    return answer;
  }
  static inline PropertyDialogTest* current_ = nullptr;

  std::wstring Text(Id id) const { return win::GetText(dialog_->Control(id)); }
  std::vector<std::wstring> MpegLines() const {
    std::vector<std::wstring> lines;
    std::wstring text = Text(Id::kStreamInfo);
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
  }
  int GenreSelection() const {
    return static_cast<int>(SendMessageW(dialog_->Control(Id::kGenre), CB_GETCURSEL, 0, 0));
  }
  std::wstring SelectedGenre() const {
    int index = GenreSelection();
    return index < 0 ? L"" : ComboItems(dialog_->Control(Id::kGenre)).at(index);
  }
  TagRecord TagOnDisk(const std::wstring& path) const {
    TagRecord tag{};
    StreamInfoRecord info{};
    EXPECT_TRUE(Vbmp3Succeeded(g_vbmp3->getFileInfo(win::ToAnsi(path).c_str(), &tag, &info)));
    return tag;
  }
  void WriteTagDirectly(const std::wstring& path, const std::wstring& artist,
                        const std::wstring& title) {
    TagRecord tag{};
    win::FillAnsiField(tag.Artist, sizeof(tag.Artist), artist);
    win::FillAnsiField(tag.Title, sizeof(tag.Title), title);
    win::FillAnsiField(tag.Album, sizeof(tag.Album), L"");
    win::FillAnsiField(tag.Year, sizeof(tag.Year), L"");
    win::FillAnsiField(tag.Comment, sizeof(tag.Comment), L"");
    tag.GenreNumber = -1;
    ASSERT_TRUE(Vbmp3Succeeded(g_realSetTagInfo(win::ToAnsi(path).c_str(), &tag, 0, 1)));
  }

  struct Shown {
    std::wstring text;
    UINT flags;
  };
  std::wstring dir_;
  HWND owner_ = nullptr;
  MemoryRenameList list_;
  Preferences preferences_;
  std::optional<win::Seam<Vbmp3Api>::Replacement> library_;
  std::optional<win::Seam<win::MessageBoxFunction>::Replacement> messageBox_;
  std::unique_ptr<PropertyDialog> dialog_;
  std::vector<Shown> messages_;
  std::vector<int> answers_;
  std::function<void()> onMessage_;
};

TEST_F(PropertyDialogTest, LoadShowsPathTagStreamAndCaption) {
  std::wstring path = Copy(L"tagged90.mp3", L"曲 ソ表.mp3");
  std::wstring target = dir_ + L"\\Artist - Title.mp3";
  PropertyDialog& dialog = Open(path, target);

  EXPECT_EQ(win::GetText(dialog.Handle()), L"曲 ソ表.mp3 のプロパティ");
  EXPECT_EQ(Text(Id::kPath), path);
  DWORD start = 0, end = 0;
  SendMessageW(dialog.Control(Id::kPath), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, path.size());
  EXPECT_EQ(end, path.size());

  EXPECT_EQ(Text(Id::kTitle), L"Title");
  EXPECT_EQ(Text(Id::kArtist), L"Artist");
  EXPECT_EQ(Text(Id::kAlbum), L"Album");
  EXPECT_EQ(Text(Id::kYear), L"2001");
  EXPECT_EQ(Text(Id::kComment), L"Comment");
  EXPECT_EQ(SelectedGenre(), L"Rock");

  StreamInfoRecord info{};
  TagRecord tag{};
  ASSERT_TRUE(Vbmp3Succeeded(g_vbmp3->getFileInfo(win::ToAnsi(path).c_str(), &tag, &info)));
  std::vector<std::wstring> lines = MpegLines();
  ASSERT_EQ(lines.size(), 9u) << win::ToUtf8(Text(Id::kStreamInfo));
  EXPECT_EQ(lines[0], L"Version：1");
  EXPECT_EQ(lines[1], L"Layer：3");
  EXPECT_EQ(lines[2], L"Channels：2");
  EXPECT_EQ(lines[3], L"Bitrate：128kbps");
  EXPECT_EQ(lines[4], L"SamplingRate：44100");
  EXPECT_EQ(lines[5], L"FileSize：" + std::to_wstring(FileBytes(path).size()) + L"bytes");
  EXPECT_EQ(lines[6], L"Flames：" + std::to_wstring(info.Frames));
  EXPECT_GT(info.Frames, 3400);
  EXPECT_EQ(lines[7], L"Time：1:30");
  EXPECT_EQ(lines[8], L"ID3v2：なし");

  EXPECT_EQ(Text(Id::kTarget), target);
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");
  EXPECT_FALSE(dialog.TagDirty());
  EXPECT_TRUE(messages_.empty());
}

TEST_F(PropertyDialogTest, PlayTimesOfShortAndLongFiles) {
  Open(Copy(L"short5.mp3", L"five.mp3"));
  EXPECT_EQ(MpegLines().at(7), L"Time：0:05");
  EXPECT_EQ(MpegLines().at(2), L"Channels：1");
  dialog_.reset();
  Open(Copy(L"hour3600.mp3", L"hour.mp3"));
  EXPECT_EQ(MpegLines().at(7), L"Time：60:00");
}

TEST_F(PropertyDialogTest, DuplicateCaptionsFollowTheTypedTarget) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  Copy(L"short5.mp3", L"other.mp3");
  PropertyDialog& dialog = Open(path, path);
  HWND combo = dialog.Control(Id::kTarget);
  const COLORREF red = RGB(255, 0, 0), black = RGB(0, 0, 0);

  EXPECT_EQ(Text(Id::kTargetStatus), L"重複していますが、このファイルと思われます。");
  EXPECT_EQ(dialog.StatusColour(), black);

  struct Case {
    std::wstring target, caption;
    COLORREF colour;
  } cases[] = {
      {dir_ + L"\\SONG.mp3", L"ファイルが重複しています。", red},
      {dir_ + L"\\new.mp3", L"重複はありません。", black},
      {dir_ + L"\\oth*.mp3", L"ファイルが重複しています。", red},
      {dir_ + L"\\?ther.mp3", L"ファイルが重複しています。", red},
      {dir_ + L"\\*.wav", L"重複はありません。", black},
      {dir_ + L"\\missing\\song.mp3", L"重複はありません。", black},
      // The lookup rejects a wildcard in a folder name.
      {dir_ + L"\\*\\song.mp3", L"パスの指定が間違っています。", black},
      {path, L"重複していますが、このファイルと思われます。", black},
  };
  for (const Case& c : cases) {
    ReplaceComboText(combo, c.target);
    EXPECT_EQ(Text(Id::kTarget), c.target);
    EXPECT_EQ(Text(Id::kTargetStatus), c.caption) << win::ToUtf8(c.target);
    EXPECT_EQ(dialog.StatusColour(), c.colour) << win::ToUtf8(c.target);
  }

  // A directory is not a file, and a hidden file does not count.
  CreateDirectoryW((dir_ + L"\\folder.mp3").c_str(), nullptr);
  ReplaceComboText(combo, dir_ + L"\\folder.mp3");
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");
  RemoveDirectoryW((dir_ + L"\\folder.mp3").c_str());
  SetFileAttributesW((dir_ + L"\\other.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
  ReplaceComboText(combo, dir_ + L"\\other.mp3");
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");

  // Nothing to rename to is not a valid target, and no pattern is searched.
  ReplaceComboText(combo, L"");
  EXPECT_EQ(Text(Id::kTargetStatus), L"パスの指定が間違っています。");
  EXPECT_EQ(dialog.StatusColour(), black);
}

TEST_F(PropertyDialogTest, ChoosingACandidateJudgesTheChosenText) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  Copy(L"short5.mp3", L"Title.mp3");
  preferences_.templates = {L"%T"};
  PropertyDialog& dialog = Open(path, path);
  ChooseItem(dialog, Id::kTarget, 1);  // dir\Title.mp3 exists
  EXPECT_EQ(Text(Id::kTargetStatus), L"ファイルが重複しています。");
  EXPECT_EQ(dialog.StatusColour(), RGB(255, 0, 0));
  ChooseItem(dialog, Id::kTarget, 0);  // dir\Artist - Title.mp3 does not
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");
  EXPECT_EQ(dialog.StatusColour(), RGB(0, 0, 0));
}

TEST_F(PropertyDialogTest, CandidatesComeFromEveryTemplateAndAreRebuiltAtEachKeystroke) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  preferences_.settings.defaultTemplate = L"%A - %T";
  preferences_.templates = {L"%T", L"%L (%Y)", L"FP#C:\\Sorted\\%A"};
  PropertyDialog& dialog = Open(path, L"");
  HWND combo = dialog.Control(Id::kTarget);
  // The full-path template loses its colon and is taken from the current
  // folder, as the list's entries are.
  wchar_t here[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, here);
  const std::wstring sorted = std::wstring(here) + L"\\C\\Sorted\\";
  EXPECT_EQ(ComboItems(combo),
            (std::vector<std::wstring>{dir_ + L"\\Artist - Title.mp3", dir_ + L"\\Title.mp3",
                                       dir_ + L"\\Album (2001).mp3", sorted + L"Artist.mp3"}));
  EXPECT_EQ(Text(Id::kTargetStatus), L"パスの指定が間違っています。");

  ReplaceComboText(combo, L"D:\\typed.mp3");
  // The candidates follow the boxes as the user types, not the file.
  WriteTagDirectly(path, L"ソ表", L"New");
  TypeText(dialog.Control(Id::kArtist), L"x");
  EXPECT_TRUE(dialog.TagDirty());
  EXPECT_EQ(ComboItems(combo),
            (std::vector<std::wstring>{dir_ + L"\\Artistx - Title.mp3", dir_ + L"\\Title.mp3",
                                       dir_ + L"\\Album (2001).mp3", sorted + L"Artistx.mp3"}));
  // A target the user typed stays.
  EXPECT_EQ(Text(Id::kTarget), L"D:\\typed.mp3");
  EXPECT_EQ(Text(Id::kArtist), L"Artistx");
}

TEST_F(PropertyDialogTest, TheTargetFollowsTheEditWhileItHoldsTheDefaultTemplatesName) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  preferences_.settings.defaultTemplate = L"%A - %T";
  preferences_.templates = {L"%T"};
  PropertyDialog& dialog = Open(path, dir_ + L"\\Artist - Title.mp3");
  HWND combo = dialog.Control(Id::kTarget);
  TypeText(dialog.Control(Id::kTitle), L"2");
  EXPECT_EQ(Text(Id::kTarget), dir_ + L"\\Artist - Title2.mp3");
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");
  // Another candidate chosen: it stays while the boxes change.
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(dialog.Handle(), WM_COMMAND, MAKEWPARAM(Id::kTarget, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  win::SetText(combo, ComboItems(combo).at(1));
  TypeText(dialog.Control(Id::kTitle), L"3");
  EXPECT_EQ(Text(Id::kTarget), dir_ + L"\\Title2.mp3");
  EXPECT_EQ(ComboItems(combo).front(), dir_ + L"\\Artist - Title23.mp3");
}

TEST_F(PropertyDialogTest, OkWritesAChangedTagAndStoresPathAndTarget) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  PropertyDialog& dialog = Open(path, L"");
  HWND combo = dialog.Control(Id::kTarget);
  win::SetText(dialog.Control(Id::kTitle), L"新しい題名");
  win::SetText(dialog.Control(Id::kYear), L"199901");
  win::SetText(dialog.Control(Id::kComment), L"");
  int jazz =
      static_cast<int>(SendMessageW(dialog.Control(Id::kGenre), CB_FINDSTRINGEXACT,
                                    static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Jazz")));
  ASSERT_GE(jazz, 0);
  ChooseItem(dialog, Id::kGenre, jazz);
  ReplaceComboText(combo, dir_ + L"\\renamed.mp3");
  Click(dialog, Id::kOk);

  EXPECT_EQ(dialog.Handle(), nullptr);
  ASSERT_EQ(g_sent.size(), 1u);
  const SentTag& sent = g_sent[0];
  EXPECT_EQ(sent.path, win::ToAnsi(path));
  EXPECT_EQ(sent.reserved0, 0);
  EXPECT_EQ(sent.reserved1, 1);
  EXPECT_EQ(sent.tag.GenreNumber, 8);  // Jazz
  EXPECT_EQ(std::string(sent.tag.Year, 5), "19990");
  EXPECT_EQ(std::string(sent.tag.Comment, 128), std::string(128, ' '));
  std::string title = win::ToAnsi(L"新しい題名");
  EXPECT_EQ(std::string(sent.tag.Title, 128), title + std::string(128 - title.size(), ' '));
  EXPECT_EQ(std::string(sent.tag.GenreName, 128), std::string(128, '\0'));

  TagRecord onDisk = TagOnDisk(path);
  EXPECT_EQ(win::ReadAnsiField(onDisk.Title, 128), L"新しい題名");
  EXPECT_EQ(win::ReadAnsiField(onDisk.Artist, 128), L"Artist");
  EXPECT_EQ(win::ReadAnsiField(onDisk.GenreName, 128), L"Jazz");

  ASSERT_EQ(list_.entries.size(), 2u);
  const RenameEntry& entry = list_.entries[1];
  EXPECT_EQ(entry.source, path);
  EXPECT_EQ(entry.target, dir_ + L"\\renamed.mp3");
  EXPECT_EQ(entry.sourceName, L"song.mp3");
  EXPECT_EQ(entry.targetName, L"renamed.mp3");
  EXPECT_EQ(list_.entries[0].target, L"C:\\x.mp3");  // the other entry is untouched
}

TEST_F(PropertyDialogTest, OkWithoutATagChangeWritesNothingButStoresTheTarget) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  std::vector<char> before = FileBytes(path);
  PropertyDialog& dialog = Open(path, L"C:\\old.mp3");
  ReplaceComboText(dialog.Control(Id::kTarget), L"C:\\new target.mp3");
  Click(dialog, Id::kOk);
  EXPECT_TRUE(g_sent.empty());
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(list_.entries[1].target, L"C:\\new target.mp3");
  EXPECT_EQ(list_.entries[1].targetName, L"new target.mp3");
  EXPECT_EQ(list_.entries[1].sourceName, L"song.mp3");
}

// A typed target is stored as the name Windows will hold, and the duplicate
// check looks at that name: "con.mp3" is checked and stored as "con_.mp3".
TEST_F(PropertyDialogTest, ATypedTargetIsCheckedAndStoredAsWindowsWillHoldIt) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  Copy(L"short5.mp3", L"con_.mp3");
  PropertyDialog& dialog = Open(path, path);
  HWND combo = dialog.Control(Id::kTarget);
  ReplaceComboText(combo, dir_ + L"\\con.mp3");
  EXPECT_EQ(Text(Id::kTargetStatus), L"ファイルが重複しています。");
  ReplaceComboText(combo, dir_ + L"\\Mr. \\aux.live\\t.mp3 ");
  EXPECT_EQ(Text(Id::kTargetStatus), L"重複はありません。");
  Click(dialog, Id::kOk);
  EXPECT_EQ(list_.entries[1].target, dir_ + L"\\Mr\\aux_.live\\t.mp3");
  EXPECT_EQ(list_.entries[1].targetName, L"t.mp3");
}

TEST_F(PropertyDialogTest, CancelAndTheCloseBoxChangeNothing) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  std::vector<char> before = FileBytes(path);
  for (bool closeBox : {false, true}) {
    PropertyDialog& dialog = Open(path, L"C:\\old.mp3");
    win::SetText(dialog.Control(Id::kArtist), L"Changed");
    ChooseItem(dialog, Id::kGenre, 3);
    ReplaceComboText(dialog.Control(Id::kTarget), L"C:\\other target.mp3");
    EXPECT_TRUE(dialog.TagDirty());
    if (closeBox) SendMessageW(dialog.Handle(), WM_CLOSE, 0, 0);
    else Click(dialog, Id::kCancel);
    EXPECT_EQ(dialog.Handle(), nullptr);
    EXPECT_TRUE(g_sent.empty());
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(list_.entries[1].source, path);
    EXPECT_EQ(list_.entries[1].target, L"C:\\old.mp3");
    dialog_.reset();
  }
}

TEST_F(PropertyDialogTest, EmptyGenreNameSelectsNothingAndWritesMinusOne) {
  std::wstring path = Copy(L"short5.mp3", L"five.mp3");
  PropertyDialog& dialog = Open(path);
  EXPECT_EQ(GenreSelection(), CB_ERR);
  EXPECT_GT(SendMessageW(dialog.Control(Id::kGenre), CB_GETCOUNT, 0, 0), 100);
  EXPECT_FALSE(dialog.TagDirty());
  TypeText(dialog.Control(Id::kAlbum), L"A");
  Click(dialog, Id::kOk);
  ASSERT_EQ(g_sent.size(), 1u);
  EXPECT_EQ(g_sent[0].tag.GenreNumber, -1);
  EXPECT_EQ(win::ReadAnsiField(TagOnDisk(path).Album, 128), L"A");
}

// A key released in the genre box counts as a change of the tag, even one
// that leaves the choice as it was: OK then writes the tag.
TEST_F(PropertyDialogTest, AKeyReleasedInTheGenreBoxMarksTheTagForWriting) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  PropertyDialog& dialog = Open(path);
  HWND genre = dialog.Control(Id::kGenre);
  ASSERT_FALSE(dialog.TagDirty());
  PressAndRelease(dialog.Handle(), genre, VK_SHIFT);
  EXPECT_EQ(SelectedGenre(), L"Rock");
  EXPECT_TRUE(dialog.TagDirty());
  Click(dialog, Id::kOk);
  ASSERT_EQ(g_sent.size(), 1u);
  EXPECT_EQ(g_sent[0].tag.GenreNumber, 17);  // Rock, as it was
  EXPECT_EQ(win::ReadAnsiField(TagOnDisk(path).Title, 128), L"Title");
}

// Alt and the letter of a label's access key move the focus to the control
// after the label, as in any dialog.
TEST_F(PropertyDialogTest, EachLabelsAccessKeyFocusesTheControlAfterIt) {
  PropertyDialog& dialog = Open(Copy(L"tagged90.mp3", L"song.mp3"), L"C:\\target.mp3");
  ShowWindow(dialog.Handle(), SW_SHOW);
  SetForegroundWindow(dialog.Handle());
  SetFocus(dialog.Control(Id::kOk));
  struct Key {
    wchar_t letter;
    Id control;
    const wchar_t* label;
  } keys[] = {
      {L'p', Id::kPath, L"ファイルパス(&P)："},   {L'r', Id::kTarget, L"リネーム予定(&R)："},
      {L'a', Id::kArtist, L"アーティスト(&A)："}, {L't', Id::kTitle, L"タイトル(&T)："},
      {L'l', Id::kAlbum, L"アルバム(&L)："},      {L'c', Id::kComment, L"コメント(&C)："},
      {L'y', Id::kYear, L"製作年(&Y)："},         {L'g', Id::kGenre, L"ジャンル(&G)："},
      {L'P', Id::kPath, L"ファイルパス(&P)："},
  };
  for (const Key& key : keys) {
    SCOPED_TRACE(win::ToUtf8(key.label));
    PressAccessKey(dialog.Handle(), key.letter);
    HWND control = dialog.Control(key.control);
    HWND focus = GetFocus();
    // An editable combo box keeps the focus in its edit part.
    EXPECT_TRUE(focus == control || IsChild(control, focus));
  }
  for (Id label : {Id::kPathLabel, Id::kTargetLabel, Id::kArtistLabel, Id::kTitleLabel,
                   Id::kAlbumLabel, Id::kCommentLabel, Id::kYearLabel, Id::kGenreLabel})
    EXPECT_NE(Text(label).find(L"(&"), std::wstring::npos) << label;
  // Moving about is no change of the tag.
  EXPECT_FALSE(dialog.TagDirty());
}

TEST_F(PropertyDialogTest, GenreListStartsAtGenreZeroInNumberOrder) {
  PropertyDialog& dialog = Open(Copy(L"tagged90.mp3", L"song.mp3"));
  std::vector<std::wstring> genres = ComboItems(dialog.Control(Id::kGenre));
  ASSERT_GT(genres.size(), 17u);
  EXPECT_EQ(genres[0], L"Blues");
  EXPECT_EQ(genres[17], L"Rock");
  EXPECT_EQ(GenreSelection(), 17);
}

TEST_F(PropertyDialogTest, LongTextIsCutAtACharacterBoundary) {
  PropertyDialog& dialog = Open(Copy(L"tagged90.mp3", L"song.mp3"));
  // 127 bytes then a double-byte character: its lead byte alone would fit.
  std::wstring title = std::wstring(127, L'a') + L"あ";
  win::SetText(dialog.Control(Id::kTitle), title);
  win::SetText(dialog.Control(Id::kYear), L"２０２");
  Click(dialog, Id::kOk);
  ASSERT_EQ(g_sent.size(), 1u);
  EXPECT_EQ(std::string(g_sent[0].tag.Title, 128), std::string(127, 'a') + " ");
  EXPECT_EQ(std::string(g_sent[0].tag.Year, 5), win::ToAnsi(L"２０") + " ");
}

TEST_F(PropertyDialogTest, ReadOnlyFileAsksRetryOrCancelAndRetrySucceedsOnceWritable) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  PropertyDialog& dialog = Open(path, L"C:\\t.mp3");
  TypeText(dialog.Control(Id::kTitle), L"!");
  answers_ = {IDRETRY, IDRETRY};
  int shown = 0;
  onMessage_ = [&] {
    // The user fixes the file after seeing the second message.
    if (++shown == 2) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  };
  Click(dialog, Id::kOk);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].text,
            L"ID3に書き込めません。\r\nErrorCode：" + std::to_wstring(VBMP3_ERR_READ_ONLY));
  EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_RETRYCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(g_sent.size(), 3u);
  EXPECT_EQ(std::memcmp(&g_sent[0].tag, &g_sent[2].tag, sizeof(TagRecord)), 0);
  EXPECT_EQ(win::ReadAnsiField(TagOnDisk(path).Title, 128), L"Title!");
  EXPECT_EQ(list_.entries[1].target, L"C:\\t.mp3");
}

TEST_F(PropertyDialogTest, CancelledWriteLeavesTheTagDirtyButStillStoresTheEntry) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  std::vector<char> before = FileBytes(path);
  PropertyDialog& dialog = Open(path, L"");
  TypeText(dialog.Control(Id::kTitle), L"!");
  answers_ = {IDCANCEL};
  dialog.WriteTag(path);
  EXPECT_TRUE(dialog.TagDirty());
  ASSERT_EQ(messages_.size(), 1u);
  ReplaceComboText(dialog.Control(Id::kTarget), L"C:\\t.mp3");
  answers_ = {IDCANCEL};
  Click(dialog, Id::kOk);
  EXPECT_EQ(messages_.size(), 2u);
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(list_.entries[1].target, L"C:\\t.mp3");
}

// Without a stand-in, the question is a real message box with the program's
// caption; a second thread reads it and answers Cancel.
TEST_F(PropertyDialogTest, FailedWriteAsksInARealMessageBox) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  PropertyDialog& dialog = Open(path, L"");
  messageBox_.reset();
  TypeText(dialog.Control(Id::kTitle), L"!");
  std::wstring text;
  std::atomic<bool> retryAndCancel{false};
  std::thread user([&] {
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
      Sleep(50);
      box = FindWindowW(L"#32770", L"ぽめろ");
    }
    if (!box) return;
    text = win::GetText(GetDlgItem(box, 0xFFFF));
    retryAndCancel =
        GetDlgItem(box, IDRETRY) && GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDOK);
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  dialog.WriteTag(path);
  user.join();
  EXPECT_EQ(text, L"ID3に書き込めません。\r\nErrorCode：" + std::to_wstring(VBMP3_ERR_READ_ONLY));
  EXPECT_TRUE(retryAndCancel);
  EXPECT_TRUE(dialog.TagDirty());
}

TEST_F(PropertyDialogTest, UnreadableFileWarnsAndOpensEmpty) {
  std::wstring path = dir_ + L"\\gone.mp3";
  PropertyDialog& dialog = Open(path, L"");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text,
            path + L"\r\n指定したファイルのデータが収得できません。\r\nErrorCode：" +
                std::to_wstring(VBMP3_ERR_FILE_NOT_FOUND));
  EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  for (Id id : {Id::kTitle, Id::kArtist, Id::kAlbum, Id::kYear, Id::kComment})
    EXPECT_EQ(Text(id), L"");
  EXPECT_EQ(GenreSelection(), CB_ERR);
  EXPECT_EQ(Text(Id::kStreamInfo),
            L"Version：0\r\nLayer：0\r\nChannels：0\r\nBitrate：0kbps\r\nSamplingRate：0\r\n"
            L"FileSize：0bytes\r\nFlames：0\r\nTime：0:00\r\nID3v2：なし");
  EXPECT_EQ(ComboItems(dialog.Control(Id::kTarget)), std::vector<std::wstring>{L""});
  EXPECT_EQ(Text(Id::kTargetStatus), L"パスの指定が間違っています。");
  EXPECT_EQ(win::GetText(dialog.Handle()), L"gone.mp3 のプロパティ");
  EXPECT_FALSE(dialog.TagDirty());
}

TEST_F(PropertyDialogTest, AFileHeldByAnotherProgramOpensWithItsTagLockedAndOkWritesNoTag) {
  std::wstring path = Copy(L"tagged90.mp3", L"held.mp3");
  const std::vector<char> before = FileBytes(path);
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  PropertyDialog& dialog = Open(path, L"C:\\chosen.mp3");
  CloseHandle(held);  // the other program lets go while the dialog is open
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text,
            path + L"\r\n指定したファイルのデータが収得できません。\r\nErrorCode：" +
                std::to_wstring(VBMP3_ERR_CANNOT_OPEN));
  for (Id id : {Id::kTitle, Id::kArtist, Id::kAlbum, Id::kYear, Id::kComment, Id::kGenre})
    EXPECT_FALSE(IsWindowEnabled(dialog.Control(id))) << id;
  EXPECT_TRUE(IsWindowEnabled(dialog.Control(Id::kTarget)));
  win::SetText(dialog.Control(Id::kTitle), L"typed anyway");
  Click(dialog, Id::kOk);
  EXPECT_TRUE(g_sent.empty());
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(list_.entries[1].target, L"C:\\chosen.mp3");
}

// Names the ANSI code page cannot hold reach the library through their short
// names: the dialog reads and writes them like any other file.
TEST_F(PropertyDialogTest, NamesBeyondTheCodePageShowTheirDataAndTakeTheirTag) {
  const std::wstring names[] = {L"Café.mp3", L"Ünïcødé.mp3", L"노래.mp3", L"emoji \U0001F600.mp3"};
  for (const std::wstring& name : names) {
    SCOPED_TRACE(win::ToUtf8(name));
    std::wstring path = Copy(L"tagged90.mp3", name);
    messages_.clear();
    g_sent.clear();
    PropertyDialog& dialog = Open(path, L"");
    EXPECT_TRUE(messages_.empty()) << (messages_.empty() ? "" : win::ToUtf8(messages_[0].text));
    EXPECT_EQ(win::GetText(dialog.Handle()), name + L" のプロパティ");
    EXPECT_EQ(Text(Id::kTitle), L"Title");
    EXPECT_EQ(Text(Id::kArtist), L"Artist");
    EXPECT_EQ(SelectedGenre(), L"Rock");
    std::vector<std::wstring> lines = MpegLines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], L"Bitrate：128kbps");
    EXPECT_EQ(lines[5], L"FileSize：" + std::to_wstring(FileBytes(path).size()) + L"bytes");
    EXPECT_EQ(lines[7], L"Time：1:30");
    // The candidates come from the tag too, through the same road.
    EXPECT_EQ(ComboItems(dialog.Control(Id::kTarget)).at(0), dir_ + L"\\Artist - Title.mp3");

    win::SetText(dialog.Control(Id::kTitle), L"新しい題名");
    Click(dialog, Id::kOk);
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(TitleOnDisk(path), win::ToAnsi(L"新しい題名"));
    EXPECT_EQ(list_.entries[1].source, path);
    dialog_.reset();
  }
}

// Without a short name no ANSI path reaches the file. The code page's best
// fit would turn "Café.mp3" into "Cafe.mp3": that other file must be neither
// shown nor written.
TEST_F(PropertyDialogTest, NameWithoutAShortFormIsNamedInAMessageAndNoLookAlikeIsTouched) {
  std::wstring path = Copy(L"tagged90.mp3", L"Café.mp3");
  std::wstring lookAlike = Copy(L"short5.mp3", L"Cafe.mp3");
  std::vector<char> lookAlikeBefore = FileBytes(lookAlike), before = FileBytes(path);
  win::Seam<decltype(&GetShortPathNameW)>::Replacement noShortNames(g_getShortPathName,
                                                                    &NoShortName);
  PropertyDialog& dialog = Open(path, L"");
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, UnreachablePathMessage(path));
  EXPECT_EQ(messages_[0].text.rfind(path + L"\r\n", 0), 0u);
  EXPECT_EQ(messages_[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(Text(Id::kTitle), L"");  // not the look-alike's "Five"
  EXPECT_EQ(MpegLines().at(5), L"FileSize：0bytes");

  // A tag it could not read is not written: its boxes are shut.
  EXPECT_FALSE(IsWindowEnabled(dialog.Control(Id::kTitle)));
  win::SetText(dialog.Control(Id::kTitle), L"x");
  Click(dialog, Id::kOk);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(g_sent.empty());
  EXPECT_EQ(FileBytes(lookAlike), lookAlikeBefore);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(list_.entries[1].source, path);  // the entry is stored all the same
}

TEST_F(PropertyDialogTest, PathWithoutFolderKeepsItsWholeNameInTheCaption) {
  PropertyDialog& dialog = Open(L"song.mp3");
  EXPECT_EQ(win::GetText(dialog.Handle()), L"song.mp3 のプロパティ");
}

TEST_F(PropertyDialogTest, TheLayoutHoldsTogether) {
  PropertyDialog& dialog = Open(Copy(L"tagged90.mp3", L"song.mp3"));
  RECT client;
  GetClientRect(dialog.Handle(), &client);
  EXPECT_EQ(client.right, win::TwipsToPixelsX(6795));
  EXPECT_EQ(client.bottom, win::TwipsToPixelsY(4260));
  for (const std::wstring& fault : dialog_checks::LayoutFaults(dialog.Handle()))
    ADD_FAILURE() << win::ToUtf8(fault);
  EXPECT_EQ(
      dialog_checks::TabOrder(dialog.Handle(), dialog.Control(Id::kPath)),
      (std::vector<HWND>{
          dialog.Control(Id::kPath), dialog.Control(Id::kTarget), dialog.Control(Id::kArtist),
          dialog.Control(Id::kTitle), dialog.Control(Id::kAlbum), dialog.Control(Id::kComment),
          dialog.Control(Id::kYear), dialog.Control(Id::kGenre), dialog.Control(Id::kStreamInfo),
          dialog.Control(Id::kCancel), dialog.Control(Id::kOk)}));
  EXPECT_EQ(Text(Id::kPathLabel), L"ファイルパス(&P)：");
  EXPECT_EQ(Text(Id::kStreamFrame), L"MPEG情報");
  EXPECT_EQ(Text(Id::kCancel), L"キャンセル");
  LONG_PTR style = GetWindowLongPtrW(dialog.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongPtrW(dialog.Control(Id::kOk), GWL_STYLE) & BS_DEFPUSHBUTTON);
}

// The modal dialog as a user drives it: Esc leaves it open, Enter is OK.
TEST_F(PropertyDialogTest, ModalDialogIgnoresEscAndClosesWithEnter) {
  std::wstring path = Copy(L"tagged90.mp3", L"song.mp3");
  // Stale name columns show that OK, not the close box, ended the dialog.
  list_.entries.push_back({path, L"C:\\before.mp3", L"stale", L"stale"});
  list_.selected = 1;
  ShowWindow(owner_, SW_SHOW);
  // Esc first; a little later, whether the dialog is still there, and Enter.
  static HWND shownDialog;
  static bool openAfterEsc;
  openAfterEsc = false;
  struct AfterEsc {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      openAfterEsc = IsWindow(shownDialog) != FALSE;
      PostMessageW(shownDialog, WM_KEYDOWN, VK_RETURN, 1);
    }
  };
  bool ownerWasDisabled = false;
  dialog_checks::ModalRun run = dialog_checks::RunModal(
      [&] { ShowPropertyDialog(owner_, list_, preferences_); }, L"VelnoirFileProperty",
      [&](HWND shown) {
        EXPECT_EQ(win::GetText(shown), L"song.mp3 のプロパティ");
        ownerWasDisabled = !IsWindowEnabled(owner_);
        shownDialog = shown;
        PostMessageW(shown, WM_KEYDOWN, VK_ESCAPE, 1);
        SetTimer(nullptr, 0, 300, &AfterEsc::Tick);
      });
  EXPECT_TRUE(run.shown);
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(openAfterEsc);
  EXPECT_FALSE(run.closedByGuard) << "Enter did not close the dialog";
  EXPECT_TRUE(IsWindowEnabled(owner_));
  EXPECT_EQ(list_.entries[0].target, L"C:\\before.mp3");
  EXPECT_EQ(list_.entries[0].sourceName, L"song.mp3");
  EXPECT_EQ(list_.entries[0].targetName, L"before.mp3");
  EXPECT_TRUE(g_sent.empty());
}

TEST_F(PropertyDialogTest, NothingSelectedOpensNothing) {
  list_.entries.push_back({L"C:\\a.mp3", L"", L"a.mp3", L""});
  list_.selected = 0;
  ShowPropertyDialog(owner_, list_, preferences_);
  EXPECT_EQ(FindWindowW(L"VelnoirFileProperty", nullptr), nullptr);
}

}  // namespace

namespace {

// Files with ID3v2 tags, built here: the texts record read back through the library.
std::wstring SaveBytes(const std::wstring& path, const synth::Bytes& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path;
}

synth::Bytes TaggedFile(int major, const std::vector<std::pair<std::string, synth::Bytes>>& frames,
                        bool v1) {
  synth::Bytes body;
  for (const auto& [id, data] : frames) {
    const synth::Bytes f = synth::Id3v2Frame(major, id, data);
    body.insert(body.end(), f.begin(), f.end());
  }
  body.resize(body.size() + 64);
  return synth::Join({synth::Id3v2Tag(major, 0, body), synth::Frames(synth::kMpeg1L3, 40, 2),
                      v1 ? synth::Id3v1("v1 title", "v1 artist", "", 0, 17) : synth::Bytes()});
}

synth::Bytes Utf16(const std::wstring& text) {
  synth::Bytes b{1, 0xFF, 0xFE};
  for (wchar_t c : text) {
    b.push_back(static_cast<uint8_t>(c & 0xFF));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  return b;
}

TagTextsRecord TextsOnDisk(const std::wstring& path) {
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  g_vbmp3->getFileInfo2(win::ToAnsi(path).c_str(), &tag, &info, &texts);
  return texts;
}

std::wstring Field(const TagTextsRecord& texts, int field) {
  return win::FromUtf8(texts.Texts[field]);
}

const std::wstring kLongTitle = L"Caf\u00E9 \uB178\uB798, a title much longer than thirty bytes";

}  // namespace

TEST_F(PropertyDialogTest, PreferringId3v2TheBoxesShowAndOkWritesItsUnicodeTexts) {
  preferences_.settings.preferId3v2 = true;
  const std::wstring path = SaveBytes(
      dir_ + L"\\both.mp3",
      TaggedFile(3, {{"TIT2", Utf16(kLongTitle)}, {"TRCK", synth::Text(0, "3/12")}}, true));
  PropertyDialog& dialog = Open(path, L"");
  EXPECT_EQ(Text(Id::kTitle), kLongTitle);
  EXPECT_EQ(Text(Id::kArtist), L"v1 artist");  // the ID3v2 tag has none
  win::SetText(dialog.Control(Id::kTitle), L"Caf\u00E9 \uB178\uB798");
  EXPECT_EQ(ComboItems(dialog.Control(Id::kTarget)).front(),
            dir_ + L"\\v1 artist - Caf\u00E9 \uB178\uB798.mp3");
  Click(dialog, Id::kOk);
  const TagTextsRecord texts = TextsOnDisk(path);
  EXPECT_EQ(Field(texts, kId3v2Title), L"Caf\u00E9 \uB178\uB798");
  EXPECT_EQ(Field(texts, kId3v2Artist), L"v1 artist");  // shown, and the tag had none
  EXPECT_EQ(Field(texts, kId3v2Track), L"3/12");
  ASSERT_EQ(g_sent.size(), 1u);                      // and the ID3v1 tag as before
  EXPECT_EQ(TitleOnDisk(path).substr(0, 3), "Caf");  // the code page's nearest letters
  preferences_.settings.preferId3v2 = false;
}

TEST_F(PropertyDialogTest, AnUnchangedBoxNeverCutsTheLongerId3v2Text) {
  preferences_.settings.preferId3v2 = false;
  const std::wstring path =
      SaveBytes(dir_ + L"\\both.mp3", TaggedFile(4, {{"TIT2", Utf16(kLongTitle)}}, true));
  PropertyDialog& dialog = Open(path, L"");
  EXPECT_EQ(Text(Id::kTitle), L"v1 title");
  win::SetText(dialog.Control(Id::kArtist), L"New artist");
  Click(dialog, Id::kOk);
  const TagTextsRecord texts = TextsOnDisk(path);
  EXPECT_EQ(Field(texts, kId3v2Title), kLongTitle);
  EXPECT_EQ(Field(texts, kId3v2Artist), L"New artist");
  EXPECT_EQ(TitleOnDisk(path), "v1 title");
}

TEST_F(PropertyDialogTest, ShiftJisFramesAreShownAndRepairedByOkAlone) {
  const std::string sjis = "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67";  // 表示ソフト
  const std::wstring path = SaveBytes(
      dir_ + L"\\sjis.mp3",
      TaggedFile(3, {{"TIT2", synth::Text(0, sjis)}, {"TPE1", synth::Text(0, "Band")}}, false));
  const std::vector<char> before = FileBytes(path);
  PropertyDialog& dialog = Open(path, L"");
  EXPECT_EQ(Text(Id::kTitle), L"表示ソフト");
  std::vector<std::wstring> lines = MpegLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], L"ID3v2：2.3（Shift_JIS を検出）");
  EXPECT_EQ(lines.back(), L"OKで Unicode に書き直します");
  Click(dialog, Id::kCancel);
  EXPECT_EQ(FileBytes(path), before);

  PropertyDialog& again = Open(path, L"");
  Click(again, Id::kOk);
  EXPECT_TRUE(g_sent.empty());  // no ID3v1 tag, none made
  const std::vector<char> after = FileBytes(path);
  EXPECT_EQ(after.size(), before.size());  // rewritten in its padding
  const std::string utf16("\x01\xFF\xFE\x68\x88\x3A\x79\xBD\x30\xD5\x30\xC8\x30", 13);
  EXPECT_NE(std::search(after.begin(), after.end(), utf16.begin(), utf16.end()), after.end());
  EXPECT_EQ(Field(TextsOnDisk(path), kId3v2ShiftJisField), L"");
  Open(path, L"");
  EXPECT_EQ(MpegLines().back(), L"ID3v2：2.3");
}

TEST_F(PropertyDialogTest, AFileWithNeitherTagGetsAnId3v2TagOnlyWhenPreferred) {
  for (bool prefer : {false, true}) {
    preferences_.settings.preferId3v2 = prefer;
    const std::wstring path = SaveBytes(dir_ + (prefer ? L"\\prefer.mp3" : L"\\plain.mp3"),
                                        synth::Frames(synth::kMpeg1L3, 40, 2));
    PropertyDialog& dialog = Open(path, L"");
    win::SetText(dialog.Control(Id::kTitle), L"Caf\u00E9");
    Click(dialog, Id::kOk);
    const TagTextsRecord texts = TextsOnDisk(path);
    EXPECT_EQ(Field(texts, kId3v2VersionField), prefer ? L"2.3" : L"") << prefer;
    EXPECT_EQ(Field(texts, kId3v2Title), prefer ? L"Caf\u00E9" : L"") << prefer;
    EXPECT_EQ(Field(texts, kId3v1VersionField), L"1.0") << prefer;
  }
  preferences_.settings.preferId3v2 = false;
}
