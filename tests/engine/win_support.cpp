#include "tests/engine/win_support.h"

#include "audio_library/tag_access.h"
#include "audio_library/vbmp3_api.h"
#include "tests/support/silent_mp3.h"

namespace engine_test {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TaggedMp3(const std::string& title, const std::string& artist, const std::string& album,
                      const std::string& year, const std::string& comment, int genre) {
  return testing_files::SilentFrames(8) +
         testing_files::Id3v1Tag(title, artist, album, year, comment, genre);
}

bool LibraryReady() {
  static bool ready = LoadVbmp3() && Vbmp3Succeeded(g_vbmp3->init());
  return ready;
}

}  // namespace engine_test
