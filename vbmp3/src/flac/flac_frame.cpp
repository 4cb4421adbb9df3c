#include "vbmp3/src/flac/flac_frame.h"

#include <array>

#include "vbmp3/src/flac/flac_bit_reader.h"

namespace vbmp3 {
namespace {

template <typename T, unsigned Bits, uint32_t Polynomial>
constexpr std::array<T, 256> MakeFlacCrcTable() {
  std::array<T, 256> table{};
  constexpr uint32_t top = 1u << (Bits - 1);
  constexpr uint32_t mask = (Bits == 32) ? 0xFFFFFFFFu : (1u << Bits) - 1;
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i << (Bits - 8);
    for (int bit = 0; bit < 8; ++bit) r = ((r & top) ? (r << 1) ^ Polynomial : r << 1) & mask;
    table[i] = static_cast<T>(r);
  }
  return table;
}

constexpr auto kCrc8Table = MakeFlacCrcTable<uint8_t, 8, 0x07>();
constexpr auto kCrc16Table = MakeFlacCrcTable<uint16_t, 16, 0x8005>();

// Block size code 6 and 7 keep the size at the end of the header; 0 is
// reserved.
bool BlockSizeFromCode(uint32_t code, FlacBitReader& bits, uint32_t& blockSize) {
  if (code == 0) return false;
  if (code == 1) blockSize = 192;
  if (code >= 2 && code <= 5) blockSize = 576u << (code - 2);
  if (code >= 8) blockSize = 256u << (code - 8);
  if (code == 6 || code == 7) {
    uint32_t stored = 0;
    if (!bits.ReadBits(code == 6 ? 8 : 16, stored)) return false;
    blockSize = stored + 1;
  }
  return true;
}

bool SampleRateFromCode(uint32_t code, FlacBitReader& bits, const FlacStreamInfo& info,
                        uint32_t& rate) {
  static constexpr uint32_t kRates[12] = {0,     88200, 176400, 192000, 8000,  16000,
                                          22050, 24000, 32000,  44100,  48000, 96000};
  if (code == 15) return false;
  if (code == 0) {
    rate = info.sampleRate;
    return rate != 0;
  }
  if (code < 12) {
    rate = kRates[code];
    return true;
  }
  uint32_t stored = 0;
  if (!bits.ReadBits(code == 12 ? 8 : 16, stored)) return false;
  rate = code == 12 ? stored * 1000 : code == 13 ? stored : stored * 10;
  return rate != 0;
}

bool SampleSizeFromCode(uint32_t code, const FlacStreamInfo& info, uint32_t& bitsPerSample) {
  static constexpr uint32_t kSizes[8] = {0, 8, 12, 0, 16, 20, 24, 32};
  bitsPerSample = code == 0 ? info.bitsPerSample : kSizes[code];
  return bitsPerSample >= 4 && bitsPerSample <= 32;
}

bool ChannelsFromCode(uint32_t code, FlacFrameHeader& header) {
  if (code < 8) {
    header.channels = code + 1;
    header.assignment = FlacChannels::Independent;
    return true;
  }
  if (code > 10) return false;
  header.channels = 2;
  header.assignment = code == 8   ? FlacChannels::LeftSide
                      : code == 9 ? FlacChannels::RightSide
                                  : FlacChannels::MidSide;
  return true;
}

bool ParseHeaderFields(FlacBitReader& bits, const FlacStreamInfo& info, FlacFrameHeader& h) {
  uint32_t sync = 0, blocking = 0, sizeCode = 0, rateCode = 0, channelCode = 0, sampleCode = 0,
           reserved = 0;
  if (!bits.ReadBits(15, sync) || sync != 0x7FFC || !bits.ReadBits(1, blocking)) return false;
  if (!bits.ReadBits(4, sizeCode) || !bits.ReadBits(4, rateCode)) return false;
  if (!bits.ReadBits(4, channelCode) || !bits.ReadBits(3, sampleCode)) return false;
  if (!bits.ReadBits(1, reserved) || reserved != 0) return false;
  h.variableBlockSize = blocking != 0;
  if (!bits.ReadUtf8Number(h.number)) return false;
  // A frame number has at most 31 bits, a sample number 36.
  if (!h.variableBlockSize && h.number > 0x7FFFFFFFu) return false;
  if (!BlockSizeFromCode(sizeCode, bits, h.blockSize)) return false;
  if (!SampleRateFromCode(rateCode, bits, info, h.sampleRate)) return false;
  if (!SampleSizeFromCode(sampleCode, info, h.bitsPerSample)) return false;
  return ChannelsFromCode(channelCode, h);
}

}  // namespace

uint8_t FlacCrc8(const uint8_t* data, size_t size) {
  uint8_t crc = 0;
  for (size_t i = 0; i < size; ++i) crc = kCrc8Table[crc ^ data[i]];
  return crc;
}

uint16_t FlacCrc16(const uint8_t* data, size_t size) {
  uint16_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc = static_cast<uint16_t>((crc << 8) ^ kCrc16Table[(crc >> 8) ^ data[i]]);
  }
  return crc;
}

FlacParse ParseFlacFrameHeader(const uint8_t* data, size_t size, const FlacStreamInfo& info,
                               FlacFrameHeader& header) {
  FlacBitReader bits(data, size);
  FlacFrameHeader h;
  if (!ParseHeaderFields(bits, info, h)) {
    return bits.RanOut() ? FlacParse::NeedMore : FlacParse::Invalid;
  }
  uint32_t crc = 0;
  if (!bits.ReadBits(8, crc)) return FlacParse::NeedMore;
  h.headerSize = bits.BytePosition();
  if (FlacCrc8(data, h.headerSize - 1) != crc) return FlacParse::Invalid;
  // A stream keeps its channels and sample size; a frame that says otherwise
  // is a false sync or damage.
  if (info.channels != 0 && h.channels != info.channels) return FlacParse::Invalid;
  if (info.bitsPerSample != 0 && h.bitsPerSample != info.bitsPerSample) return FlacParse::Invalid;
  if (info.maxBlockSize >= 16 && h.blockSize > info.maxBlockSize) return FlacParse::Invalid;
  header = h;
  return FlacParse::Ok;
}

}  // namespace vbmp3
