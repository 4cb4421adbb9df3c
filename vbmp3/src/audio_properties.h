// What the readers of FLAC, MP4 and Ogg files tell of a file's audio, and
// the texts their tags give the program: the same whatever the container.
#pragma once
#include <cstdint>
#include <string>

namespace vbmp3 {

struct AudioProperties {
  std::string format;  // "FLAC", "AAC", "ALAC", "Vorbis" or "Opus"
  int32_t channels = 0;
  int32_t samplingRate = 0;   // Opus: always 48000
  int32_t bitsPerSample = 0;  // FLAC and ALAC only; 0 for the others
  double seconds = 0;         // the length of the audio
  uint64_t audioBytes = 0;    // the bytes of coded audio, for the average bit rate
};

// The average bit rate over the audio in kbps, rounded to the nearest whole
// number; 0 when the length is unknown.
inline int32_t AverageBitRate(const AudioProperties& p) {
  if (p.seconds <= 0) return 0;
  return static_cast<int32_t>(static_cast<double>(p.audioBytes) * 8.0 / p.seconds / 1000.0 + 0.5);
}

// The texts a tag gives the program, UTF-8, each whole. A field with several
// values gives them joined by "; " in their order. year: the first four
// characters of a date that starts with a year ("2001-02-03" gives "2001").
// track and disc as written ("3/12"); the program takes the number.
struct FormatTexts {
  std::string title, artist, album, year, comment, genre, track, albumArtist, disc;
};

}  // namespace vbmp3
