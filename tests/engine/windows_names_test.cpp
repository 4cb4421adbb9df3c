#include "engine/windows_names.h"

#include <gtest/gtest.h>

#include "engine/name_builder.h"

namespace {

const std::wstring kNamesFolder = L"D:\\My Music\\";  // 12 units
// The room a file name has beside kNamesFolder and ".mp3" within 259 units.
constexpr size_t kNamesStemRoom = kMaxPathUnits - 12 - 4;

std::wstring NamesTarget(const std::wstring& name) {
  return WindowsTargetPath(kNamesFolder, name, L".mp3");
}

}  // namespace

TEST(WindowsNames, ControlCharactersLeaveTheName) {
  EXPECT_EQ(RemoveControlCharacters(std::wstring(L"a\tb\r\nc\x7F"
                                                 L"d\x1F"
                                                 L"e\0f",
                                                 12)),
            L"abcdef");
  // A comment with line breaks, a title with a tab.
  EXPECT_EQ(NamesTarget(L"Live\r\nat Budokan\t2"), kNamesFolder + L"Liveat Budokan2.mp3");
  // Characters just outside the range stay.
  EXPECT_EQ(RemoveControlCharacters(L" ~\u0080\u3000"), L" ~\u0080\u3000");
}

TEST(WindowsNames, FoldersLoseTrailingDotsAndSpacesTheFileNameKeepsThem) {
  EXPECT_EQ(NamesTarget(L"Mr.\\Song"), kNamesFolder + L"Mr\\Song.mp3");
  EXPECT_EQ(NamesTarget(L"A. . \\B \\Song"), kNamesFolder + L"A\\B\\Song.mp3");
  // The extension follows the file name's own dots.
  EXPECT_EQ(NamesTarget(L"Mr."), kNamesFolder + L"Mr..mp3");
  EXPECT_EQ(NamesTarget(L"Song  "), kNamesFolder + L"Song  .mp3");
  // "." and ".." are not names.
  EXPECT_EQ(NamesTarget(L"..\\.\\Song"), kNamesFolder + L"..\\.\\Song.mp3");
  // Leading spaces and dots are the user's.
  EXPECT_EQ(NamesTarget(L" .hidden\\Song"), kNamesFolder + L" .hidden\\Song.mp3");
  // The source's own folder is where the file is: it is never touched.
  EXPECT_EQ(WindowsTargetPath(L"D:\\odd. \\", L"Song", L".mp3"), L"D:\\odd. \\Song.mp3");
}

TEST(WindowsNames, DeviceNamesGetAnUnderscore) {
  for (const wchar_t* reserved :
       {L"CON", L"prn", L"Aux", L"nUl", L"COM1", L"com9", L"LPT1", L"lpt9"})
    EXPECT_NE(ReservedDeviceNameEnd(reserved), std::wstring::npos) << reserved;
  for (const wchar_t* free : {L"COM10", L"COM0", L"LPT", L"CONCERT", L"Aux - Live", L"xCON", L"",
                              L"CO N", L"ＣＯＮ", L"CONIN"})
    EXPECT_EQ(ReservedDeviceNameEnd(free), std::wstring::npos) << free;
  EXPECT_EQ(NamesTarget(L"CON"), kNamesFolder + L"CON_.mp3");
  EXPECT_EQ(NamesTarget(L"aux.live"), kNamesFolder + L"aux_.live.mp3");
  EXPECT_EQ(NamesTarget(L"nul\\Song"), kNamesFolder + L"nul_\\Song.mp3");
  EXPECT_EQ(NamesTarget(L"Aux - Live"), kNamesFolder + L"Aux - Live.mp3");
  EXPECT_EQ(NamesTarget(L"COM10"), kNamesFolder + L"COM10.mp3");
  EXPECT_EQ(NamesTarget(L"CONCERT"), kNamesFolder + L"CONCERT.mp3");
  // Windows ignores spaces before the dot and after the name.
  EXPECT_EQ(NamesTarget(L"CON "), kNamesFolder + L"CON_ .mp3");
  // A folder that is a device once its trailing dots are gone.
  EXPECT_EQ(NamesTarget(L"LPT3. .\\Song"), kNamesFolder + L"LPT3_\\Song.mp3");
}

