// VBMP3.dll through its exports, as the program and other languages call it:
// ANSI paths with Japanese names, Shift_JIS texts, read-only and locked files.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "win/text.h"

namespace {

using synth::Bytes;

struct Library {
  HMODULE dll = nullptr;
  decltype(&vbmp3_init) init = nullptr;
  decltype(&vbmp3_free) release = nullptr;
  decltype(&vbmp3_getFileInfo2) getFileInfo2 = nullptr;
  decltype(&vbmp3_getFileInfo) getFileInfo = nullptr;
  decltype(&vbmp3_setTagInfo) setTagInfo = nullptr;
  decltype(&vbmp3_getGenre) getGenre = nullptr;
  decltype(&vbmp3_getLastErrorNo) lastError = nullptr;
  decltype(&vbmp3_setTagTexts) setTagTexts = nullptr;
};

template <typename F>
void Resolve(HMODULE dll, const char* name, F& slot) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

std::wstring ExeDirectory() {
  wchar_t path[MAX_PATH];
  std::wstring dir(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::string Ansi(const std::wstring& wide) { return win::ToAnsi(wide); }

bool Save(const std::wstring& path, const Bytes& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

Bytes Load(const std::wstring& path) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  Bytes bytes(GetFileSize(h, nullptr));
  DWORD got = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(h);
  return bytes;
}

TagRecord Record(const std::string& title, int genre) {
  TagRecord r;
  std::memset(&r, ' ', sizeof r);
  std::memcpy(r.Title, title.data(), title.size());
  r.GenreNumber = genre;
  std::memset(r.GenreName, 0, sizeof r.GenreName);
  return r;
}

class Dll : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    lib_.dll = LoadLibraryW((ExeDirectory() + L"VBMP3.dll").c_str());
    if (!lib_.dll) return;
    Resolve(lib_.dll, "vbmp3_init", lib_.init);
    Resolve(lib_.dll, "vbmp3_free", lib_.release);
    Resolve(lib_.dll, "vbmp3_getFileInfo2", lib_.getFileInfo2);
    Resolve(lib_.dll, "vbmp3_getFileInfo", lib_.getFileInfo);
    Resolve(lib_.dll, "vbmp3_setTagInfo", lib_.setTagInfo);
    Resolve(lib_.dll, "vbmp3_getGenre", lib_.getGenre);
    Resolve(lib_.dll, "vbmp3_getLastErrorNo", lib_.lastError);
    Resolve(lib_.dll, "vbmp3_setTagTexts", lib_.setTagTexts);
  }
  void SetUp() override {
    ASSERT_NE(lib_.dll, nullptr);
    ASSERT_TRUE(lib_.init && lib_.release && lib_.getFileInfo2 && lib_.getFileInfo &&
                lib_.setTagInfo && lib_.getGenre && lib_.lastError && lib_.setTagTexts);
    ASSERT_EQ(lib_.init() & 0xFFFF, 1);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // "ソ" and "表" end in byte 0x5C in code page 932, like a backslash.
    dir_ =
        std::wstring(temp) + L"vbmp3 テスト表ソ" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir_ + L"*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring p = dir_ + found.cFileName;
        SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(p.c_str());
      } while (FindNextFileW(h, &found));
      FindClose(h);
    }
    RemoveDirectoryW(dir_.c_str());
    if (lib_.release) lib_.release();
  }

  static Library lib_;
  std::wstring dir_;
};

Library Dll::lib_;

const Bytes& Audio() {
  static const Bytes audio = synth::Frames(synth::kMpeg1L3, 200, 3);
  return audio;
}

