// Writes texts into an MP4 file's items as the library will: through a real
// replacement file that takes the original's place when the moov must move.
//   mp4_write_probe FILE field=value...   (title artist album year comment genre)
// Prints "replaced=0" or "replaced=1"; exits with the error number.
#include <cstdio>
#include <cstring>
#include <string>

#include "vbmp3/src/mp4/mp4_write.h"

namespace {

bool SetField(vbmp3::FormatTextChanges& changes, const std::string& arg) {
  const size_t eq = arg.find('=');
  if (eq == std::string::npos) return false;
  const std::string name = arg.substr(0, eq), value = arg.substr(eq + 1);
  std::optional<std::string>* fields[] = {&changes.title, &changes.artist,  &changes.album,
                                          &changes.year,  &changes.comment, &changes.genre};
  const char* names[] = {"title", "artist", "album", "year", "comment", "genre"};
  for (size_t i = 0; i < 6; ++i)
    if (name == names[i]) {
      *fields[i] = value;
      return true;
    }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  vbmp3::FormatTextChanges changes;
  for (int i = 2; i < argc; ++i)
    if (!SetField(changes, argv[i])) return 2;
  int32_t error = 0;
  auto file = vbmp3::OpenFile(argv[1], vbmp3::OpenMode::Update, error);
  if (!file) return error;
  std::unique_ptr<vbmp3::ReplacementFile> replacement;
  const vbmp3::ReplacementSource make = [&]() -> vbmp3::RandomAccessFile* {
    int32_t ignored = 0;
    replacement = vbmp3::CreateReplacement(argv[1], ignored);
    return replacement.get();
  };
  bool replaced = false;
  error = vbmp3::WriteMp4Texts(*file, changes, make, replaced);
  file.reset();  // the original must be closed before it is replaced
  if (error == 0 && replaced && !replacement->Commit()) error = 5;
  std::printf("replaced=%d\n", replaced ? 1 : 0);
  return error;
}
