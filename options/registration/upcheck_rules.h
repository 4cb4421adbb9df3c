// Rules of the update-monitor registration that need no registry: error
// numbers and texts, the key layout, the build number and the new-version
// comparison. Kept free of Win32 so they are tested natively as well.
#pragma once
#include <cstdint>
#include <string>

#include "settings/app_error.h"

// Errors defined by this component lie in the platform's range for
// component errors.
inline constexpr uint32_t kUpCheckErrorBase = 0x80040000u;

enum class UpCheckError : int {
  NotInstalled = 1,
  NoMailAddress = 2,
  NoAuthor = 3,
  NoInfoUrl = 4,
  NoDistinctName = 5,
  NegativeIconIndex = 6,
  RegistryFailure = 10,
};

std::wstring UpCheckErrorText(UpCheckError error);
// The error as raised to the caller: number 0x80040000 + n and its text.
AppError MakeUpCheckError(UpCheckError error);

// The update monitor's area under the current user's key; its existence
// means the monitor is installed.
inline constexpr const wchar_t* kUpCheckRoot = L"Software\\Upcheck";
std::wstring AuthorKeyPath(const std::wstring& mailAddress);
std::wstring ProgramKeyPath(const std::wstring& mailAddress, const std::wstring& distinctName);
// "InfoURL" followed by the index in decimal, no leading zeros.
std::wstring InfoUrlValueName(uint8_t index);

// Major * 10000 + Minor * 100 + Revision in 16-bit signed arithmetic, as the
// monitor's build numbers have always been computed; a step outside the
// 16-bit range raises the overflow error.
int32_t ComputeBuild(int major, int minor, int revision);

// A drive root ("C:\") already ends with its separator.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& file);
// The executable's file name without its extension.
std::wstring ExecutableBaseName(const std::wstring& executablePath);

// Whether the monitor knows a build newer than ours. NextBuild 0 means the
// monitor has not named a next build.
bool IsNewerBuildKnown(int32_t latestBuild, int32_t nextBuild, int32_t currentBuild);
