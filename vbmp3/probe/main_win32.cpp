// vbmp3probe.exe FILE...: one JSON line per file, through VBMP3.dll's exports
// as any caller of the library sees them.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "vbmp3/probe/json_line.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/whole_texts.h"

namespace vbmp3probe {

namespace {

std::string Narrow(const std::wstring& wide, UINT codePage) {
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
  }
  return out;
}

std::wstring Widen(std::string_view bytes, UINT codePage) {
  const int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  }
  return out;
}

template <typename F>
F Resolve(HMODULE dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

using GetFileInfoWhole = decltype(&vbmp3_getFileInfoWhole);

// The records, and the values whole through the export that gives them
// (asked again when the first block was too small); false when the library
// has no such export.
bool ReadWhole(GetFileInfoWhole read, const std::string& path, TagRecord& tag,
               StreamInfoRecord& info, TagTextsRecord& texts, vbmp3::Id3v2Values& values,
               MoreFields& more, bool& ok) {
  if (!read) return false;
  std::string block(4096, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    int32_t needed = 0;
    ok = (read(path.c_str(), &tag, &info, &texts, block.data(), static_cast<int32_t>(block.size()),
               &needed) &
          0xFFFF) != 0;
    if (needed <= static_cast<int32_t>(block.size())) break;
    block.assign(static_cast<size_t>(needed), '\0');
  }
  if (!vbmp3::SplitValueBlock(block.data(), block.size(), values)) return false;
  // The album artist and the disc follow the seven values.
  size_t at = 0;
  for (int nul = 0; nul < vbmp3::kValueCount && at < block.size(); ++at) nul += block[at] == '\0';
  const std::string rest = block.substr(at);
  more.albumArtist = rest.c_str();
  if (rest.size() > more.albumArtist.size()) more.disc = rest.c_str() + more.albumArtist.size() + 1;
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes) { return Narrow(Widen(bytes, 932), CP_UTF8); }

}  // namespace vbmp3probe

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) {
    std::fputs("usage: vbmp3probe FILE...\n", stderr);
    return 2;
  }
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dir(self, n);
  dir.resize(dir.find_last_of(L"\\/") + 1);
  HMODULE dll = LoadLibraryW((dir + L"VBMP3.dll").c_str());
  if (!dll) {
    std::fputs("vbmp3probe: VBMP3.dll cannot be loaded\n", stderr);
    return 2;
  }
  using namespace vbmp3probe;
  const auto init = Resolve<decltype(&vbmp3_init)>(dll, "vbmp3_init");
  const auto getFileInfo2 = Resolve<decltype(&vbmp3_getFileInfo2)>(dll, "vbmp3_getFileInfo2");
  const auto lastError = Resolve<decltype(&vbmp3_getLastErrorNo)>(dll, "vbmp3_getLastErrorNo");
  const auto release = Resolve<decltype(&vbmp3_free)>(dll, "vbmp3_free");
  const auto getWhole = Resolve<GetFileInfoWhole>(dll, "vbmp3_getFileInfoWhole");
  const auto getFormat = Resolve<decltype(&vbmp3_getFormatInfo)>(dll, "vbmp3_getFormatInfo");
  if (!init || !getFileInfo2 || !lastError || !release || (init() & 0xFFFF) == 0) {
    std::fputs("vbmp3probe: VBMP3.dll cannot be initialised\n", stderr);
    return 2;
  }
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    TagRecord tag{};
    StreamInfoRecord info{};
    TagTextsRecord texts{};
    const std::string ansi = Narrow(argv[i], CP_ACP);
    vbmp3::Id3v2Values whole;
    bool ok = false;
    MoreFields more;
    const bool hasWhole = ReadWhole(getWhole, ansi, tag, info, texts, whole, more, ok);
    if (!hasWhole) ok = (getFileInfo2(ansi.c_str(), &tag, &info, &texts) & 0xFFFF) != 0;
    const int32_t error = lastError();
    if (!ok) ++failures;
    FormatInfoRecord format{};
    if (getFormat) {
      getFormat(ansi.c_str(), &format);
      more.format = &format;
    }
    // The records do not say which tags the file holds: that comes from the
    // library's own code, linked in.
    vbmp3::TagVersions found;
    vbmp3::GetTagVersions(ansi.c_str(), found);
    const std::string line =
        JsonLine(Narrow(argv[i], CP_UTF8), ok, error, tag, info, texts, {found.id3v1, found.id3v2},
                 hasWhole ? &whole : nullptr, hasWhole ? &more : nullptr) +
        "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  release();
  FreeLibrary(dll);
  return failures ? 1 : 0;
}
