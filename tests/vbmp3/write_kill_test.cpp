// A write that must grow the file, killed at random points: afterwards the
// file is the old one or the new one, whole. The writer's step hook stops
// the child process at a step chosen at random (each block copied, before
// and after the new file takes the old one's place).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/tag_texts_write.h"

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

TagTextsRecord Record() {
  TagTextsRecord r{};
  std::snprintf(r.Texts[0], sizeof r.Texts[0], "%s", "A title that does not fit in the old tag");
  std::snprintf(r.Texts[1], sizeof r.Texts[1], "%s", "Artist");
  return r;
}

// Writes in a child that dies at step `killAt` (0: never); returns the
// steps a finished write took, or -1.
int WriteInChild(const fs::path& file, int killAt) {
  const pid_t pid = fork();
  if (pid == 0) {
    g_killAt = killAt;
    vbmp3::SetRewriteStepHook(&CountOrDie);
    const TagTextsRecord record = Record();
    const int32_t ok = vbmp3::SetTagTexts(file.c_str(), &record, 0);
    _exit(ok ? g_steps : 255);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

TEST(WriteKill, AGrowingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  const fs::path folder = fs::temp_directory_path() / ("vbmp3-kill-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path file = folder / "song.mp3";
  // A tag with no padding, 1.5 MB of audio (six blocks to copy), an ID3v1 tag.
  const Bytes title = synth::Id3v2Frame(3, "TIT2", synth::Text(0, "Old"));
  const Bytes old =
      synth::Join({synth::Id3v2Tag(3, 0, title), synth::Frames(synth::kMpeg1L3, 3600, 2),
                   synth::Id3v1("old", "old", "", 1, 17)});
  Save(file, old);
  // The tag, 6 blocks, before and after the move.
  ASSERT_EQ(WriteInChild(file, 0), 9);
  const Bytes fresh = Load(file);
  ASSERT_NE(fresh, old);
  ASSERT_GT(fresh.size(), old.size());

  std::mt19937 random(20261207);
  int oldSeen = 0, newSeen = 0;
  for (int trial = 0; trial < 100; ++trial) {
    Save(file, old);
    const int killAt = std::uniform_int_distribution<int>(1, 9)(random);
    EXPECT_EQ(WriteInChild(file, killAt), -1) << killAt;
    const Bytes now = Load(file);
    const bool isOld = now == old, isNew = now == fresh;
    EXPECT_TRUE(isOld || isNew) << "trial " << trial << " killed at step " << killAt << ": "
                                << now.size();
    oldSeen += isOld;
    newSeen += isNew;
    // What a killed write leaves beside the file is its temporary file only.
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path() != file) {
        EXPECT_EQ(entry.path().filename().string().rfind(".vbmp3-song.mp3.", 0), 0u)
            << entry.path();
        fs::remove(entry.path());
      }
    }
  }
  EXPECT_GT(oldSeen, 0);
  EXPECT_GT(newSeen, 0);
  fs::remove_all(folder);
}

}  // namespace
