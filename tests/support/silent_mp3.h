// Silent MPEG-1 Layer III frames (128 kbps, 44.1 kHz, all side information
// zero, about 26 ms each) followed by an ID3v1 tag: a file any decoder plays
// as silence, for tests that play, read or rename real audio.
#pragma once
#include <string>

namespace testing_files {

// The frames alone.
inline std::string SilentFrames(int frames) {
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
  return bytes;
}

// An ID3v1 tag of these fields (ANSI bytes), each cut to its width and NUL
// padded; genre 255 is none.
inline std::string Id3v1Tag(const std::string& title, const std::string& artist,
                            const std::string& album = "", const std::string& year = "",
                            const std::string& comment = "", int genre = 255) {
  auto field = [](const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, '\0');
    return f;
  };
  return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
         field(comment, 30) + std::string(1, static_cast<char>(genre));
}

inline std::string SilentMp3(int frames, const std::string& title, const std::string& artist = "") {
  return SilentFrames(frames) + Id3v1Tag(title, artist);
}

}  // namespace testing_files