TEST(WindowsNames, CutsFollowCharactersNotCodeUnits) {
  const std::wstring a241(241, L'a'), a242(242, L'a');
  // A surrogate pair fits whole or not at all.
  EXPECT_EQ(CutAtCharacterBoundary(L"ab\U0001F600", 3), L"ab");
  EXPECT_EQ(CutAtCharacterBoundary(L"ab\U0001F600c", 4), L"ab\U0001F600");
  // A base character keeps its marks: e + acute, か + dakuten, a variation
  // selector from the supplementary planes.
  EXPECT_EQ(CutAtCharacterBoundary(L"xe\u0301y", 2), L"x");
  EXPECT_EQ(CutAtCharacterBoundary(L"xe\u0301y", 3), L"xe\u0301");
  EXPECT_EQ(CutAtCharacterBoundary(L"\u304B\u3099\u304B\u3099", 3), L"\u304B\u3099");
  EXPECT_EQ(CutAtCharacterBoundary(L"\u845B\U000E0100z", 2), L"");
  EXPECT_EQ(CutAtCharacterBoundary(L"\u845B\U000E0100z", 3), L"\u845B\U000E0100");
  EXPECT_EQ(Utf16Length(L"a\U0001F600\u0301"), 4u);
  // In a target: the cut before the extension lands inside the pair, so the
  // pair goes.
  std::wstring cut = NamesTarget(a242 + L"\U0001F600" + L"tail");
  EXPECT_EQ(cut, kNamesFolder + a242 + L".mp3");
  EXPECT_EQ(NamesTarget(a241 + L"\U0001F600" + L"tail"), kNamesFolder + a241 + L"\U0001F600.mp3");
  EXPECT_EQ(Utf16Length(NamesTarget(a241 + L"\U0001F600" + L"tail")), kMaxPathUnits);
  EXPECT_EQ(NamesTarget(a242 + L"e\u0301"), kNamesFolder + a242 + L".mp3");
}

TEST(WindowsNames, LongNamesAreCutBeforeTheExtensionToFit) {
  const std::wstring longName(400, L'x');
  // The whole path: 259 units at most.
  std::wstring target = NamesTarget(longName);
  EXPECT_EQ(target, kNamesFolder + std::wstring(kNamesStemRoom, L'x') + L".mp3");
  EXPECT_EQ(Utf16Length(target), kMaxPathUnits);
  // A short folder: the file name's own limit, 255 with its extension.
  EXPECT_EQ(WindowsTargetPath(L"C:\\", longName, L".mp3"),
            L"C:\\" + std::wstring(251, L'x') + L".mp3");
  // A name that fits is left whole.
  std::wstring fits(kNamesStemRoom, L'y');
  EXPECT_EQ(NamesTarget(fits), kNamesFolder + fits + L".mp3");
  // A folder of the template longer than a name can be is cut to 255 (and
  // loses the dots the cut leaves at its end); the file name beside it has
  // no room and stays whole.
  std::wstring folder = std::wstring(254, L'f') + L"..g";
  std::wstring built = WindowsTargetPath(L"C:\\", folder + L"\\Song", L".mp3");
  EXPECT_EQ(built, L"C:\\" + std::wstring(254, L'f') + L"\\Song.mp3");
}

