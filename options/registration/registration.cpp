#include "options/registration/registration.h"

#include "options/registration/registry_string.h"
#include "options/registration/upcheck.h"
#include "options/registration/upcheck_rules.h"
#include "win/ui.h"

namespace {

constexpr const wchar_t* kUpCheckCaption = L"カネナリの設定に関する情報";

void RunRegistrationSequence(UpCheck& upCheck) {
  upCheck.MailAddress(kUpCheckMailAddress);
  upCheck.Author(kUpCheckAuthor);
  upCheck.Build(0);
  upCheck.DisplayHost(kUpCheckDisplayHost);
  upCheck.DistinctName(kUpCheckDistinctName);
  upCheck.DisplayName(kUpCheckDisplayName);
  upCheck.FilePath(true);
  upCheck.InfoURL(kUpCheckInfoUrl, 1);
  upCheck.WriteData();
}

void ShowNotInstalled(HWND owner) {
  win::MessageBoxText(owner,
                      L"「カネナリ」がインストールされていません。\r\n"
                      L"「カネナリ」への情報設定を中止します。",
                      MB_OK | MB_ICONSTOP, kUpCheckCaption);
}

// Registers when the monitor is there; otherwise says so and writes nothing.
void RegisterIfInstalled(HWND owner) {
  UpCheck upCheck;
  if (!upCheck.InstalledUpCheck()) {
    ShowNotInstalled(owner);
    return;
  }
  RunRegistrationSequence(upCheck);
}

}  // namespace

std::wstring RegistrationKeyPath() {
  return ProgramKeyPath(kUpCheckMailAddress, kUpCheckDistinctName);
}

bool IsRegistered() {
  return ReadRegistryString(HKEY_CURRENT_USER, RegistrationKeyPath(), L"DistinctName") ==
         kUpCheckDistinctName;
}

void WriteRegistration(HWND /*owner*/) {
  UpCheck upCheck;
  RunRegistrationSequence(upCheck);
}

void RefreshRegistrationAtStart(HWND owner) {
  if (!IsRegistered()) return;
  RegisterIfInstalled(owner);
}

void RegisterFromOptions(HWND owner) {
  const std::wstring question =
      L"この機能は「カネナリ」の更新チェック機能を利用するための設定です。\r\n"
      L"この機能を利用するには「カネナリ」を別途ダウンロードする必要があります。\r\n"
      L"また、レジストリを使用しますので、それが嫌な方は使用を控えてください。\r\n"
      L"\r\n"
      L"詳しくはヘルプをご覧ください。\r\n"
      L"「カネナリ」の更新チェック機能を利用しますか？";
  if (win::MessageBoxText(owner, question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2,
                          kUpCheckCaption) != IDYES)
    return;
  RegisterIfInstalled(owner);
}