TEST_F(Dll, JapaneseAnsiPathReadsAndWrites) {
  ASSERT_EQ(GetACP(), 932u) << "Wine runs without the ja_JP.UTF-8 locale";
  const std::wstring path = dir_ + L"ソフト表示.mp3";
  ASSERT_TRUE(Save(path, Audio()));
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  ASSERT_EQ(lib_.getFileInfo2(Ansi(path).c_str(), &tag, &info, &texts) & 0xFFFF, 1);
  EXPECT_EQ(info.Version, 1);
  EXPECT_EQ(info.Layer, 3);
  EXPECT_EQ(info.Frames, 200);
  EXPECT_EQ(info.TotalSeconds, 5);
  EXPECT_EQ(info.FileSize, static_cast<int32_t>(Audio().size()));

  // 表示ソフト in code page 932, two trail bytes 0x5C.
  const std::string title = "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67";
  TagRecord written = Record(title, 146);
  ASSERT_EQ(lib_.setTagInfo(Ansi(path).c_str(), &written, 0, 1) & 0xFFFF, 1);
  TagRecord back{};
  ASSERT_EQ(lib_.getFileInfo(Ansi(path).c_str(), &back, &info) & 0xFFFF, 1);
  EXPECT_EQ(std::string(back.Title), title);
  EXPECT_STREQ(back.GenreName, "JPop");
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_NONE);
  const Bytes bytes = Load(path);
  ASSERT_EQ(bytes.size(), Audio().size() + 128);
  EXPECT_TRUE(std::equal(Audio().begin(), Audio().end(), bytes.begin()));
}

TEST_F(Dll, Id3v2FillsTheTagRecordWithoutId3v1AndTheTextsAsUtf8) {
  using synth::Id3v2Frame;
  using synth::Text;
  // "ソフト表示の歌はとても長い題名です" in UTF-16LE: 17 characters, 34 bytes
  // in code page 932, cut to 15 characters; "é" has no code page 932 form.
  const std::wstring title = L"ソフト表示の歌はとても長い題名です";
  std::string utf16 = "\xFF\xFE";
  for (const wchar_t c : title) {
    utf16 += static_cast<char>(c & 0xFF);
    utf16 += static_cast<char>(c >> 8);
  }
  const Bytes v2 = synth::Id3v2Tag(
      3, 0,
      synth::Join({Id3v2Frame(3, "TIT2", Text(1, utf16)), Id3v2Frame(3, "TPE1", Text(0, "Caf\xE9")),
                   Id3v2Frame(3, "TALB", Text(0, "\x83\x5C\x83\x74\x83\x67")),  // Shift_JIS
                   Id3v2Frame(3, "TCON", Text(0, "(17)Rock")),
                   Id3v2Frame(3, "TRCK", Text(0, "4/9"))}));
  const std::wstring path = dir_ + L"v2.mp3";
  ASSERT_TRUE(Save(path, synth::Join({v2, Audio()})));
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  ASSERT_EQ(lib_.getFileInfo2(Ansi(path).c_str(), &tag, &info, &texts) & 0xFFFF, 1);
  EXPECT_EQ(std::string(tag.Title), Ansi(title.substr(0, 15)));
  EXPECT_STREQ(tag.Artist, "Caf?");
  EXPECT_STREQ(tag.Album, "\x83\x5C\x83\x74\x83\x67");
  EXPECT_EQ(tag.GenreNumber, 17);
  EXPECT_STREQ(tag.GenreName, "Rock");
  EXPECT_EQ(info.Frames, 200);
  EXPECT_EQ(std::string(texts.Texts[0]), win::ToUtf8(title));
  EXPECT_EQ(std::string(texts.Texts[1]), "Caf\xC3\xA9");
  EXPECT_EQ(std::string(texts.Texts[2]), win::ToUtf8(L"ソフト"));
  EXPECT_STREQ(texts.Texts[5], "Rock");
  EXPECT_STREQ(texts.Texts[6], "4/9");
  EXPECT_STREQ(texts.Texts[7], "2.3");  // the version, shown by the property dialog

  // An ID3v1 tag written beside it takes the tag record; the texts stay ID3v2's.
  TagRecord written = Record("v1", 8);
  ASSERT_EQ(lib_.setTagInfo(Ansi(path).c_str(), &written, 0, 1) & 0xFFFF, 1);
  ASSERT_EQ(lib_.getFileInfo2(Ansi(path).c_str(), &tag, &info, &texts) & 0xFFFF, 1);
  EXPECT_STREQ(tag.Title, "v1");
  EXPECT_STREQ(tag.GenreName, "Jazz");
  EXPECT_EQ(std::string(texts.Texts[0]), win::ToUtf8(title));
}

