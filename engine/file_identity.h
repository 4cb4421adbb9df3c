// What tells one file from another on the disk, whatever its name: the
// serial number of its volume and its index on that volume, as
// GetFileInformationByHandle gives them. A file keeps its identity when it
// is renamed or moved within its volume and when its bytes are changed in
// place; a copy, even a byte-identical one, and a file written anew in its
// place have another.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct FileIdentity {
  uint32_t volumeSerial = 0;
  uint64_t fileIndex = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The drive or share a full path starts with, with its backslash: "C:\",
// "\\server\share\", "\\?\C:\", "\\?\UNC\server\share\"; empty for a path
// that names none. Two paths with different roots may be on different
// volumes, where a move copies the file.
std::wstring VolumeRootOf(std::wstring_view fullPath);
