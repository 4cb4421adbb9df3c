// Files as the parsers see them: random access by offset, with one
// implementation over POSIX, one over the Win32 wide API and one in memory
// (tests, fuzzing). Parsing code never touches the operating system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vbmp3 {

class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to `n` bytes at `offset` into `buffer`; `got` is what was read
  // (less than n only at the end of the file). False on a read error.
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) = 0;
  // Writes all `n` bytes at `offset` (at Size() appends). False on failure.
  virtual bool WriteAt(uint64_t offset, const void* buffer, size_t n) = 0;
  // Cuts or extends the file to `size` bytes.
  virtual bool Resize(uint64_t size) = 0;
  // Makes written data durable before the caller reports success.
  virtual bool Flush() = 0;
  // The `n` bytes at `offset` when this file holds them in memory already,
  // so that a reader can look at them without copying; valid until the
  // file is next written. Null otherwise, and always for a file on disk.
  virtual const uint8_t* View(uint64_t /*offset*/, size_t /*n*/) const { return nullptr; }
};

enum class OpenMode { Read, Update };

// Opens the file at `path` (bytes in the ANSI code page). On failure returns
// null and sets `error` to VBMP3_ERR_FILE_NOT_FOUND (nothing there, or a
// directory), VBMP3_ERR_READ_ONLY (Update on a read-only file) or
// VBMP3_ERR_CANNOT_OPEN (access denied, sharing violation, ...).
std::unique_ptr<RandomAccessFile> OpenFile(const char* path, OpenMode mode, int32_t& error);

// A new file that takes the place of an existing one only when it is
// complete: the file at `path` is either as it was or this one, whatever
// happens meanwhile.
class ReplacementFile : public RandomAccessFile {
 public:
  // Makes the written data durable and puts this file in the original's
  // place, with the original's attributes (and creation time where the
  // system has one). False when it could not: the original is unchanged.
  // The original must not be open.
  virtual bool Commit() = 0;
};

// An empty file in the folder of `path` (ANSI bytes) to replace it; deleted
// when destroyed uncommitted. Null with `error` set when it cannot be made.
std::unique_ptr<ReplacementFile> CreateReplacement(const char* path, int32_t& error);

// A file held in memory. FailWritesAfter(n) simulates a failing disk: the
// write that would pass n bytes in total writes what fits and fails, once.
class MemoryFile : public RandomAccessFile {
 public:
  MemoryFile() = default;
  explicit MemoryFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  MemoryFile(const uint8_t* data, size_t size) : bytes_(data, data + size) {}

  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override;
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override;
  bool Resize(uint64_t size) override;
  bool Flush() override { return true; }
  const uint8_t* View(uint64_t offset, size_t n) const override {
    return offset <= bytes_.size() && n <= bytes_.size() - offset ? bytes_.data() + offset
                                                                  : nullptr;
  }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  void FailWritesAfter(uint64_t bytes) { writeBudget_ = bytes; }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t writeBudget_ = UINT64_MAX;
};

}  // namespace vbmp3
