#include "vbmp3/src/id3v2/id3v2_new_frames.h"

#include <algorithm>

#include "vbmp3/src/id3v2/id3v2_text.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<uint8_t>(c) < 0x80; });
}

void PutUtf16Unit(std::string& out, char32_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>((unit >> 8) & 0xFF);
}

// UTF-16 little endian with its byte order mark.
std::string Utf16WithBom(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  for (size_t at = 0; at < utf8.size();) {
    const char32_t c = NextUtf8(utf8, at);
    if (c >= 0x10000) {
      PutUtf16Unit(out, 0xD800 + ((c - 0x10000) >> 10));
      PutUtf16Unit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      PutUtf16Unit(out, c);
    }
  }
  return out;
}

Id3v2Encoding EncodingFor(int major, std::string_view text) {
  if (major >= 4) return Id3v2Encoding::Utf8;
  return IsAscii(text) ? Id3v2Encoding::Latin1 : Id3v2Encoding::Utf16;
}

std::string Encoded(Id3v2Encoding encoding, std::string_view text) {
  return encoding == Id3v2Encoding::Utf16 ? Utf16WithBom(text) : std::string(text);
}

Id3v2RawFrame Frame(int major, std::string_view id, const std::string& data) {
  Id3v2RawFrame f;
  f.id = std::string(id);
  f.bytes = MakeId3v2FrameHeader(major, id, data.size()) + data;
  return f;
}

struct IdPair {
  std::string_view v22, v23;
};

// Every 2.2 frame 2.3 has, by the same layout (pictures apart).
constexpr IdPair kUpgrades[] = {
    {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TP1", "TPE1"}, {"TP2", "TPE2"},
    {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TCM", "TCOM"}, {"TXT", "TEXT"}, {"TLA", "TLAN"},
    {"TCO", "TCON"}, {"TAL", "TALB"}, {"TPA", "TPOS"}, {"TRK", "TRCK"}, {"TRC", "TSRC"},
    {"TYE", "TYER"}, {"TDA", "TDAT"}, {"TIM", "TIME"}, {"TRD", "TRDA"}, {"TMT", "TMED"},
    {"TFT", "TFLT"}, {"TBP", "TBPM"}, {"TCR", "TCOP"}, {"TPB", "TPUB"}, {"TEN", "TENC"},
    {"TSS", "TSSE"}, {"TOF", "TOFN"}, {"TLE", "TLEN"}, {"TSI", "TSIZ"}, {"TDY", "TDLY"},
    {"TKE", "TKEY"}, {"TOT", "TOAL"}, {"TOA", "TOPE"}, {"TOL", "TOLY"}, {"TOR", "TORY"},
    {"TXX", "TXXX"}, {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"},
    {"WCP", "WCOP"}, {"WPB", "WPUB"}, {"WXX", "WXXX"}, {"IPL", "IPLS"}, {"MCI", "MCDI"},
    {"ETC", "ETCO"}, {"MLL", "MLLT"}, {"STC", "SYTC"}, {"ULT", "USLT"}, {"SLT", "SYLT"},
    {"COM", "COMM"}, {"RVA", "RVAD"}, {"EQU", "EQUA"}, {"REV", "RVRB"}, {"GEO", "GEOB"},
    {"CNT", "PCNT"}, {"POP", "POPM"}, {"BUF", "RBUF"}, {"CRA", "AENC"},
};

// PIC: encoding, a three-letter format, type, description, data. APIC has a
// NUL-terminated MIME type where the format was.
std::string PictureData(std::string_view pic) {
  if (pic.size() < 5) return {};
  std::string format(pic.substr(1, 3));
  std::string mime = format == "JPG" ? "image/jpeg" : format == "PNG" ? "image/png" : "image/";
  if (mime == "image/") {
    for (char c : format) mime += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return std::string(pic.substr(0, 1)) + mime + '\0' + std::string(pic.substr(4));
}

}  // namespace

Id3v2RawFrame MakeTextFrame(int major, std::string_view id, std::string_view text) {
  const Id3v2Encoding encoding = EncodingFor(major, text);
  return Frame(major, id, static_cast<char>(encoding) + Encoded(encoding, text));
}

Id3v2RawFrame MakeCommentFrame(int major, std::string_view text) {
  const Id3v2Encoding encoding = EncodingFor(major, text);
  // An empty description is its terminator alone (after a BOM in UTF-16).
  const std::string description =
      encoding == Id3v2Encoding::Utf16 ? std::string("\xFF\xFE\0\0", 4) : std::string(1, '\0');
  return Frame(
      major, "COMM",
      static_cast<char>(encoding) + std::string("jpn") + description + Encoded(encoding, text));
}

bool IsPlainComment(const Id3v2RawFrame& frame, int major) {
  if (frame.id != "COMM") return false;
  const std::string content = frame.Content(major);
  std::string_view data = content;
  Id3v2Encoding encoding;
  if (data.size() < 4 || !ToId3v2Encoding(static_cast<uint8_t>(data[0]), encoding)) return false;
  std::string_view description;
  SplitId3v2String(encoding, data.substr(4), description);
  return DecodeId3v2Values(encoding, description, false).front().empty();
}

bool UpgradeId3v22Frame(const Id3v2RawFrame& v22, Id3v2RawFrame& v23) {
  if (v22.id == "PIC") {
    const std::string data = PictureData(v22.Data());
    if (data.empty()) return false;
    v23 = Frame(3, "APIC", data);
    return true;
  }
  for (const IdPair& pair : kUpgrades) {
    if (v22.id == pair.v22) {
      v23 = Frame(3, pair.v23, std::string(v22.Data()));
      return true;
    }
  }
  return false;
}

}  // namespace vbmp3
