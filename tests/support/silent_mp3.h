// Silent MPEG-1 Layer III frames (128 kbps, 44.1 kHz, all side information
// zero, about 26 ms each) followed by an ID3v1 tag: a file any decoder plays
// as silence, for tests that play, read or rename real audio.
#pragma once
#include <string>

namespace testing_files {

inline std::string SilentMp3(int frames, const std::string& title, const std::string& artist = "") {
  std::string bytes;
  for (int i = 0; i < frames; ++i) {
    // 417 bytes without padding, 418 with: 144 * 128000 / 44100 = 417.96.
    bool padding = (i % 50) != 0;
    std::string frame(padding ? 418 : 417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = static_cast<char>(0x90 | (padding ? 0x02 : 0x00));
    frame[3] = '\x44';  // joint stereo
    bytes += frame;
  }
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, title.size(), title);
  tag.replace(33, artist.size(), artist);
  tag[127] = '\xFF';
  return bytes + tag;
}

}  // namespace testing_files
