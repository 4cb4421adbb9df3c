#include "engine/undo_journal_format.h"

#include <gtest/gtest.h>

using Entries = std::vector<JournalEntry>;

namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kHeader = kBom + "\xE3\x81\xBD\xE3\x82\x81\xE3\x82\x8D header\r\n";

std::wstring RoundTrip(const std::wstring& path) {
  std::wstring back;
  EXPECT_TRUE(DecodeJournalPath(EncodeJournalPath(path), back));
  return back;
}

}  // namespace

TEST(JournalFormat, LinesAreReadableUtf8WithATabBetweenThePaths) {
  EXPECT_EQ(FormatJournalLine({L"C:\\音楽\\a.mp3", L"D:\\b c.mp3"}),
            "C:\\\xE9\x9F\xB3\xE6\xA5\xBD\\a.mp3\tD:\\b c.mp3\r\n");
  EXPECT_EQ(
      FormatJournalHeader({2025, 3, 4, 5, 6, 7}),
      kBom +
          "\xE3\x81\xBD\xE3\x82\x81\xE3\x82\x8D \xE3\x83\xAA\xE3\x83\x8D\xE3\x83\xBC\xE3\x83\xA0"
          "\xE8\xA8\x98\xE9\x8C\xB2 \xE9\x96\x8B\xE5\xA7\x8B 2025/03/04 05:06:07\r\n");
}

TEST(JournalFormat, PathsOutsideCodePage932AndCharactersALineCannotHoldComeBack) {
  // Hangul, an accented Latin letter, a character beyond the BMP.
  EXPECT_EQ(RoundTrip(L"C:\\m\\\uC74C\uC545 \u00E9 \U0001F3B5.mp3"),
            L"C:\\m\\\uC74C\uC545 \u00E9 \U0001F3B5.mp3");
  EXPECT_EQ(EncodeJournalPath(L"\U0001F3B5"), "\xF0\x9F\x8E\xB5");
  // A tab or a line end inside a typed name must not split the line.
  EXPECT_EQ(EncodeJournalPath(L"a\tb\r\nc<d"), "a<9>b<D><A>c<3C>d");
  EXPECT_EQ(RoundTrip(L"a\tb\r\nc<d>e\x7F"), L"a\tb\r\nc<d>e\x7F");
  // A lone surrogate, which a Windows file name may hold, has no UTF-8 form.
  std::wstring lone = L"x";
  lone += static_cast<wchar_t>(0xD834);
  lone += L"y";
  EXPECT_EQ(EncodeJournalPath(lone), "x<D834>y");
  EXPECT_EQ(RoundTrip(lone), lone);
}

TEST(JournalFormat, HandEditedTextDecodesLeniently) {
  std::wstring path;
  EXPECT_TRUE(DecodeJournalPath("a<zz>b<>c<1234567>", path));
  EXPECT_EQ(path, L"a<zz>b<>c<1234567>");
  EXPECT_TRUE(DecodeJournalPath("<41><3c>", path));
  EXPECT_EQ(path, L"A<");
  // Broken UTF-8: an overlong slash, a cut sequence, an encoded surrogate.
  EXPECT_FALSE(DecodeJournalPath("\xC0\xAF", path));
  EXPECT_FALSE(DecodeJournalPath("ab\xE3\x81", path));
  EXPECT_FALSE(DecodeJournalPath("\xED\xA0\x80", path));
}

TEST(ParseJournal, ReadsTheHeaderAndTheEntriesInOrder) {
  Journal j = ParseJournal(kHeader + "C:\\a.mp3\tC:\\A - T.mp3\r\nC:\\x<9>y.mp3\tC:\\z.mp3\r\n");
  EXPECT_EQ(j.header, L"ぽめろ header");
  EXPECT_EQ(j.entries,
            (Entries{{L"C:\\a.mp3", L"C:\\A - T.mp3"}, {L"C:\\x\ty.mp3", L"C:\\z.mp3"}}));
  EXPECT_FALSE(j.tornLastLine);
  EXPECT_EQ(j.damagedLines, 0u);
  // LF alone, no byte order mark, blank lines: as an editor may save it.
  j = ParseJournal("h\na\tb\n\nc\td\n");
  EXPECT_EQ(j.header, L"h");
  EXPECT_EQ(j.entries, (Entries{{L"a", L"b"}, {L"c", L"d"}}));
}

