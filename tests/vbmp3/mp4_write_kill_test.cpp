// An MP4 tag write that must move the moov, killed at random steps: the
// file is the old one or the new one, whole. The step hook stops the child
// at each block copied, after the moov, before and after the new file takes
// the old one's place.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/src/mp4/mp4_write.h"

namespace {

using synth::Bytes;
namespace fs = std::filesystem;

int g_killAt = 0;
int g_steps = 0;

void CountOrDie() {
  if (++g_steps == g_killAt) raise(SIGKILL);
}

Bytes Load(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Save(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes Box(const std::string& type, const Bytes& body) {
  const uint32_t size = static_cast<uint32_t>(body.size() + 8);
  Bytes out = {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
               static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// ftyp, a moov with no tag and one chunk at the start of the mdat, then
// 1.5 MB of samples (six blocks to copy).
Bytes Mp4File() {
  const Bytes ftyp = Box("ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0});
  auto moov = [](uint32_t chunk) {
    const Bytes stco = Box("stco", {0, 0, 0, 0, 0, 0, 0, 1, static_cast<uint8_t>(chunk >> 24),
                                    static_cast<uint8_t>(chunk >> 16),
                                    static_cast<uint8_t>(chunk >> 8), static_cast<uint8_t>(chunk)});
    return Box("moov", Box("trak", Box("mdia", Box("minf", Box("stbl", stco)))));
  };
  Bytes samples(1500000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 31 + i / 977);
  const uint32_t chunk = static_cast<uint32_t>(ftyp.size() + moov(0).size() + 8);
  return synth::Join({ftyp, moov(chunk), Box("mdat", samples)});
}

// Writes in a child that dies at step killAt (0: never), as the library
// will: through a replacement committed once the write is whole. Returns
// the steps a finished write took, or -1.
int WriteInChild(const fs::path& path, int killAt) {
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
    changes.title = "A title the moov has no room for";
    bool replaced = false;
    if (!file || vbmp3::WriteMp4Texts(*file, changes, make, replaced) != 0 || !replaced) _exit(255);
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

TEST(Mp4WriteKill, AMovingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  const fs::path folder = fs::temp_directory_path() / ("vbmp3-mp4kill-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "song.m4a";
  const Bytes old = Mp4File();
  Save(file, old);
  const int steps = WriteInChild(file, 0);
  ASSERT_GT(steps, 6);
  const Bytes fresh = Load(file);
  ASSERT_GT(fresh.size(), old.size());

  std::mt19937 random(20261208);
  int oldSeen = 0, newSeen = 0;
  for (int trial = 0; trial < 100; ++trial) {
    Save(file, old);
    const int killAt = std::uniform_int_distribution<int>(1, steps)(random);
    EXPECT_EQ(WriteInChild(file, killAt), -1) << killAt;
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

}  // namespace
