// Writes the fuzzers' seed files: small streams of every kind, built the
// way the tests build them.
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/vbmp3/synth.h"

namespace {

void Write(const std::string& dir, const std::string& name, const synth::Bytes& bytes) {
  if (FILE* f = std::fopen((dir + "/" + name).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: make_seeds MPEG_DIR ID3_DIR RIFF_DIR ID3V2_DIR ID3V2_WRITE_DIR\n");
    return 2;
  }
  using namespace synth;
  const Bytes l3 = Frames(kMpeg1L3, 6, 2);
  const Bytes l1 = Frames(kMpeg1L1, 6, 2);
  const Bytes l2 = Frames(0xFFF5A080, 4);
  const Bytes mpeg25 = Frames(0xFFE318C0, 8);
  const Bytes free = FreeFormatFrames(0xFFFB0040, 300, 5);
  Bytes xing = Frames(kMpeg1L3, 1);
  std::memcpy(xing.data() + 36, "Xing\0\0\0\3\0\0\0\6\0\0\x0b\x8a", 16);
  Bytes vbri = Frames(kMpeg1L3, 1);
  std::memcpy(vbri.data() + 36, "VBRI\0\1\0\0\0\0\0\0\x0b\x8a\0\0\0\6", 18);
  const std::string mpeg = argv[1], id3 = argv[2], riff = argv[3];
  Write(mpeg, "l3", l3);
  Write(mpeg, "l1", l1);
  Write(mpeg, "l2", l2);
  Write(mpeg, "mpeg25", mpeg25);
  Write(mpeg, "free", free);
  Write(mpeg, "xing", Join({xing, l3}));
  Write(mpeg, "vbri", Join({vbri, l3}));
  Write(mpeg, "junk", Join({Bytes(50, 0xFF), l3}));

  const Bytes record(32, 'a');
  Write(id3, "v1", Join({record, l3, Id3v1("title", "artist", "comment", 0, 17)}));
  Write(id3, "v11", Join({record, l3, Id3v1("\x83\x5C", "a", "c", 5, 255)}));
  Write(id3, "v2", Join({record, Id3v2(40, true), l3}));
  Write(id3, "ape", Join({record, l3, Ape(), Id3v1("t", "", "", 0, 0)}));
  const std::string lyrics = "LYRICSBEGININD0000200000026LYRICS200";
  Write(id3, "lyrics",
        Join({record, l3, Bytes(lyrics.begin(), lyrics.end()), Id3v1("t", "", "", 0, 0)}));
  Write(id3, "riff",
        Join({record, Riff("RMP3", {{"data", l3}, {"TAG ", Id3v1("t", "", "", 3, 1)}})}));

  // The RIFF fuzzer adds "RIFF", size and form itself: seeds are a form
  // selector byte and chunks.
  auto chunks = [](uint8_t selector, const Bytes& form) {
    Bytes out{selector};
    out.insert(out.end(), form.begin() + 12, form.end());
    return out;
  };
  Write(riff, "pcm",
        chunks(0, Riff("WAVE", {{"fmt ", WaveFormat(1, 2, 44100, 176400, 4, 16)},
                                {"data", Bytes(64, 0)}})));
  Write(riff, "mp3",
        chunks(0, Riff("WAVE", {{"fmt ", WaveFormat(0x55, 2, 44100, 16000, 1, 0)}, {"data", l3}})));
  Write(
      riff, "rmp",
      chunks(1, Riff("RMP3",
                     {{"data", l3}, {"LIST", Bytes(10, 0)}, {"TAG ", Id3v1("t", "", "", 0, 1)}})));
  Write(riff, "big", chunks(3, Riff("RMP3", {{"data", l3}})));

  // ID3v2 tags of every version and frame layout the reader knows.
  const std::string v2 = argv[4];
  const std::string sjis = "\x83\x5C\x83\x74\x83\x67";  // "ソフト"
  Write(
      v2, "v22",
      Join({Id3v2Tag(2, 0,
                     Join({Id3v2Frame(2, "TT2", Text(0, sjis)),
                           Id3v2Frame(2, "TCO", Text(0, "(17)Rock")),
                           Id3v2Frame(2, "COM", Text(0, std::string("eng\0c", 5))), Bytes(20, 0)})),
            l3}));
  const Bytes utf16 = Text(1, std::string("\xFF\xFE"
                                          "A\0\xFF\x30\0\0",
                                          8));
  Write(v2, "v23-unsync",
        Id3v2Tag(3, 0x80,
                 Unsynchronise(Join(
                     {Id3v2Frame(3, "TIT2", utf16), Id3v2Frame(3, "TYER", Text(0, "2001"))}))));
  Write(
      v2, "v23-extended",
      Id3v2Tag(3, 0x40,
               Join({Bytes{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, Id3v2Frame(3, "TPE1", Text(0, "a"), 0x20),
                     Id3v2Frame(3, "TALB", Text(0, "zz"), 0x80)})));
  const Bytes unsynced = Unsynchronise(Text(1, std::string("\xFF\xFEx\0", 4)));
  Bytes lengthIndicator{0, 0, 0, 4};
  Write(v2, "v24",
        Id3v2Tag(4, 0x40,
                 Join({Bytes{0, 0, 0, 6, 1, 0},
                       Id3v2Frame(4, "TIT2", Join({lengthIndicator, unsynced}), 0x03),
                       Id3v2Frame(4, "TDRC", Text(3, "2004-05-06")),
                       Id3v2Frame(4, "TCON", Text(3, std::string("4\0RX\0(9)x", 9))),
                       Id3v2Frame(4, "TRCK",
                                  Text(2, std::string("\0"
                                                      "3",
                                                      2))),
                       Id3v2Frame(4, "COMM", Text(3, std::string("jpnd\0t\0u", 9)))})));

  // The writer's: options, a length and the values, then a file (option 2
  // appends audio to it).
  const std::string w = argv[5];
  auto writing = [](uint8_t options, const std::string& values, const Bytes& file) {
    Bytes out{options, static_cast<uint8_t>(values.size())};
    out.insert(out.end(), values.begin(), values.end());
    out.insert(out.end(), file.begin(), file.end());
    return out;
  };
  const Bytes pic = Id3v2Frame(3, "APIC", Text(0, std::string("image/png\0\3\0data", 17)));
  Write(w, "v23",
        writing(2, "T\nA\nL\n2001\nC\nRock\n1",
                Id3v2Tag(3, 0, Join({pic, Id3v2Frame(3, "TIT2", Text(0, sjis)), Bytes(30, 0)}))));
  Write(w, "v24",
        writing(3, "\xC3\xA9\n\nx",
                Id3v2Tag(4, 0,
                         Join({Id3v2Frame(4, "TDRC", Text(3, "2004-05-06")),
                               Id3v2Frame(4, "COMM", Text(3, std::string("jpnd\0t", 7)))}))));
  Write(w, "v22",
        writing(2, "(17)",
                Id3v2Tag(2, 0,
                         Join({Id3v2Frame(2, "PIC", Text(0, std::string("PNG\3\0x", 6))),
                               Id3v2Frame(2, "TT2", Text(0, sjis))}))));
  Write(w, "none-v1", writing(2, "Title", Id3v1("t", "a", "", 2, 17)));
  Write(w, "fail", writing(2 | 4 | (3 << 3), std::string(100, 'x'), Id3v2Tag(3, 0, Bytes(10, 0))));
  return 0;
}
