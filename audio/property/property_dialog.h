// The property dialog: the stream data and the tags (ID3v1 and ID3v2) of one
// rename list entry, with the choice of its rename target.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "audio/property/tag_edit.h"
#include "audio_library/tag_access.h"
#include "engine/rename_list.h"
#include "settings/preferences.h"
#include "win/modal_dialog.h"

// Opens the dialog modally over owner for the focused entry of list; does
// nothing when no entry is selected. Returns when the dialog is closed.
// journalPath names the undo journal whose record of the file a tag write
// keeps up to date (none when empty).
void ShowPropertyDialog(HWND owner, RenameList& list, const Preferences& preferences,
                        const std::wstring& journalPath = L"");

class PropertyDialog : public win::ModalDialog {
 public:
  // Control identifiers; also the keys of Control().
  enum ControlId : int {
    kPathLabel = 101,
    kPath,
    kTargetLabel,
    kTarget,
    kTagFrame,
    kArtistLabel,
    kArtist,
    kTitleLabel,
    kTitle,
    kAlbumLabel,
    kAlbum,
    kCommentLabel,
    kComment,
    kYearLabel,
    kYear,
    kGenreLabel,
    kGenre,
    kStreamFrame,
    kStreamInfo,
    kTargetStatus,
    kCancel,
    kOk,
  };

  // The dialog for the entry at position (1-based) of list.
  PropertyDialog(HWND owner, RenameList& list, int position, const Preferences& preferences,
                 std::wstring journalPath = L"");

  // Creates the window hidden and runs the load sequence. False when the
  // window could not be created.
  bool Create();
  // Shows the window and waits, with the owner disabled, until it is closed.
  void RunModal();

  HWND Control(ControlId id) const;
  bool TagDirty() const { return tagDirty_; }
  COLORREF StatusColour() const { return statusColour_; }

  void LoadFileInfo(const std::wstring& path);
  void RefreshRenameTargets();
  void CheckDuplicate();
  void WriteTag(const std::wstring& path);
  // OK's write: the ID3v2 tag (changed boxes, shown texts it lacks, and the
  // Shift_JIS repair) and the ID3v1 tag, as the file's tags and the settings
  // say; nothing when the tags could not be read as the dialog opened.
  void WriteTags(const std::wstring& path);

  // Event handlers, also reachable for tests that play the user.
  void OnOk();
  void OnCancel();

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id, int code);
  LRESULT ColourTargetStatus(HDC dc);
  void CreateControls();
  void LoadEntry();
  void FillGenres();
  void SelectGenre(const std::wstring& name);
  void OnTagTextChange();
  void OnGenreChosen();
  void OnGenreKeyUp();
  void OnTargetTyped();
  void OnTargetChosen();
  void ShowTargetState(const std::wstring& target);
  // The tag boxes and their sources (property_dialog_tags.cpp).
  void ShowTagTexts(const FileTags& tags);
  TagTexts BoxTagTexts() const;
  bool WriteId3v2(const std::wstring& path, bool repairShiftJis);
  std::vector<std::wstring> RenameCandidates(const std::wstring& path) const;
  std::wstring FollowDefaultCandidate(const std::wstring& typed, const std::wstring& candidate);

  HWND owner_;
  RenameList& list_;
  const Preferences& preferences_;
  int position_;
  std::wstring journalPath_;
  HWND lastFocus_ = nullptr;
  bool tagDirty_ = false;
  bool tagsRead_ = true;      // the tags were read as the file was loaded
  bool tagsWritable_ = true;  // read, and of a kind OK can write
  bool loading_ = false;
  COLORREF statusColour_ = RGB(0, 0, 0);
  property::TagSources sources_;
  TagTexts loadedBoxes_;           // what the tag boxes showed after loading
  LRESULT loadedGenre_ = CB_ERR;   // the genre entry selected after loading
  std::wstring defaultCandidate_;  // the default template's candidate last offered
};
