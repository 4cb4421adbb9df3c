// A tag write that must grow the file, killed at random steps in a forked
// child: afterwards the file is the old one or the new one, whole. Shared
// by the kill tests of the FLAC, MP4 and Ogg writers.
#pragma once
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/tag_texts_write.h"

namespace format_write_kill {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;
using Writer = int32_t (*)(vbmp3::RandomAccessFile&, const vbmp3::FormatTextChanges&,
                           const vbmp3::ReplacementSource&, bool&);

inline int g_killAt = 0;
inline int g_steps = 0;

inline void CountOrDie() {
  if (++g_steps == g_killAt) raise(SIGKILL);
}

inline Bytes Load(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void Save(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Writes and commits as the library does, in a child that dies at step
// `killAt` (0: never); the steps a finished write took, or -1.
inline int WriteInChild(const fs::path& path, Writer write, int killAt) {
  const pid_t pid = fork();
  if (pid == 0) {
    g_killAt = killAt;
    vbmp3::SetRewriteStepHook(&CountOrDie);
    int32_t error = 0;
    auto file = vbmp3::OpenFile(path.c_str(), vbmp3::OpenMode::Update, error);
    std::unique_ptr<vbmp3::ReplacementFile> replacement;
    const vbmp3::ReplacementSource make = [&]() -> vbmp3::RandomAccessFile* {
      replacement = vbmp3::CreateReplacement(path.c_str(), error);
      return replacement.get();
    };
    vbmp3::FormatTextChanges changes;
    changes.title = "A title the old tag has no room for, " + std::string(600, 'x');
    bool replaced = false;
    if (!file || write(*file, changes, make, replaced) != 0 || !replaced) _exit(255);
    file.reset();
    vbmp3::RewriteStep();
    const bool committed = replacement->Commit();
    vbmp3::RewriteStep();
    _exit(committed ? g_steps : 255);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

// 100 trials on `old` saved as `name`, each killed at a random step.
inline void KillAtRandomSteps(const std::string& name, const Bytes& old, Writer write) {
  const fs::path folder =
      fs::temp_directory_path() / ("vbmp3-kill-" + name + "-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / name;
  Save(file, old);
  const int steps = WriteInChild(file, write, 0);
  ASSERT_GT(steps, 6);
  const Bytes fresh = Load(file);
  ASSERT_GT(fresh.size(), old.size());
  std::mt19937 random(20261208);
  int oldSeen = 0, newSeen = 0;
  for (int trial = 0; trial < 100; ++trial) {
    Save(file, old);
    const int killAt = std::uniform_int_distribution<int>(1, steps)(random);
    EXPECT_EQ(WriteInChild(file, write, killAt), -1) << killAt;
    const Bytes now = Load(file);
    const bool isOld = now == old, isNew = now == fresh;
    EXPECT_TRUE(isOld || isNew) << "trial " << trial << " killed at step " << killAt;
    oldSeen += isOld;
    newSeen += isNew;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path() != file) fs::remove(entry.path());
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);
  fs::remove_all(folder);
}

}  // namespace format_write_kill
