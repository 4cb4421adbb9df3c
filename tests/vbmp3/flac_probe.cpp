// Prints what the FLAC reader finds in a file, one "key=value" a line, for
// the test that compares it with mutagen and the encoder.
#include <cstdio>
#include <string>
#include <utility>

#include "vbmp3/src/flac/flac_file.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int32_t error = 0;
  auto file = vbmp3::OpenFile(argv[1], vbmp3::OpenMode::Read, error);
  vbmp3::AudioProperties p;
  vbmp3::FormatTexts t;
  if (!file || !vbmp3::ReadFlacFile(*file, p, t)) return 1;
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
