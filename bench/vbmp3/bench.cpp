// Tag and stream data per file against TagLib on the same files in the same
// run, and the walk of a VBR file without header against `cat` reading it;
// then the same against TagLib for a mixed set of MP3, FLAC, MP4 and Ogg.
//   vbmp3_bench FILE_LIST VBR_FILE [MIXED_LIST]
#include <fileref.h>
#include <tag.h>
#include <audioproperties.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_info.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Best of `rounds`: the least disturbed by other work on the machine.
template <typename F>
double Best(int rounds, F&& run) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    run();
    best = std::min(best, Seconds(start));
  }
  return best;
}

void ReadWhole(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return;
  std::vector<char> buffer(1 << 20);
  while (read(fd, buffer.data(), buffer.size()) > 0) {
  }
  close(fd);
}

std::vector<std::string> ReadList(const char* path) {
  std::vector<std::string> files;
  std::ifstream list(path);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) files.push_back(line);
  }
  return files;
}

// The kind of a mixed-set file: its name after the copy's number
// ("12-song.flac" is "song.flac").
std::string KindOf(const std::string& path) {
  const std::string name = path.substr(path.find_last_of('/') + 1);
  return name.substr(name.find('-') + 1);
}

void CompareKinds(const std::vector<std::string>& files);

// What the program asks of every file it lists: the records and the texts
// whole, against TagLib's tag and audio properties.
int CompareMixed(const std::vector<std::string>& files) {
  CompareKinds(files);
  for (const std::string& f : files) ReadWhole(f);
  long ours = 0, theirs = 0, failed = 0, theirsFailed = 0;
  const double oursTime = Best(3, [&] {
    ours = failed = 0;
    for (const std::string& f : files) {
      TagRecord tag;
      StreamInfoRecord info;
      TagTextsRecord texts;
      vbmp3::Id3v2Values values;
      vbmp3::CollectionTexts collection;
      if (vbmp3::GetFileInfo(f.c_str(), &tag, &info, &texts, &values, &collection)) {
        ours += info.TotalSeconds + info.BitRate + static_cast<long>(values[0].size());
      } else {
        ++failed;
      }
    }
  });
  const double taglibTime = Best(3, [&] {
    theirs = theirsFailed = 0;
    for (const std::string& f : files) {
      TagLib::FileRef ref(f.c_str(), true, TagLib::AudioProperties::Average);
      if (ref.isNull()) {
        ++theirsFailed;
        continue;
      }
      if (const TagLib::Tag* tag = ref.tag()) {
        theirs += static_cast<long>(tag->title().size() + tag->artist().size() +
                                    tag->album().size() + tag->genre().size());
      }
      if (const TagLib::AudioProperties* p = ref.audioProperties()) {
        theirs += p->lengthInSeconds() + p->bitrate() + p->sampleRate() + p->channels();
      }
    }
  });
  std::printf("mixed set: %zu files (%ld not read by vbmp3, %ld by TagLib)\n", files.size(), failed,
              theirsFailed);
  std::printf("vbmp3 : %8.1f us per file (records and whole texts)\n",
              oursTime * 1e6 / files.size());
  std::printf("TagLib: %8.1f us per file (FileRef, tag and audio properties)\n",
              taglibTime * 1e6 / files.size());
  std::printf("ratio TagLib / vbmp3 on the mixed set: %.2fx (target >= 2)\n",
              taglibTime / oursTime);
  return ours == 0 || theirs == 0 || failed != 0;
}

