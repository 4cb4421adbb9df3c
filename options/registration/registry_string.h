// Reading one string value of the registry through the ANSI API, as the
// update monitor's values are stored in the ANSI code page.
#pragma once
#include <windows.h>

#include <string>

// The text of a REG_SZ value, or the empty text when the key or value is
// missing, unreadable, of another type or longer than 255 bytes.
std::wstring ReadRegistryString(HKEY root, const std::wstring& keyPath,
                                const std::wstring& valueName);
