// vbmp3probe FILE...: one JSON line per file, from the same code the DLL runs.
#include <iconv.h>

#include <cstdio>
#include <string>

#include "vbmp3/probe/json_line.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/format_records.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3probe {

std::string Cp932ToUtf8(std::string_view bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string in(bytes), out(bytes.size() * 3 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t srcLeft = in.size(), dstLeft = out.size();
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
      // An undecodable byte is shown as U+FFFD and skipped.
      if (dstLeft < 3) break;
      *dst++ = '\xEF';
      *dst++ = '\xBF';
      *dst++ = '\xBD';
      dstLeft -= 3;
      ++src;
      --srcLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace vbmp3probe

namespace {

// vbmp3probe --set-texts FILE TITLE ARTIST ALBUM YEAR COMMENT GENRE TRACK
// [repair]: writes the seven values (UTF-8, whole) as vbmp3_setTagTextsWhole
// does and prints the error number (0 on success).
int SetTexts(int argc, char** argv) {
  if (argc != 10 && argc != 11) {
    std::fprintf(
        stderr,
        "usage: vbmp3probe --set-texts FILE TITLE ARTIST ALBUM YEAR COMMENT GENRE TRACK [repair]\n");
    return 2;
  }
  vbmp3::Id3v2Values values;
  for (int i = 0; i < vbmp3::kValueCount; ++i) values[i] = argv[3 + i];
  const int32_t options = argc == 11 ? VBMP3_TEXTS_REPAIR_SHIFT_JIS : 0;
  const bool ok = vbmp3::SetTagValues(argv[2], values, options, true) != 0;
  std::printf("{\"file\":\"%s\",\"error\":%d}\n", argv[2], static_cast<int>(vbmp3::LastErrorNo()));
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--set-texts") return SetTexts(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: vbmp3probe FILE...\n");
    return 2;
  }
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    TagRecord tag{};
    StreamInfoRecord info{};
    TagTextsRecord texts{};
    vbmp3::Id3v2Values whole;
    vbmp3::CollectionTexts collection;
    const bool ok = vbmp3::GetFileInfo(argv[i], &tag, &info, &texts, &whole, &collection) != 0;
    const int32_t error = vbmp3::LastErrorNo();
    FormatInfoRecord format{};
    vbmp3::GetFormatInfo(argv[i], &format);
    const vbmp3probe::MoreFields more{collection.albumArtist, collection.disc, &format};
    if (!ok) ++failures;
    vbmp3::TagVersions found;
    vbmp3::GetTagVersions(argv[i], found);
    const std::string line = vbmp3probe::JsonLine(argv[i], ok, error, tag, info, texts,
                                                  {found.id3v1, found.id3v2}, &whole, &more) +
                             "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return failures ? 1 : 0;
}