TEST_F(Dll, ReadOnlyFileIsNotWritten) {
  const std::wstring path = dir_ + L"ro.mp3";
  ASSERT_TRUE(Save(path, Audio()));
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  TagRecord tag = Record("x", 1);
  EXPECT_EQ(lib_.setTagInfo(Ansi(path).c_str(), &tag, 0, 1) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_READ_ONLY);
  EXPECT_EQ(Load(path), Audio());
}

TEST_F(Dll, FileLockedByAnotherHandleIsNotWritten) {
  const std::wstring path = dir_ + L"locked.mp3";
  ASSERT_TRUE(Save(path, Audio()));
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  TagRecord tag = Record("x", 1);
  EXPECT_EQ(lib_.setTagInfo(Ansi(path).c_str(), &tag, 0, 1) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_CANNOT_OPEN);
  CloseHandle(lock);
  EXPECT_EQ(Load(path), Audio());
}

TEST_F(Dll, FailuresCarryTheirNumbers) {
  TagRecord tag{};
  StreamInfoRecord info{};
  EXPECT_EQ(lib_.getFileInfo(Ansi(dir_ + L"missing.mp3").c_str(), &tag, &info) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(lib_.getFileInfo(Ansi(dir_).c_str(), &tag, &info) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(lib_.getFileInfo("", &tag, &info) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(lib_.getFileInfo2(nullptr, &tag, &info, nullptr) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_BAD_ARGUMENT);
  const std::wstring text = dir_ + L"notes.mp3";
  ASSERT_TRUE(Save(text, Bytes(4000, 'n')));
  EXPECT_EQ(lib_.getFileInfo(Ansi(text).c_str(), &tag, &info) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_NOT_AUDIO);
  TagRecord write = Record("x", 1);
  EXPECT_EQ(lib_.setTagInfo(Ansi(text).c_str(), &write, 0, 1) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_NOT_AUDIO);
  EXPECT_EQ(Load(text), Bytes(4000, 'n'));
}

TEST_F(Dll, PathLongerThanMaxPath) {
  std::wstring deep = dir_;
  for (int i = 0; i < 6; ++i) {
    deep += std::wstring(50, static_cast<wchar_t>(L'a' + i)) + L"\\";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
  }
  const std::wstring path = deep + L"long.mp3";
  ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));
  ASSERT_TRUE(Save(L"\\\\?\\" + path, Audio()));
  TagRecord tag{};
  StreamInfoRecord info{};
  EXPECT_EQ(lib_.getFileInfo(Ansi(path).c_str(), &tag, &info) & 0xFFFF, 1);
  EXPECT_EQ(info.Frames, 200);
  DeleteFileW((L"\\\\?\\" + path).c_str());
  for (int i = 5; i >= 0; --i) {
    RemoveDirectoryW((L"\\\\?\\" + deep).c_str());
    deep.resize(deep.size() - 51);
  }
}

TEST_F(Dll, GenreNamesForTheWholeByteRange) {
  TagRecord tag{};
  int named = 0;
  for (int n = 0; n <= 255; ++n) {
    tag.GenreNumber = n;
    lib_.getGenre(&tag);
    if (tag.GenreName[0]) ++named;
    if (n >= 192) {
      EXPECT_STREQ(tag.GenreName, "") << n;
    }
  }
  EXPECT_EQ(named, 192);
}

TEST_F(Dll, ManyFilesAreEachReadWhole) {
  // The program reads every file added to its list. The time it takes is
  // printed beside a bare open, read and close for reference; its target is
  // the engine benchmark's (a timed assertion here would measure the machine).
  constexpr int kFiles = 500;
  const Bytes file =
      synth::Join({synth::Frames(synth::kMpeg1L3, 50, 2), synth::Id3v1("t", "a", "", 1, 1)});
  std::vector<std::wstring> wide;
  std::vector<std::string> paths;
  for (int i = 0; i < kFiles; ++i) {
    wide.push_back(dir_ + std::to_wstring(i) + L".mp3");
    paths.push_back(Ansi(wide.back()));
    ASSERT_TRUE(Save(wide.back(), file));
  }
  auto time = [](auto&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
  };
  std::vector<uint8_t> buffer(64 * 1024);
  const auto bare = time([&] {
    for (const std::wstring& p : wide) {
      HANDLE h = CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
      DWORD got = 0;
      ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
      CloseHandle(h);
    }
  });
  const auto library = time([&] {
    for (const std::string& p : paths) {
      TagRecord tag{};
      StreamInfoRecord info{};
      TagTextsRecord texts{};
      ASSERT_EQ(lib_.getFileInfo2(p.c_str(), &tag, &info, &texts) & 0xFFFF, 1);
    }
  });
  std::printf("per file: open+read+close %lld us, vbmp3_getFileInfo2 %lld us\n",
              static_cast<long long>(bare / kFiles), static_cast<long long>(library / kFiles));
}

}  // namespace

