// Writes boxes into an Ogg Vorbis or Opus file through the Ogg writer, with
// a real replacement file committed as the library commits it, for the
// test that reads the result with mutagen.
//
//   ogg_write_probe FILE field=value...   (title, artist, album, year,
//                                          comment, genre; an empty value
//                                          removes the field)
// Exits 0, or with the writer's error number; prints "replaced" or
// "in place".
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/ogg/ogg_comment_write.h"

namespace {

bool Take(vbmp3::FormatTextChanges& changes, const std::string& argument) {
  const size_t equals = argument.find('=');
  if (equals == std::string::npos) return false;
  const std::string name = argument.substr(0, equals), value = argument.substr(equals + 1);
  std::optional<std::string>* boxes[] = {&changes.title, &changes.artist,  &changes.album,
                                         &changes.year,  &changes.comment, &changes.genre};
  const char* names[] = {"title", "artist", "album", "year", "comment", "genre"};
  for (int i = 0; i < 6; ++i) {
    if (name == names[i]) {
      *boxes[i] = value;
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  vbmp3::FormatTextChanges changes;
  for (int i = 2; i < argc; ++i)
    if (!Take(changes, argv[i])) return 2;
  int32_t error = 0;
  std::unique_ptr<vbmp3::RandomAccessFile> file =
      vbmp3::OpenFile(argv[1], vbmp3::OpenMode::Update, error);
  if (!file) return error;
  std::unique_ptr<vbmp3::ReplacementFile> replacement;
  const vbmp3::ReplacementSource make = [&]() -> vbmp3::RandomAccessFile* {
    int32_t ignored = 0;
    replacement = vbmp3::CreateReplacement(argv[1], ignored);
    return replacement.get();
  };
  bool replaced = false;
  error = vbmp3::WriteOggTexts(*file, changes, make, replaced);
  file.reset();  // the original must be closed before it is replaced
  if (error == 0 && replaced && !replacement->Commit()) error = VBMP3_ERR_WRITE;
  if (error == 0) std::puts(replaced ? "replaced" : "in place");
  return error;
}
