// RIFF files (WAVE and RMP3) on any chunk bytes: the chunk walker, fmt
// parsing, PCM numbers, MPEG inside RIFF and the tag chunk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/file_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks the form and whether the RIFF size is honest.
  std::vector<uint8_t> file(12 + size - 1);
  std::memcpy(file.data(), "RIFF", 4);
  const uint32_t riffSize = (data[0] & 2) ? 0xFFFFFFF0u : static_cast<uint32_t>(file.size() - 8);
  for (int i = 0; i < 4; ++i) file[4 + i] = static_cast<uint8_t>(riffSize >> (8 * i));
  std::memcpy(file.data() + 8, (data[0] & 1) ? "RMP3" : "WAVE", 4);
  if (size > 1) std::memcpy(file.data() + 12, data + 1, size - 1);

  vbmp3::MemoryFile memory(file);
  vbmp3::AudioStream a;
  if (vbmp3::AnalyseAudio(memory, a) == 0) {
    if (a.dataBegin > a.dataEnd || a.dataEnd > file.size()) abort();
    if (!a.isMpeg && a.wave.blockAlign && a.frames > (a.dataEnd - a.dataBegin)) abort();
  }
  TagRecord tag;
  StreamInfoRecord info;
  vbmp3::ReadFileInfo(memory, &tag, &info, nullptr);
  if (info.FileSize != static_cast<int32_t>(file.size())) abort();
  return 0;
}
