#include "audio/player/vbmp3_player_library.h"

#include "audio_library/library_path.h"
#include "audio_library/tag_access.h"
#include "audio_library/vbmp3_api.h"
#include "win/text.h"

void Vbmp3PlayerLibrary::Close() {
  if (g_vbmp3->close) g_vbmp3->close();
}

bool Vbmp3PlayerLibrary::Open(const std::wstring& path, std::wstring& title, int32_t& totalSeconds,
                              std::wstring& problem) {
  problem.clear();
  if (!g_vbmp3->open) return false;
  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) {
    problem = UnreachablePathMessage(path);
    return false;
  }
  OpenInfoRecord info{};
  if (!Vbmp3Succeeded(g_vbmp3->open(libraryPath->c_str(), &info))) return false;
  title = win::ReadAnsiField(info.Title, sizeof(info.Title));
  totalSeconds = info.TotalSeconds;
  return true;
}

bool Vbmp3PlayerLibrary::Play() { return g_vbmp3->play && Vbmp3Succeeded(g_vbmp3->play()); }

void Vbmp3PlayerLibrary::Stop() {
  if (g_vbmp3->stop) g_vbmp3->stop();
}

int32_t Vbmp3PlayerLibrary::GetState(int32_t& seconds) {
  seconds = 0;
  return g_vbmp3->getState ? g_vbmp3->getState(&seconds) : 0;
}

int32_t Vbmp3PlayerLibrary::LastErrorNo() { return Vbmp3LastErrorNumber(); }
