#include "tests/engine/win_support.h"

#include "audio_library/tag_reader.h"
#include "audio_library/vbmp3_api.h"

namespace engine_test {

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TaggedMp3(const std::string& title, const std::string& artist,
                      const std::string& album, const std::string& year,
                      const std::string& comment, int genre) {
  std::string bytes;
  // 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame.
  for (int i = 0; i < 8; ++i) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    bytes += frame;
  }
  auto field = [](const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, '\0');
    return f;
  };
  bytes += "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           field(comment, 30) + std::string(1, static_cast<char>(genre));
  return bytes;
}

bool LibraryReady() {
  static bool ready = LoadVbmp3() && Vbmp3Succeeded(g_vbmp3.init());
  return ready;
}

}  // namespace engine_test
