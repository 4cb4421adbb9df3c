// The toolbar: its buttons with their pictures and tips from the command
// table. Each button runs the command it stands for, by its identifier.
#include "app/main_window.h"

#include <map>
#include <vector>

#include "app/main_commands.h"
#include "win/ui.h"

namespace {

constexpr int kGap = 0;
// The buttons left to right; each shows its command's picture and tip.
constexpr int kLayout[] = {IDM_OPEN,       IDM_DELETE,     kGap,           IDM_EXECRENAME, kGap,
                           IDM_PLAYERPLAY, IDM_PLAYERSTOP, IDM_PLAYERPREV, IDM_PLAYERNEXT};

std::vector<TBBUTTON> ButtonsWithGaps(bool withPictures) {
  std::vector<TBBUTTON> buttons;
  for (int id : kLayout) {
    TBBUTTON b{};
    if (id == kGap) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = withPictures ? FindMainCommand(id)->image : I_IMAGENONE;
      b.idCommand = id;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
      b.iString = -1;
    }
    buttons.push_back(b);
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
  // Kept for the tool tip control, which reads the text after the answer.
  static const std::map<int, std::wstring> tips = [] {
    std::map<int, std::wstring> made;
    for (const MainCommand& c : MainCommands())
      if (c.tip) made[c.id] = ToolbarTipText(c);
    return made;
  }();
  auto tip = tips.find(command);
  return tip == tips.end() ? nullptr : tip->second.c_str();
}
