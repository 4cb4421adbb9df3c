// Prints what the FLAC, MP4 or Ogg reader finds in a file, read as a listed
// file is read, one "key=value" a line, for the tests that compare it with
// mutagen and the encoders.
#include <cstdio>
#include <string>
#include <utility>

#include "vbmp3/src/io/byte_window.h"
#include "vbmp3/src/tag_format.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int32_t error = 0;
  auto file = vbmp3::OpenFile(argv[1], vbmp3::OpenMode::Read, error);
  if (!file) return 1;
  vbmp3::ByteWindow window(*file);
  const vbmp3::TagFormat format = vbmp3::RecogniseTagFormat(window);
  vbmp3::AudioProperties p;
  vbmp3::FormatTexts t;
  if (format == vbmp3::TagFormat::kNone || !vbmp3::ReadTagFormatFile(format, *file, p, t, &window))
    return 1;
  std::printf("format=%s\nchannels=%d\nrate=%d\nbits=%d\nseconds=%.3f\naudiobytes=%llu\n",
              p.format.c_str(), p.channels, p.samplingRate, p.bitsPerSample, p.seconds,
              static_cast<unsigned long long>(p.audioBytes));
  const std::pair<const char*, const std::string*> fields[] = {
      {"title", &t.title}, {"artist", &t.artist},           {"album", &t.album},
      {"year", &t.year},   {"comment", &t.comment},         {"genre", &t.genre},
      {"track", &t.track}, {"albumartist", &t.albumArtist}, {"disc", &t.disc}};
  for (const auto& [name, value] : fields) std::printf("%s=%s\n", name, value->c_str());
  return 0;
}