// A cut keeps at least the first eight characters of the name (all of a
// shorter one) and drops the spaces it leaves at the end; where the folder
// leaves less room the name stays whole, and the run refuses the path.
TEST(WindowsNames, ACutKeepsEightCharactersOrTheNameStaysWhole) {
  auto folderLeaving = [](size_t room) {
    return L"C:\\" + std::wstring(kMaxPathUnits - 8 - room, L'f') + L"\\";  // beside ".mp3"
  };
  EXPECT_EQ(Utf16Length(folderLeaving(0)), 255u);
  EXPECT_EQ(WindowsTargetPath(folderLeaving(9), L"Artist - Title", L".mp3"),
            folderLeaving(9) + L"Artist -.mp3");
  EXPECT_EQ(WindowsTargetPath(folderLeaving(8), L"Artist - Title", L".mp3"),
            folderLeaving(8) + L"Artist -.mp3");
  EXPECT_EQ(WindowsTargetPath(folderLeaving(7), L"Artist - Title", L".mp3"),
            folderLeaving(7) + L"Artist - Title.mp3");
  EXPECT_EQ(WindowsTargetPath(folderLeaving(0), L"s", L".mp3"), folderLeaving(0) + L"s.mp3");
  // Eight characters, not eight units: a surrogate pair is one.
  const std::wstring faces(9, L'\u263A');
  EXPECT_EQ(WindowsTargetPath(folderLeaving(8), faces + L"\U0001F600\U0001F600", L".mp3"),
            folderLeaving(8) + std::wstring(8, L'\u263A') + L".mp3");
  EXPECT_EQ(WindowsTargetPath(folderLeaving(10), std::wstring(9, L'x') + L"\U0001F600", L".mp3"),
            folderLeaving(10) + std::wstring(9, L'x') + L".mp3");
  const std::wstring pairs = L"\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600";
  EXPECT_EQ(WindowsTargetPath(folderLeaving(15), pairs + pairs, L".mp3"),
            folderLeaving(15) + pairs + pairs + L".mp3");
  // A typed path and a numbered name are cut the same way.
  EXPECT_EQ(WindowsSafePath(folderLeaving(9) + L"Artist - Title.mp3"),
            folderLeaving(9) + L"Artist -.mp3");
  EXPECT_EQ(NumberedTarget(folderLeaving(12) + L"Artist - Title.mp3", 2),
            folderLeaving(12) + L"Artist - (2).mp3");
}

// A cut that leaves a device name ("CON" of "CON     xyz") never gives a
// name Windows takes for a device; a short device name without room for its
// "_" stays whole.
TEST(WindowsNames, CutsNeverLeaveADeviceName) {
  std::wstring folder3 = L"C:\\" + std::wstring(248, L'f') + L"\\";  // 3 left beside ".mp3"
  EXPECT_EQ(Utf16Length(folder3), 252u);
  EXPECT_EQ(WindowsTargetPath(folder3, L"CON", L".mp3"), folder3 + L"CON_.mp3");
  std::wstring folder4 = L"C:\\" + std::wstring(247, L'f') + L"\\";  // 4 left
  EXPECT_EQ(WindowsTargetPath(folder4, L"CON", L".mp3"), folder4 + L"CON_.mp3");
  std::wstring folder8 = L"C:\\" + std::wstring(243, L'f') + L"\\";  // 8 left
  EXPECT_EQ(WindowsTargetPath(folder8, L"CON      xyz", L".mp3"), folder8 + L"CON_.mp3");
  EXPECT_EQ(WindowsTargetPath(folder8, L"CON.abcdefgh", L".mp3"), folder8 + L"CON_.abc.mp3");
}

TEST(WindowsNames, TypedPathsGetTheSameRules) {
  EXPECT_EQ(WindowsSafePath(L""), L"");
  EXPECT_EQ(WindowsSafePath(L"C:\\Music\\Song.mp3"), L"C:\\Music\\Song.mp3");
  EXPECT_EQ(WindowsSafePath(L"C:\\Music\\Mr. \\con.mp3 .."), L"C:\\Music\\Mr\\con_.mp3");
  EXPECT_EQ(WindowsSafePath(L"\\\\server\\share\\aux\\a\tb.mp3"),
            L"\\\\server\\share\\aux_\\ab.mp3");
  EXPECT_EQ(WindowsSafePath(L"C:\\Music\\.."), L"C:\\Music\\..");
  EXPECT_EQ(WindowsSafePath(L"Song"), L"Song");
  // The typed name's own extension is what the cut keeps.
  std::wstring cut = WindowsSafePath(L"C:\\" + std::wstring(300, L'x') + L".flac");
  EXPECT_EQ(cut, L"C:\\" + std::wstring(250, L'x') + L".flac");
  // Wildcards are left for the duplicate check to see.
  EXPECT_EQ(WindowsSafePath(L"C:\\Music\\*.mp3"), L"C:\\Music\\*.mp3");
}

