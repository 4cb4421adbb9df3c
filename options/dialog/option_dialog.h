// frmOption, the options dialog: the settings record and the template list
// in three tab pages, copied back only by OK.
#pragma once
#include <windows.h>

#include <array>

// Opens the dialog modally over the main window and returns when it closes.
void ShowOptionsDialog(HWND owner);

class OptionDialog {
 public:
  // Control ids in tab order: the controls are created in this order, so
  // the window order that Tab follows is this one.
  enum Control : int {
    SSTab1 = 1001,
    Label1,
    Picture1,
    optDataCheckExtension,
    optDataCheckAuto,
    lblFileName,
    cboRenameData,
    cmdAddExtData,
    Label2,
    cboEqualFileName,
    lblData,
    Label3,
    Label4,
    cboCantUseFileName,
    Label5,
    cboNoSettingField,
    chkPreferID3v2,
    cmdOK,
    cmdCancel,
    cmdRemove,
    chkSSTP,
    Label7,
    Combo1,
    Label8,
    cboDobleClick,
    cmdUseUpChk,
    ControlEnd
  };
  static constexpr int kControlCount = ControlEnd - SSTab1;

  OptionDialog() = default;
  OptionDialog(const OptionDialog&) = delete;
  OptionDialog& operator=(const OptionDialog&) = delete;
  ~OptionDialog();

  // Builds the window with its controls loaded from the settings, hidden
  // and not modal; the caller shows it (ShowOptionsDialog runs it modally).
  HWND Create(HWND owner);
  HWND Window() const { return window_; }
  HWND Item(Control control) const { return controls_[control - SSTab1]; }
  // The tab page shown: 0 file name, 1 conversion options, 2 environment.
  int CurrentPage() const { return page_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  void ClipTabToFrame();
  void ShowPage(int page);
  // Labels and the option buttons' container: drawn without a background.
  bool IsTransparent(HWND control) const;
  void Close();

  void Form_Load();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdAddExtData_Click();
  void cmdRemove_Click();
  void cmdUseUpChk_Click();

  HWND window_ = nullptr;
  HWND owner_ = nullptr;
  int page_ = 0;
  std::array<HWND, kControlCount> controls_{};
};
