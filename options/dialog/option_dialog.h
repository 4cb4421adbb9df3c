// The options dialog: the settings record and the template list in three
// tab pages, copied back only by OK.
#pragma once
#include <windows.h>

#include <array>

#include "settings/preferences.h"
#include "win/modal_dialog.h"

// Opens the dialog modally over the main window and returns when it closes;
// OK copies its controls into preferences.
void ShowOptionsDialog(HWND owner, Preferences& preferences);

class OptionDialog : public win::ModalDialog {
 public:
  // Control ids in tab order: the controls are created in this order, so
  // the window order that Tab follows is this one.
  enum Control : int {
    kPageTabs = 1001,
    kDataCheckLabel,
    kDataCheckGroup,
    kCheckByExtension,
    kCheckByAnalysis,
    kTemplateLabel,
    kTemplateBox,
    kAddTemplate,
    kSameNameLabel,
    kSameNamePolicy,
    kLegendLabel,
    kExtensionLabel,
    kBadCharacterLabel,
    kBadCharacterPolicy,
    kEmptyFieldLabel,
    kEmptyFieldPolicy,
    kPreferId3v2,
    kMakeFolders,
    kNormalizeWidth,
    kOk,
    kCancel,
    kRemoveTemplate,
    kSendSstp,
    kSstpPortLabel,
    kSstpPort,
    kDoubleClickLabel,
    kDoubleClickAction,
    kRegisterUpdateCheck,
    kControlEnd
  };
  static constexpr int kControlCount = kControlEnd - kPageTabs;

  explicit OptionDialog(Preferences& preferences) : preferences_(preferences) {}

  // Builds the window with its controls loaded from the settings, hidden
  // and not modal; Run shows it and returns once it has closed.
  HWND Create(HWND owner);
  void Run() { RunModal(); }
  HWND Item(Control control) const { return controls_[control - kPageTabs]; }
  // The tab page shown: 0 file name, 1 conversion options, 2 environment.
  int CurrentPage() const { return page_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void WindowGone() override {
    controls_.fill(nullptr);
    ModalDialog::WindowGone();
  }
  bool OnCommand(WPARAM wParam);

  void CreateControls();
  void ClipTabToFrame();
  void ShowPage(int page);
  // Labels and the option buttons' container: drawn without a background.
  bool IsTransparent(HWND control) const;

  void LoadSettings();
  void OnOk();
  void OnCancel();
  void OnAddTemplateClick();
  void OnRemoveTemplateClick();
  void OnRegisterUpdateCheckClick();

  Preferences& preferences_;
  int page_ = 0;
  std::array<HWND, kControlCount> controls_{};
};
