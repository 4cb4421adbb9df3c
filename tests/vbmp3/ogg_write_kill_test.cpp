// An Ogg write that must grow the file, killed at random steps: afterwards
// the file is the old one or the new one, whole.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "vbmp3/src/ogg/ogg_comment_write.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

int g_killAt = 0;
int g_steps = 0;

void CountOrDie() {
  if (++g_steps == g_killAt) raise(SIGKILL);
}

void AddPage(Bytes& file, uint32_t sequence, uint8_t flags, const std::vector<Bytes>& packets) {
  vbmp3::OggPage page;
  page.serial = 77;
  page.sequence = sequence;
  page.flags = flags;
  page.granule = 1000u * sequence;
  for (const Bytes& p : packets) {
    const Bytes lacing = vbmp3::LacingForPacket(p.size());
    page.lacing.insert(page.lacing.end(), lacing.begin(), lacing.end());
    page.body.insert(page.body.end(), p.begin(), p.end());
  }
  const Bytes bytes = vbmp3::SerializeOggPage(page);
  file.insert(file.end(), bytes.begin(), bytes.end());
}

// An Opus stream without room in its tag and 1.6 MB of audio pages.
Bytes OpusFile() {
  Bytes file;
  AddPage(file, 0, vbmp3::kOggFirstPage,
          {{'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2, 0, 0, 0x80, 0xBB, 0, 0, 0, 0, 0}});
  AddPage(file, 1, 0, {{'O', 'p', 'u', 's', 'T', 'a', 'g', 's', 1, 0, 0, 0, 'v', 0, 0, 0, 0}});
  for (uint32_t s = 2; s < 400; ++s)
    AddPage(file, s, s == 399 ? vbmp3::kOggLastPage : 0, {Bytes(4000, static_cast<uint8_t>(s))});
  return file;
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

// Writes and commits as the library does, in a child that dies at step
// `killAt` (0: never); returns the steps a finished write took, or -1.
int WriteInChild(const fs::path& path, int killAt) {
  const pid_t pid = fork();
  if (pid == 0) {
    g_killAt = killAt;
    vbmp3::SetRewriteStepHook(&CountOrDie);
    int32_t error = 0;
    auto file = vbmp3::OpenFile(path.c_str(), vbmp3::OpenMode::Update, error);
    std::unique_ptr<vbmp3::ReplacementFile> replacement;
    vbmp3::FormatTextChanges changes;
    changes.title = "A title that does not fit in the old tag";
    bool replaced = false;
    error = vbmp3::WriteOggTexts(
        *file, changes,
        [&]() -> vbmp3::RandomAccessFile* {
          int32_t ignored = 0;
          replacement = vbmp3::CreateReplacement(path.c_str(), ignored);
          return replacement.get();
        },
        replaced);
    file.reset();
    if (error || !replaced) _exit(255);
    vbmp3::RewriteStep();
    const bool committed = replacement->Commit();
    vbmp3::RewriteStep();
    _exit(committed ? g_steps : 255);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

TEST(OggWriteKill, AGrowingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  const fs::path folder = fs::temp_directory_path() / ("vbmp3-oggkill-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "song.opus";
  const Bytes old = OpusFile();
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
