#include "options/registration/message_box.h"

namespace {

MessageBoxFunction g_messageBox = nullptr;

}  // namespace

int OptionsMessageBox(HWND owner, const std::wstring& text, UINT flags, const wchar_t* caption) {
  if (g_messageBox) return g_messageBox(owner, text, flags, caption);
  return win::MessageBoxText(owner, text, flags, caption);
}

MessageBoxFunction ReplaceOptionsMessageBox(MessageBoxFunction replacement) {
  MessageBoxFunction previous = g_messageBox;
  g_messageBox = replacement;
  return previous;
}
