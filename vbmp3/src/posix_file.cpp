// Files on POSIX systems (the native probe, tests, fuzzing and benchmarks).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_io.h"

namespace vbmp3 {
namespace {

class PosixFile : public RandomAccessFile {
 public:
  PosixFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~PosixFile() override { close(fd_); }

  uint64_t Size() const override { return size_; }

  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    got = 0;
    while (got < n) {
      const ssize_t r = pread(fd_, static_cast<char*>(buffer) + got, n - got,
                              static_cast<off_t>(offset + got));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) return false;
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    return true;
  }

  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    size_t done = 0;
    while (done < n) {
      const ssize_t r = pwrite(fd_, static_cast<const char*>(buffer) + done, n - done,
                               static_cast<off_t>(offset + done));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) return false;
      done += static_cast<size_t>(r);
    }
    if (offset + n > size_) size_ = offset + n;
    return true;
  }

  bool Resize(uint64_t size) override {
    if (ftruncate(fd_, static_cast<off_t>(size)) != 0) return false;
    size_ = size;
    return true;
  }

  bool Flush() override { return fsync(fd_) == 0; }

 private:
  int fd_;
  uint64_t size_;
};

}  // namespace

std::unique_ptr<RandomAccessFile> OpenFile(const char* path, OpenMode mode, int32_t& error) {
  if (mode == OpenMode::Update) {
    // Like the read-only attribute on Windows: no write bit, no writing,
    // even for a user whom the system would let.
    struct stat st;
    if (stat(path, &st) == 0 && S_ISREG(st.st_mode) &&
        (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
      error = VBMP3_ERR_READ_ONLY;
      return nullptr;
    }
  }
  const int fd = open(path, (mode == OpenMode::Update ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno == ENOENT || errno == ENOTDIR || errno == EISDIR ? VBMP3_ERR_FILE_NOT_FOUND
            : errno == EROFS                                       ? VBMP3_ERR_READ_ONLY
                                                                   : VBMP3_ERR_CANNOT_OPEN;
    return nullptr;
  }
  // Checked on the open file: a directory, pipe or device is no audio file
  // (and O_NONBLOCK above kept a FIFO from blocking the open).
  struct stat opened;
  if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    close(fd);
    error = VBMP3_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  error = VBMP3_ERR_NONE;
  return std::make_unique<PosixFile>(fd, static_cast<uint64_t>(opened.st_size));
}

}  // namespace vbmp3