TEST(ParseJournal, ATornLastLineIsNoEntry) {
  std::string whole = kHeader + "C:\\1.mp3\tC:\\one.mp3\r\nC:\\2.mp3\tC:\\\xE6\x9B\xB2.mp3\r\n";
  // The crash may cut the last write anywhere, even inside a character.
  for (size_t cut = whole.rfind("C:\\2") + 1; cut < whole.size(); ++cut) {
    Journal j = ParseJournal(std::string_view(whole).substr(0, cut));
    EXPECT_TRUE(j.tornLastLine) << cut;
    EXPECT_EQ(j.entries, (Entries{{L"C:\\1.mp3", L"C:\\one.mp3"}})) << cut;
  }
  Journal headerOnly = ParseJournal(kHeader);
  EXPECT_TRUE(headerOnly.entries.empty());
  EXPECT_FALSE(headerOnly.tornLastLine);
  Journal nothing = ParseJournal("");
  EXPECT_TRUE(nothing.header.empty() && nothing.entries.empty() && !nothing.tornLastLine);
  EXPECT_TRUE(ParseJournal(kBom + "ぽめ").tornLastLine);
}

TEST(ParseJournal, SkipsAndCountsLinesThatAreNoEntry) {
  std::string text = kHeader + "no tab here\r\n" + std::string(5, '\0') + "\r\n" + "a\tb\tc\r\n" +
                     "\tonly target\r\n" + "only source\t\r\n" + "bad \xFF\tx\r\n" +
                     "good\tline\r\n";
  Journal j = ParseJournal(text);
  EXPECT_EQ(j.damagedLines, 6u);
  EXPECT_EQ(j.entries, (Entries{{L"good", L"line"}}));
}

TEST(FormatJournal, TheRewriteKeepsTheHeaderAndTheRemainingLines) {
  Entries remaining{{L"C:\\1.mp3", L"C:\\一.mp3"}, {L"C:\\tab\there", L"C:\\t.mp3"}};
  std::string text = FormatJournal(L"ぽめろ リネーム記録 開始 2025/01/01 00:00:00", remaining);
  EXPECT_EQ(text.substr(0, 3), kBom);
  Journal j = ParseJournal(text);
  EXPECT_EQ(j.header, L"ぽめろ リネーム記録 開始 2025/01/01 00:00:00");
  EXPECT_EQ(j.entries, remaining);
  EXPECT_EQ(ParseJournal(FormatJournal(j.header, {})).entries, Entries{});
  // A header and lines written one at a time read the same as a rewrite.
  std::string appended = FormatJournalHeader({2025, 1, 1, 0, 0, 0});
  for (const JournalEntry& e : remaining) appended += FormatJournalLine(e);
  EXPECT_EQ(appended, text);
}

// Created folders have lines of their own that no rename line can be taken
// for; a journal without them reads as it always did.
TEST(JournalFormat, CreatedFolderLinesBesideTheRenames) {
  EXPECT_EQ(FormatJournalFolderLine(L"C:\\m\\<x>"), "<>C:\\m\\<3C>x>\r\n");
  std::string bytes = kHeader + FormatJournalFolderLine(L"C:\\m\\A") +
                      "C:\\m\\a.mp3\tC:\\m\\A\\a.mp3\r\n" +
                      FormatJournalFolderLine(L"C:\\m\\A\\音") + "<>\r\n";
  Journal journal = ParseJournal(bytes);
  EXPECT_EQ(journal.entries, (Entries{{L"C:\\m\\a.mp3", L"C:\\m\\A\\a.mp3"}}));
  EXPECT_EQ(journal.createdFolders, (std::vector<std::wstring>{L"C:\\m\\A", L"C:\\m\\A\\音"}));
  EXPECT_EQ(journal.damagedLines, 1u);  // a folder line without a folder

  // What an earlier version wrote: renames only, and an escaped '<' at the
  // start of a path is still a rename.
  Journal old = ParseJournal(kHeader + "<3C>a\tb\r\nc\td\r\n");
  EXPECT_EQ(old.entries, (Entries{{L"<a", L"b"}, {L"c", L"d"}}));
  EXPECT_TRUE(old.createdFolders.empty());
  EXPECT_EQ(old.damagedLines, 0u);

  // Kept lines after an undo carry the folders still to remove.
  Journal kept = ParseJournal(FormatJournal(L"h", {{L"a", L"b"}}, {L"C:\\F"}));
  EXPECT_EQ(kept.entries, (Entries{{L"a", L"b"}}));
  EXPECT_EQ(kept.createdFolders, std::vector<std::wstring>{L"C:\\F"});
}

