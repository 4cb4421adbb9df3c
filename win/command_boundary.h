// The boundary around every command handler: an error that no code handled
// ends the command and is shown with its description; the program goes on.
#pragma once
#include <windows.h>

#include <exception>
#include <new>

#include "settings/app_error.h"
#include "win/text.h"
#include "win/ui.h"

namespace win {

template <typename Command>
void RunCommand(HWND owner, Command&& command) {
  try {
    command();
  } catch (const AppError& error) {
    MessageBoxText(owner, error.Description(), MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::bad_alloc&) {
    MessageBoxText(owner, L"メモリが不足しています。", MB_OK | MB_ICONEXCLAMATION);
  } catch (const std::exception& error) {
    // Standard exceptions carry their texts, system messages among them, in
    // the ANSI code page.
    MessageBoxText(owner, FromAnsi(error.what()), MB_OK | MB_ICONEXCLAMATION);
  }
}

}  // namespace win
