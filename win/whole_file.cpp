#include "win/whole_file.h"

#include <windows.h>

#include <algorithm>

#include "win/handles.h"

namespace win {

std::wstring SystemErrorText(unsigned long error) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (n && buffer) text.assign(buffer, n);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  // Without a text of its own the number is all there is to show.
  if (text.empty()) text = std::to_wstring(error);
  return text;
}

AppError FileError(const std::wstring& lead, const std::wstring& path, unsigned long error) {
  return AppError(static_cast<uint32_t>(error),
                  lead + L"\r\n" + path + L"\r\n" + SystemErrorText(error));
}

std::string ReadWholeFile(const std::wstring& path, const std::wstring& failureLead) {
  OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw FileError(failureLead, path, GetLastError());
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
      throw FileError(failureLead, path, GetLastError());
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes,
                    const std::wstring& failureLead) {
  OwnedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw FileError(failureLead, path, GetLastError());
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.Get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
      throw FileError(failureLead, path, GetLastError());
    done += wrote;
  }
}

}  // namespace win