// Each rename carries the identity of its file on a line of its own just
// before the rename line: an earlier version, which knows only rename and
// folder lines, counts that line as damaged and still reads every rename.
TEST(JournalFormat, TheFilesIdentityGoesBeforeItsRenameLine) {
  JournalEntry entry{L"C:\\m\\a.mp3", L"C:\\m\\A - T.mp3",
                     FileIdentity{0x5A00C0DE, 0x12345678ABCull}};
  std::string line = FormatJournalLine(entry);
  EXPECT_EQ(line, "<#>5A00C0DE:0000012345678ABC\r\nC:\\m\\a.mp3\tC:\\m\\A - T.mp3\r\n");
  std::string bytes = kHeader + line + FormatJournalLine({L"b", L"c"});
  Journal journal = ParseJournal(bytes);
  EXPECT_EQ(journal.entries, (Entries{entry, {L"b", L"c"}}));
  EXPECT_FALSE(journal.entries[1].identity.has_value());
  EXPECT_EQ(journal.damagedLines, 0u);
  // Kept lines after an undo keep their identity.
  EXPECT_EQ(ParseJournal(FormatJournal(L"h", journal.entries, {L"C:\\F"})).entries,
            journal.entries);

  // The file's identity after a move to another volume (which copies it)
  // follows the rename line and replaces the one before it.
  Journal moved = ParseJournal(kHeader + line + FormatJournalMovedIdentityLine({7, 8}));
  EXPECT_EQ(moved.entries.at(0).identity, (FileIdentity{7, 8}));
  EXPECT_EQ(FormatJournalMovedIdentityLine({7, 8}), "<=>00000007:0000000000000008\r\n");
}

TEST(ParseJournal, AnIdentityLineWithoutItsRenameOrItsDigitsIsDamaged) {
  const std::string id = "00000001:0000000000000002\r\n";
  Journal journal =
      ParseJournal(kHeader + "<#>" + id + "<>C:\\F\r\n" + "<=>" + id + "<#>" + id + "<#>" + id +
                   "a\tb\r\n" + "<#>1:2\r\n" + "c\td\r\n" + "<#>0000000G:0000000000000002\r\n" +
                   "<#>00000001:0000000000000002 x\r\n" + "<#>" + id);
  EXPECT_EQ(journal.entries, (Entries{{L"a", L"b", FileIdentity{1, 2}}, {L"c", L"d"}}));
  EXPECT_EQ(journal.damagedLines, 7u);
}

// A rename and its identity go to the disk in one write, before the rename
// is made: wherever a crash cut that write, the rename is no entry.
TEST(ParseJournal, ACutWriteOfARenameAndItsIdentityIsNoEntry) {
  std::string first = FormatJournalLine({L"C:\\1.mp3", L"C:\\one.mp3", FileIdentity{1, 1}});
  std::string second = FormatJournalLine({L"C:\\2.mp3", L"C:\\two.mp3", FileIdentity{1, 2}});
  std::string whole = kHeader + first + second;
  for (size_t cut = whole.size() - second.size(); cut < whole.size(); ++cut) {
    Journal j = ParseJournal(std::string_view(whole).substr(0, cut));
    EXPECT_EQ(j.entries, (Entries{{L"C:\\1.mp3", L"C:\\one.mp3", FileIdentity{1, 1}}})) << cut;
  }
  // A cut moved identity (a later write, after the rename was made) leaves
  // the rename as it was recorded.
  Journal later = ParseJournal(kHeader + first + "<=>0000");
  EXPECT_EQ(later.entries.size(), 1u);
  EXPECT_EQ(later.entries.at(0).identity, (FileIdentity{1, 1}));
}

TEST(VolumeRoot, TheDriveOrShareAPathStartsWith) {
  EXPECT_EQ(VolumeRootOf(L"C:\\m\\a.mp3"), L"C:\\");
  EXPECT_EQ(VolumeRootOf(L"\\\\server\\share\\m\\a.mp3"), L"\\\\server\\share\\");
  EXPECT_EQ(VolumeRootOf(L"\\\\?\\D:\\a"), L"\\\\?\\D:\\");
  EXPECT_EQ(VolumeRootOf(L"\\\\?\\UNC\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\");
  EXPECT_EQ(VolumeRootOf(L"\\\\server\\share"), L"\\\\server\\share\\");
  EXPECT_EQ(VolumeRootOf(L"a.mp3"), L"");
  EXPECT_EQ(VolumeRootOf(L"\\\\server"), L"");
}