// What the name builder produced is what Windows holds: applying the typed
// path's rules to it changes nothing.
TEST(WindowsNames, BuiltNamesPassTheTypedPathRulesUnchanged) {
  TagTexts tag{L"CON. ", L"Mr.", L"aux", L"1999", L"\t", L"Rock"};
  tag.title += std::wstring(300, L'\u304B');
  for (const wchar_t* templ : {L"%A\\%T", L"%L.%T", L"%T", L"%L\\%L", L"FP#C:\\x.\\%L"}) {
    std::wstring built = ExpandTemplate(L"D:\\My Music\\track01.mp3", templ, tag);
    EXPECT_EQ(WindowsSafePath(built), built) << templ;
    EXPECT_LE(Utf16Length(built), kMaxPathUnits) << templ;
  }
}

// Paths pieced together at random from the pieces that trouble Windows: what
// comes out holds no control character, no folder ending in a dot or a space,
// no device name and no half of a character at a cut; it fits when its
// folders leave room; and the rules change nothing the second time.
TEST(WindowsNames, RandomPathsComeOutAsWindowsHoldsThem) {
  const std::wstring pieces[] = {L"\\",
                                 L".",
                                 L" ",
                                 L"..",
                                 L"con",
                                 L"Aux",
                                 L"COM7",
                                 L"lpt1",
                                 L"a",
                                 L"Title",
                                 L"\t",
                                 L"\x7F",
                                 L"\U0001F600",
                                 L"e\u0301",
                                 L"\u304B\u3099",
                                 L"\u3000",
                                 std::wstring(60, L'x'),
                                 std::wstring(30, L'\u6F22'),
                                 L".mp3",
                                 L"_",
                                 L"-"};
  unsigned state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int round = 0; round < 3000; ++round) {
    std::wstring typed = L"C:\\";
    for (unsigned n = next() % 14; n > 0; --n) typed += pieces[next() % std::size(pieces)];
    const std::wstring safe = WindowsSafePath(typed);
    SCOPED_TRACE(testing::PrintToString(typed));
    EXPECT_EQ(WindowsSafePath(safe), safe);
    EXPECT_EQ(RemoveControlCharacters(safe), safe);
    size_t from = 0;
    for (;;) {
      size_t sep = safe.find(L'\\', from);
      std::wstring component =
          safe.substr(from, sep == std::wstring::npos ? std::wstring::npos : sep - from);
      if (component != L"." && component != L"..") {
        EXPECT_EQ(ReservedDeviceNameEnd(component), std::wstring::npos)
            << testing::PrintToString(component);
        if (sep != std::wstring::npos && !component.empty()) {
          EXPECT_TRUE(component.back() != L'.' && component.back() != L' ')
              << testing::PrintToString(component);
        }
        EXPECT_LE(Utf16Length(component), kMaxComponentUnits);
      }
      if (sep == std::wstring::npos) break;
      from = sep + 1;
    }
    // A cut never leaves half a surrogate pair at the end.
    const wchar_t last = safe.empty() ? L'\0' : safe.back();
    EXPECT_FALSE(sizeof(wchar_t) == 2 && last >= 0xD800 && last <= 0xDBFF);
    // Folders and extension leave room for eight characters of the name: it
    // fits (no piece has a character of more than two units).
    const size_t nameStart = safe.rfind(L'\\') + 1;
    const size_t dot = safe.rfind(L'.');
    const std::wstring extension =
        dot != std::wstring::npos && dot >= nameStart ? safe.substr(dot) : L"";
    if (Utf16Length(safe.substr(0, nameStart) + extension) + 16 < kMaxPathUnits) {
      EXPECT_LE(Utf16Length(safe), kMaxPathUnits);
    }
  }
}