namespace {

size_t FilesIn(const std::wstring& dir) {
  size_t n = 0;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return n;
}

TEST_F(Dll, GrowingTheId3v2TagReplacesTheFileKeepingAttributesAndCreationTime) {
  const std::wstring path = dir_ + L"表示ソフト.mp3";
  const Bytes tag = synth::Id3v2Tag(3, 0, synth::Id3v2Frame(3, "TIT2", synth::Text(0, "Old")));
  ASSERT_TRUE(Save(path, synth::Join({tag, Audio(), synth::Id3v1("old", "", "", 0, 17)})));
  HANDLE h =
      CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const FILETIME created{0x12345678, 0x01C00000};  // in 2000
  ASSERT_TRUE(SetFileTime(h, &created, nullptr, nullptr));
  CloseHandle(h);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  // Wine keeps no creation time of its own on Linux file systems: there
  // only what the system reports before is compared with what it reports after.
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  const bool settable = data.ftCreationTime.dwHighDateTime == created.dwHighDateTime &&
                        data.ftCreationTime.dwLowDateTime == created.dwLowDateTime;

  TagTextsRecord texts{};
  std::strcpy(texts.Texts[0], "Caf\xC3\xA9 \xEB\x85\xB8\xEB\x9E\x98");
  std::strcpy(texts.Texts[1], "Artist");
  ASSERT_EQ(lib_.setTagTexts(Ansi(path).c_str(), &texts, 0) & 0xFFFF, 1) << lib_.lastError();
  EXPECT_EQ(FilesIn(dir_), 1u);  // no temporary file left
  ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
  if (settable) {
    EXPECT_EQ(data.ftCreationTime.dwHighDateTime, created.dwHighDateTime);
    EXPECT_EQ(data.ftCreationTime.dwLowDateTime, created.dwLowDateTime);
  }
  const Bytes bytes = Load(path);
  EXPECT_GT(bytes.size(), tag.size() + Audio().size() + 128 + 2000);
  EXPECT_TRUE(std::equal(Audio().begin(), Audio().end(),
                         bytes.end() - 128 - static_cast<long>(Audio().size())));
  TagRecord back{};
  StreamInfoRecord info{};
  TagTextsRecord backTexts{};
  ASSERT_EQ(lib_.getFileInfo2(Ansi(path).c_str(), &back, &info, &backTexts) & 0xFFFF, 1);
  EXPECT_STREQ(backTexts.Texts[0], texts.Texts[0]);
  EXPECT_STREQ(back.Title, "Caf? ??");  // the ID3v1 tag in code page 932
  EXPECT_STREQ(back.Artist, "Artist");

  // Read-only, or open elsewhere without sharing: refused, unchanged.
  std::strcpy(texts.Texts[0],
              "A title too long for the padding the tag now has? No: 2 KiB is plenty");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(lib_.setTagTexts(Ansi(path).c_str(), &texts, 0) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_READ_ONLY);
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(lib_.setTagTexts(Ansi(path).c_str(), &texts, 0) & 0xFFFF, 0);
  EXPECT_EQ(lib_.lastError(), VBMP3_ERR_CANNOT_OPEN);
  CloseHandle(lock);
  EXPECT_EQ(Load(path), bytes);
}

}  // namespace
