#include "options/registration/upcheck.h"

#include "options/registration/upcheck_rules.h"
#include "win/handles.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

[[noreturn]] void Raise(UpCheckError error) { throw MakeUpCheckError(error); }

// A key opened or created for one step; closed on every way out, so a
// failure part-way leaves no handle behind. Close() reports the close itself.
class OpenKey {
 public:
  bool Open(const std::wstring& path) {
    std::string ansi = win::ToAnsi(path);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ansi.c_str(), 0, KEY_ALL_ACCESS, key_.Receive()) ==
        ERROR_SUCCESS)
      return true;
    key_.Release();  // nothing was opened
    return false;
  }
  bool Create(const std::wstring& path) {
    std::string ansi = win::ToAnsi(path);
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, ansi.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key_.Receive(), &disposition) == ERROR_SUCCESS)
      return true;
    key_.Release();  // nothing was created
    return false;
  }
  bool Close() { return RegCloseKey(key_.Release()) == ERROR_SUCCESS; }
  HKEY Handle() const { return key_.Get(); }

 private:
  win::OwnedKey key_;
};

bool SetRegDword(HKEY key, const char* name, int32_t value) {
  DWORD data = static_cast<DWORD>(value);
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof(data)) == ERROR_SUCCESS;
}

// A value that cannot be read as 4 bytes counts as 0.
int32_t ReadInt32(HKEY key, const char* name) {
  int32_t value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
      ERROR_SUCCESS)
    return 0;
  return value;
}

}  // namespace

void UpCheck::FilePath(bool useProgramPath) {
  filePath_ = useProgramPath ? JoinPath(win::ProgramDirectory(),
                                        ExecutableBaseName(win::ProgramPath()) + L".EXE")
                             : std::wstring();
}

bool UpCheck::InstalledUpCheck() {
  OpenKey key;
  if (!key.Open(kUpCheckRoot)) return false;
  if (!key.Close()) Raise(UpCheckError::RegistryFailure);
  return true;
}

bool UpCheck::CheckNewVer() {
  if (mailAddress_.empty()) Raise(UpCheckError::NoMailAddress);
  std::wstring name = distinctName_.empty() ? win::GetProductName() : distinctName_;
  if (name.empty()) Raise(UpCheckError::NoDistinctName);
  int32_t current = build_ > 0 ? build_ : GetAppBuild();
  OpenKey key;
  if (!key.Open(ProgramKeyPath(mailAddress_, name))) Raise(UpCheckError::RegistryFailure);
  int32_t latest = ReadInt32(key.Handle(), "LatestBuild");
  int32_t next = ReadInt32(key.Handle(), "NextBuild");
  bool newer = IsNewerBuildKnown(latest, next, current);
  if (!key.Close()) Raise(UpCheckError::RegistryFailure);
  return newer;
}

void UpCheck::InfoURL(const std::wstring& url, uint8_t id) {
  if (id <= 1) {
    infoUrl_ = url;
    return;
  }
  if (!InstalledUpCheck()) Raise(UpCheckError::NotInstalled);
  if (mailAddress_.empty()) Raise(UpCheckError::NoMailAddress);
  if (url.empty()) Raise(UpCheckError::NoInfoUrl);
  OpenKey key;
  if (!key.Create(AuthorKeyPath(mailAddress_)) ||
      !SetRegString(key.Handle(), InfoUrlValueName(id), url) || !key.Close())
    Raise(UpCheckError::RegistryFailure);
}

void UpCheck::WriteData() {
  if (!InstalledUpCheck()) Raise(UpCheckError::NotInstalled);
  if (mailAddress_.empty()) Raise(UpCheckError::NoMailAddress);
  if (author_.empty()) Raise(UpCheckError::NoAuthor);
  if (infoUrl_.empty()) Raise(UpCheckError::NoInfoUrl);
  if (distinctName_.empty()) {
    distinctName_ = win::GetProductName();
    if (distinctName_.empty()) Raise(UpCheckError::NoDistinctName);
  }
  if (iconIndex_ < 0) Raise(UpCheckError::NegativeIconIndex);
  if (build_ < 1) build_ = GetAppBuild();

  // Each step stops at its first failure; what was written before stays.
  {
    OpenKey key;
    bool ok = key.Create(AuthorKeyPath(mailAddress_)) &&
              SetRegString(key.Handle(), L"Author", author_) &&
              SetRegString(key.Handle(), L"InfoURL", infoUrl_) &&
              (displayHost_.empty() || SetRegString(key.Handle(), L"DisplayHost", displayHost_)) &&
              key.Close();
    if (!ok) Raise(UpCheckError::RegistryFailure);
  }
  {
    OpenKey key;
    bool ok = key.Create(ProgramKeyPath(mailAddress_, distinctName_)) &&
              SetRegString(key.Handle(), L"DistinctName", distinctName_) &&
              SetRegDword(key.Handle(), "Build", build_) &&
              (iconIndex_ <= 0 || SetRegDword(key.Handle(), "IconIndex", iconIndex_)) &&
              (filePath_.empty() || SetRegString(key.Handle(), L"FilePath", filePath_)) &&
              (displayName_.empty() || SetRegString(key.Handle(), L"DisplayName", displayName_)) &&
              key.Close();
    if (!ok) Raise(UpCheckError::RegistryFailure);
  }
}

bool UpCheck::SetRegString(HKEY key, const std::wstring& name, const std::wstring& text) {
  std::string ansiName = win::ToAnsi(name);
  std::string data = win::ToAnsi(text);
  // The data size counts the one terminating NUL that c_str() supplies.
  return RegSetValueExA(key, ansiName.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

std::wstring UpCheck::JoinPath(const std::wstring& folder, const std::wstring& file) {
  return ::JoinPath(folder, file);
}

int32_t UpCheck::GetAppBuild() {
  win::ProgramVersion version = win::GetProgramVersion();
  return ComputeBuild(version.major, version.minor, version.revision);
}
