// Every message box of the options dialog and the registration goes through
// here, so that tests can answer them without a person at the screen.
#pragma once
#include <windows.h>

#include <string>

#include "win/ui.h"

using MessageBoxFunction = int (*)(HWND owner, const std::wstring& text, UINT flags,
                                   const wchar_t* caption);

int OptionsMessageBox(HWND owner, const std::wstring& text, UINT flags,
                      const wchar_t* caption = win::kProgramTitle);

// Installs a replacement (null restores the real message box); returns the
// one installed before.
MessageBoxFunction ReplaceOptionsMessageBox(MessageBoxFunction replacement);
