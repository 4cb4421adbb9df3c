// frmFileProperty: the stream data and ID3v1 tag of one rename list entry,
// with the choice of its rename target.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/rename_list.h"

// Opens the dialog modally over owner for the selected entry of list; does
// nothing when no entry is selected. Returns when the dialog is closed.
void ShowPropertyDialog(HWND owner, RenameList& list);

class PropertyDialog {
 public:
  // Control identifiers; also the keys of Control().
  enum ControlId : int {
    kLabel1 = 101,
    kTxtTargetFile,
    kLabel2,
    kCboRenameTarget,
    kFraID3,
    kLabel3,
    kTxtArtist,
    kLblTitle,
    kTxtTitle,
    kLblAlbum,
    kTxtAlbum,
    kLblComment,
    kTxtComment,
    kLblYear,
    kTxtYear,
    kLblGenre,
    kCboGenre,
    kFrame2,
    kTxtMPEG,
    kLblRenameStatus,
    kCmdCancel,
    kCmdOK,
  };

  // Shows a message box and returns the button chosen (IDOK, IDRETRY...).
  using MessageFunction = std::function<int(HWND owner, const std::wstring& text, UINT flags)>;

  // The dialog for the entry at position (1-based) of list.
  PropertyDialog(HWND owner, RenameList& list, int position);
  ~PropertyDialog();
  PropertyDialog(const PropertyDialog&) = delete;
  PropertyDialog& operator=(const PropertyDialog&) = delete;

  // Creates the window hidden and runs the load sequence. False when the
  // window could not be created.
  bool Create();
  // Shows the window and waits, with the owner disabled, until it is closed.
  void RunModal();

  HWND Window() const { return window_; }
  HWND Control(ControlId id) const;
  bool TagDirty() const { return tagDirty_; }
  COLORREF StatusColour() const { return statusColour_; }

  // Replaces the message boxes (tests answer them without a user).
  void SetMessageFunction(MessageFunction function) { message_ = std::move(function); }

  void LoadFileInfo(const std::wstring& path);
  void RefreshRenameTargets();
  void CheckDuplicate();
  void WriteTag(const std::wstring& path);

  // Event handlers, also reachable for tests that play the user.
  void cmdOK_Click();
  void cmdCancel_Click();

 private:
  static void RegisterDialogClass();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void Form_Load();
  void FillGenres();
  void SelectGenre(const std::wstring& name);
  void TagBox_Change();
  void cboGenre_Click();
  void cboGenre_KeyUp();
  static LRESULT CALLBACK GenreBoxProc(HWND combo, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  void cboRenameTarget_Change();
  void cboRenameTarget_Click();
  void ShowTargetState(const std::wstring& target);
  void Unload();
  int Message(HWND owner, const std::wstring& text, UINT flags);

  HWND owner_;
  RenameList& list_;
  int position_;
  HWND window_ = nullptr;
  HWND lastFocus_ = nullptr;
  bool tagDirty_ = false;
  bool loading_ = false;
  COLORREF statusColour_ = RGB(0, 0, 0);
  MessageFunction message_;
};
