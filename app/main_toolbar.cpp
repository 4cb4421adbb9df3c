// The toolbar: its buttons with their pictures and tips. Each button runs
// the menu command it stands for, by that command's identifier.
#include "app/main_window.h"

#include <array>
#include "win/ui.h"

namespace {

struct ToolbarButton {
  MenuCommand command;
  const wchar_t* tip;
  int image;  // index in the strip: Open, Delete, ExecRename, play1, stop, prev, next
};

constexpr std::array<ToolbarButton, 7> kButtons{{
    {IDM_OPEN, L"ファイルを追加 (Ctrl+O)", 0},
    {IDM_DELETE, L"ファイルを削除 (Del)", 1},
    {IDM_EXECRENAME, L"リネーム開始", 2},
    {IDM_PLAYERPLAY, L"再生", 3},
    {IDM_PLAYERSTOP, L"停止", 4},
    {IDM_PLAYERPREV, L"前の曲", 5},
    {IDM_PLAYERNEXT, L"次の曲", 6},
}};

std::vector<TBBUTTON> ButtonsWithGaps(bool withPictures) {
  std::vector<TBBUTTON> buttons;
  for (size_t i = 0; i < kButtons.size(); ++i) {
    TBBUTTON b{};
    b.iBitmap = withPictures ? kButtons[i].image : I_IMAGENONE;
    b.idCommand = kButtons[i].command;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = -1;
    buttons.push_back(b);
    // Gaps after the delete button and after the rename button.
    if (i == 1 || i == 2) {
      TBBUTTON gap{};
      gap.fsStyle = BTNS_SEP;
      buttons.push_back(gap);
    }
  }
  return buttons;
}

}  // namespace

void MainWindow::CreateToolbar() {
  toolbar_ = CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0,
      Handle(), reinterpret_cast<HMENU>(kToolbarId), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The pictures are drawn at 16, 24 and 32 pixels; the screen's scale picks
  // one, so that they keep their size beside the text without blurring.
  const int dpi = win::ScreenDpi();
  const int size = dpi >= 192 ? 32 : dpi >= 144 ? 24 : 16;
  const wchar_t* strip = size == 32 ? L"TBIMAGES32" : size == 24 ? L"TBIMAGES24" : L"TBIMAGES";
  toolbarImages_.Reset(ImageList_LoadImageW(GetModuleHandleW(nullptr), strip, size, 0,
                                            RGB(0xC0, 0xC0, 0xC0), IMAGE_BITMAP,
                                            LR_CREATEDIBSECTION));
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_.Get()));
  std::vector<TBBUTTON> buttons = ButtonsWithGaps(static_cast<bool>(toolbarImages_));
  SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

const wchar_t* MainWindow::ToolbarTip(int command) {
  for (const ToolbarButton& button : kButtons)
    if (button.command == command) return button.tip;
  return nullptr;
}
