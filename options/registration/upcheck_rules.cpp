#include "options/registration/upcheck_rules.h"

#include "settings/setting_value.h"

std::wstring UpCheckErrorText(UpCheckError error) {
  switch (error) {
    case UpCheckError::NotInstalled:
      return L"カネナリがインストールされていないのでソフトの情報が書き込めません";
    case UpCheckError::NoMailAddress: return L"メールアドレスが指定されていません";
    case UpCheckError::NoAuthor: return L"開発者名が指定されていません";
    case UpCheckError::NoInfoUrl: return L"アップデート情報ファイルのアドレスが指定されていません";
    case UpCheckError::NoDistinctName:
      return L"App.Productname からソフト名が取得できません。Distinctnameを指定してください";
    case UpCheckError::NegativeIconIndex: return L"IconIndex には負の値は設定できません";
    case UpCheckError::RegistryFailure:
      return L"レジストリに原因不明のエラーが発生しアクセスできません";
  }
  return L"";
}

AppError MakeUpCheckError(UpCheckError error) {
  return AppError(kUpCheckErrorBase + static_cast<uint32_t>(error), UpCheckErrorText(error));
}

std::wstring AuthorKeyPath(const std::wstring& mailAddress) {
  return std::wstring(kUpCheckRoot) + L"\\" + mailAddress;
}

std::wstring ProgramKeyPath(const std::wstring& mailAddress, const std::wstring& distinctName) {
  return AuthorKeyPath(mailAddress) + L"\\" + distinctName;
}

std::wstring InfoUrlValueName(uint8_t index) { return L"InfoURL" + std::to_wstring(index); }

int32_t ComputeBuild(int major, int minor, int revision) {
  std::optional<int> build = BuildNumber(major, minor, revision);
  if (!build) throw AppError(kOverflowError, kOverflowText);
  return *build;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& file) {
  if (folder.size() == 3) return folder + file;
  return folder + L"\\" + file;
}

std::wstring ExecutableBaseName(const std::wstring& executablePath) {
  size_t slash = executablePath.find_last_of(L"\\/");
  std::wstring name =
      slash == std::wstring::npos ? executablePath : executablePath.substr(slash + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

bool IsNewerBuildKnown(int32_t latestBuild, int32_t nextBuild, int32_t currentBuild) {
  return latestBuild > currentBuild && (nextBuild == 0 || nextBuild > currentBuild);
}
