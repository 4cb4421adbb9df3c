// The header of a frame in an ID3v2.2, 2.3 or 2.4 tag: its id, the length
// of its data and its flags by name; read in one place for the reader and
// for the writer's frame list, so both agree where every frame ends.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vbmp3 {

// The frame flags of 2.3: first (status) byte, then second (format) byte.
constexpr uint8_t kId3v23TagAlterPreservation = 0x80, kId3v23FileAlterPreservation = 0x40,
                  kId3v23ReadOnly = 0x20;
constexpr uint8_t kId3v23Compressed = 0x80, kId3v23Encrypted = 0x40, kId3v23Grouped = 0x20;
// The frame flags of 2.4, the same way.
constexpr uint8_t kId3v24TagAlterPreservation = 0x40, kId3v24FileAlterPreservation = 0x20,
                  kId3v24ReadOnly = 0x10;
constexpr uint8_t kId3v24Grouped = 0x40, kId3v24Compressed = 0x08, kId3v24Encrypted = 0x04,
                  kId3v24Unsynchronised = 0x02, kId3v24DataLengthIndicator = 0x01;

struct Id3v2FrameFlags {
  bool tagAlterPreservation = false;  // the frame is to be dropped when the tag changes
  bool fileAlterPreservation = false;
  bool readOnly = false;
  bool grouped = false;     // a group id byte starts the data
  bool compressed = false;  // zlib
  bool encrypted = false;
  bool unsynchronised = false;       // 2.4: this frame's data is unsynchronised
  bool dataLengthIndicator = false;  // 2.4: four sync-safe bytes give the data's real length

  // Compressed or encrypted: the library reads neither.
  bool Unreadable() const { return compressed || encrypted; }
};

// The flags of a `major` tag's frame from its two flag bytes; none for 2.2,
// whose frames have none.
Id3v2FrameFlags DecodeId3v2FrameFlags(int major, uint8_t status, uint8_t format);

struct Id3v2FrameHeader {
  std::string_view id;      // 3 characters (2.2) or 4, in the bytes read
  size_t headerLength = 0;  // 6 (2.2) or 10
  size_t dataLength = 0;    // the data after the header, as stored
  uint8_t flagBytes[2]{};   // as stored (2.3, 2.4); zero for 2.2
  Id3v2FrameFlags flags;

  size_t Length() const { return headerLength + dataLength; }
};

// Reads the header of a frame of a `major` (2, 3 or 4) tag at `p`, where
// `available` bytes of the tag's frames are left. 2.4 sizes are sync-safe,
// but some writers put plain ones: a byte with its top bit set says so.
// False when no frame starts there: too few bytes for a header, padding or
// another byte that is no id character (A-Z, 0-9), or data that would run
// past `available`, after which nothing in the tag makes sense.
bool ReadId3v2FrameHeader(const uint8_t* p, size_t available, int major, Id3v2FrameHeader& out);

// The header of a frame of `major` (3 or 4) with no flags and `dataLength`
// bytes of data.
std::string MakeId3v2FrameHeader(int major, std::string_view id, size_t dataLength);

}  // namespace vbmp3
