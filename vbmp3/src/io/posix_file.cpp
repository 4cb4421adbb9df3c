// Files on POSIX systems (the native probe, tests, fuzzing and benchmarks).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/file_io.h"

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
      const ssize_t r =
          pread(fd_, static_cast<char*>(buffer) + got, n - got, static_cast<off_t>(offset + got));
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

// A temporary file beside the original, renamed over it on commit: rename
// replaces a name atomically, so a reader or a crash sees one file or the
// other.
class PosixReplacement : public ReplacementFile {
 public:
  PosixReplacement(int fd, std::string temp, std::string target)
      : file_(fd, 0), temp_(std::move(temp)), target_(std::move(target)) {}
  ~PosixReplacement() override {
    if (!committed_) unlink(temp_.c_str());
  }

  uint64_t Size() const override { return file_.Size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    return file_.ReadAt(offset, buffer, n, got);
  }
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    return file_.WriteAt(offset, buffer, n);
  }
  bool Resize(uint64_t size) override { return file_.Resize(size); }
  bool Flush() override { return file_.Flush(); }

  bool Commit() override {
    if (!file_.Flush() || rename(temp_.c_str(), target_.c_str()) != 0) return false;
    committed_ = true;
    // The new name is durable once the folder is.
    const size_t slash = target_.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
    const int dir = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
      fsync(dir);
      close(dir);
    }
    return true;
  }

 private:
  PosixFile file_;
  std::string temp_, target_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<ReplacementFile> CreateReplacement(const char* path, int32_t& error) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = VBMP3_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  std::string target(path);
  const size_t slash = target.rfind('/');
  std::string temp = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) +
                     ".vbmp3-" + target.substr(slash == std::string::npos ? 0 : slash + 1) +
                     ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = VBMP3_ERR_WRITE;
    return nullptr;
  }
  fchmod(fd, st.st_mode & 07777);
  error = VBMP3_ERR_NONE;
  return std::make_unique<PosixReplacement>(fd, std::move(temp), std::move(target));
}

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
  const int fd =
      open(path, (mode == OpenMode::Update ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK);
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