// Each kind alone, the set's total being their sum: where the time goes.
void CompareKinds(const std::vector<std::string>& files) {
  std::map<std::string, std::vector<std::string>> kinds;
  for (const std::string& f : files) kinds[KindOf(f)].push_back(f);
  for (const auto& entry : kinds) {
    const std::string& kind = entry.first;
    const std::vector<std::string>& paths = entry.second;
    const double ours = Best(3, [&] {
      for (const std::string& f : paths) {
        TagRecord tag;
        StreamInfoRecord info;
        TagTextsRecord texts;
        vbmp3::Id3v2Values values;
        vbmp3::CollectionTexts collection;
        vbmp3::GetFileInfo(f.c_str(), &tag, &info, &texts, &values, &collection);
      }
    });
    const double theirs = Best(3, [&] {
      for (const std::string& f : paths) {
        TagLib::FileRef ref(f.c_str(), true, TagLib::AudioProperties::Average);
      }
    });
    std::printf("  %-10s vbmp3 %6.1f us, TagLib %6.1f us per file: %.2fx\n", kind.c_str(),
                ours * 1e6 / paths.size(), theirs * 1e6 / paths.size(), theirs / ours);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: vbmp3_bench FILE_LIST VBR_FILE [MIXED_LIST]\n");
    return 2;
  }
  const std::vector<std::string> files = ReadList(argv[1]);
  const std::string vbr = argv[2];
  for (const std::string& f : files) ReadWhole(f);  // into the page cache
  ReadWhole(vbr);

  long ours = 0, theirs = 0, oursFailed = 0, withId3v2 = 0;
  const double oursTime = Best(3, [&] {
    ours = 0;
    oursFailed = 0;
    withId3v2 = 0;
    for (const std::string& f : files) {
      TagRecord tag;
      StreamInfoRecord info;
      TagTextsRecord texts;
      if (vbmp3::GetFileInfo(f.c_str(), &tag, &info, &texts)) {
        ours += info.TotalSeconds + info.BitRate + tag.Title[0];
        if (texts.Texts[0][0]) ++withId3v2;
      } else {
        ++oursFailed;
      }
    }
  });
  const double taglibTime = Best(3, [&] {
    theirs = 0;
    for (const std::string& f : files) {
      TagLib::FileRef ref(f.c_str(), true, TagLib::AudioProperties::Average);
      if (ref.isNull()) continue;
      if (const TagLib::Tag* tag = ref.tag()) {
        theirs +=
            static_cast<long>(tag->title().size() + tag->artist().size() + tag->genre().size());
      }
      if (const TagLib::AudioProperties* p = ref.audioProperties()) {
        theirs += p->lengthInSeconds() + p->bitrate() + p->sampleRate() + p->channels();
      }
    }
  });
  std::printf("files: %zu (%ld not audio, %ld with an ID3v2 title)\n", files.size(), oursFailed,
              withId3v2);
  std::printf("vbmp3 : %8.1f us per file (tag, stream data, exact frame count)\n",
              oursTime * 1e6 / files.size());
  std::printf("TagLib: %8.1f us per file (FileRef, tag and audio properties)\n",
              taglibTime * 1e6 / files.size());
  std::printf("ratio TagLib / vbmp3: %.2fx (target >= 2)\n", taglibTime / oursTime);

  const double walkTime = Best(5, [&] {
    TagRecord tag;
    StreamInfoRecord info;
    if (!vbmp3::GetFileInfo(vbr.c_str(), &tag, &info, nullptr)) std::exit(1);
    ours += info.Frames;
  });
  const std::string cat = "cat '" + vbr + "' > /dev/null";
  const double catTime = Best(5, [&] {
    if (std::system(cat.c_str()) != 0) std::exit(1);
  });
  std::ifstream sized(vbr, std::ios::binary | std::ios::ate);
  const double megabytes = static_cast<double>(sized.tellg()) / 1e6;
  std::printf("VBR without header, %.0f MB: walk %.0f MB/s, cat %.0f MB/s\n", megabytes,
              megabytes / walkTime, megabytes / catTime);
  std::printf("ratio walk / cat speed: %.2f (target >= 0.5)\n", catTime / walkTime);
  const int mixed = argc == 4 ? CompareMixed(ReadList(argv[3])) : 0;
  return ours == 0 || theirs == 0 || mixed != 0;
}
