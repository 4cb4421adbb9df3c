// The property dialog's tag boxes: what they show, the names built from
// them as the user types, and OK's writing of the ID3v2 and ID3v1 tags.
#include "audio/property/property_dialog.h"

#include "audio_library/library_path.h"
#include "engine/name_builder.h"
#include "win/text.h"
#include "win/ui.h"

void PropertyDialog::ShowTagTexts(const FileTags& tags) {
  sources_.id3v1 = tags.id3v1;
  sources_.id3v2 = tags.id3v2;
  sources_.id3v2Track = tags.id3v2Track;
  sources_.hasId3v1 = tags.hasId3v1;
  sources_.hasId3v2 = !tags.id3v2Version.empty();
  sources_.shiftJis = tags.shiftJis;
  sources_.ownTag = !tags.format.empty();
  loadedBoxes_ = property::BoxTexts(sources_, preferences_.settings.preferId3v2);
  win::SetText(Control(kAlbum), loadedBoxes_.album);
  win::SetText(Control(kArtist), loadedBoxes_.artist);
  win::SetText(Control(kComment), loadedBoxes_.comment);
  win::SetText(Control(kTitle), loadedBoxes_.title);
  win::SetText(Control(kYear), loadedBoxes_.year);
  SelectGenre(loadedBoxes_.genreName);
  loadedGenre_ = SendMessageW(Control(kGenre), CB_GETCURSEL, 0, 0);
  win::SetText(Control(kStreamInfo),
               property::FormatTagAndStream(tags.stream, tags.id3v2Version, tags.shiftJis));
}

TagTexts PropertyDialog::BoxTagTexts() const {
  TagTexts texts;
  texts.album = win::GetText(Control(kAlbum));
  texts.artist = win::GetText(Control(kArtist));
  texts.comment = win::GetText(Control(kComment));
  texts.title = win::GetText(Control(kTitle));
  texts.year = win::GetText(Control(kYear));
  // A genre the list does not hold selects nothing: it stays until another
  // entry is chosen.
  HWND genre = Control(kGenre);
  const LRESULT selected = SendMessageW(genre, CB_GETCURSEL, 0, 0);
  texts.genreName = selected == loadedGenre_ ? loadedBoxes_.genreName
                    : selected == CB_ERR     ? std::wstring()
                                         : win::ComboItemText(genre, static_cast<int>(selected));
  return texts;
}

std::vector<std::wstring> PropertyDialog::RenameCandidates(const std::wstring& path) const {
  const Settings& settings = preferences_.settings;
  std::vector<std::wstring> candidates;
  if (!tagDirty_) {
    // Untouched boxes: the names the file's tags give, as the list has them.
    candidates.push_back(BuildRenameName(preferences_, path, settings.defaultTemplate, -1));
    for (size_t index = 0; index < preferences_.templates.size(); ++index)
      candidates.push_back(BuildRenameName(preferences_, path, L"", static_cast<int>(index)));
    return candidates;
  }
  // Edited boxes: the names the edit will give once written, under the same
  // choices as the list's; the track, album artist and disc have no box and
  // stay the file's.
  TagTexts texts = BoxTagTexts();
  const TagTexts file = ChooseTagTexts(sources_.id3v1, sources_.id3v2, settings.preferId3v2);
  texts.track = file.track;
  texts.trackTotalDigits = file.trackTotalDigits;
  texts.albumArtist = file.albumArtist;
  texts.disc = file.disc;
  const NamingPolicies policies = NamingPoliciesFrom(settings);
  const std::wstring defaultTemplate =
      settings.defaultTemplate.empty() ? std::wstring(kDefaultTemplate) : settings.defaultTemplate;
  candidates.push_back(ExpandTemplateHere(path, defaultTemplate, texts, policies));
  for (const std::wstring& templ : preferences_.templates)
    candidates.push_back(ExpandTemplateHere(path, templ, texts, policies));
  return candidates;
}

std::wstring PropertyDialog::FollowDefaultCandidate(const std::wstring& typed,
                                                    const std::wstring& candidate) {
  // The target follows the default template's name until the user types or
  // picks another one.
  const bool follows = !loading_ && typed == defaultCandidate_ && typed != candidate;
  defaultCandidate_ = candidate;
  if (!follows) return typed;
  ShowTargetState(candidate);
  return candidate;
}

bool PropertyDialog::WriteId3v2(const std::wstring& path, bool repairShiftJis) {
  if (!CanWriteId3v2Texts()) return true;  // an older library: the ID3v1 tag alone
  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) {
    win::MessageBoxText(Handle(), UnreachablePathMessage(path), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  const Id3v2Values values = property::ValuesToWrite(sources_, loadedBoxes_, BoxTagTexts(),
                                                     preferences_.settings.preferId3v2);
  for (;;) {
    if (WriteId3v2Texts(*libraryPath, values, repairShiftJis)) return true;
    const int32_t error = Vbmp3LastErrorNumber();
    // A file with no place for an ID3v2 tag (RIFF) still gets its ID3v1 tag.
    if (!sources_.hasId3v2 && !sources_.ownTag && error == VBMP3_ERR_TAG_NOT_REWRITABLE)
      return true;
    int answer = win::MessageBoxText(
        Handle(), L"ID3に書き込めません。\r\nErrorCode：" + std::to_wstring(error),
        MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    if (answer != IDRETRY) return false;
  }
}

void PropertyDialog::WriteTags(const std::wstring& path) {
  // Boxes that never held the file's tags would write blanks over them.
  if (!tagsRead_ || !tagsWritable_) return;
  const property::TagWrite plan =
      property::PlanTagWrite(sources_, preferences_.settings.preferId3v2, tagDirty_);
  if (plan.id3v2 && !WriteId3v2(path, plan.repairShiftJis)) return;
  if (plan.id3v1) {
    WriteTag(path);
  } else if (plan.id3v2) {
    tagDirty_ = false;
  }
}
