#include "vbmp3/probe/json_line.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace vbmp3probe {
namespace {

template <size_t N>
std::string Field(const char (&field)[N]) {
  const void* nul = std::memchr(field, 0, N);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : N;
  return JsonString(Cp932ToUtf8(std::string_view(field, n)));
}

// A UTF-8 field of TagTextsRecord.
template <size_t N>
std::string Utf8Field(const char (&field)[N]) {
  const void* nul = std::memchr(field, 0, N);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : N;
  return JsonString(std::string_view(field, n));
}

}  // namespace

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonLine(std::string_view file, bool ok, int32_t error, const TagRecord& tag,
                     const StreamInfoRecord& info, const TagTextsRecord& texts,
                     const Versions& versions, const vbmp3::Id3v2Values* whole,
                     const MoreFields* more) {
  std::string line = "{\"file\":" + JsonString(file);
  if (!ok) return line + ",\"error\":" + std::to_string(error) + "}";
  line += ",\"Title\":" + Field(tag.Title);
  line += ",\"Artist\":" + Field(tag.Artist);
  line += ",\"Album\":" + Field(tag.Album);
  line += ",\"Year\":" + Field(tag.Year);
  line += ",\"Comment\":" + Field(tag.Comment);
  line += ",\"GenreNumber\":" + std::to_string(tag.GenreNumber);
  line += ",\"GenreName\":" + Field(tag.GenreName);
  line += ",\"Version\":" + std::to_string(info.Version);
  line += ",\"Layer\":" + std::to_string(info.Layer);
  line += ",\"Channels\":" + std::to_string(info.Channels);
  line += ",\"BitRate\":" + std::to_string(info.BitRate);
  line += ",\"SamplingRate\":" + std::to_string(info.SamplingRate);
  line += ",\"FileSize\":" + std::to_string(info.FileSize);
  line += ",\"Frames\":" + std::to_string(info.Frames);
  line += ",\"TotalSeconds\":" + std::to_string(info.TotalSeconds);
  line += ",\"TagVersions\":[";
  if (versions.id3v1) line += versions.id3v1 == 11 ? "\"1.1\"" : "\"1.0\"";
  if (versions.id3v2) {
    line += versions.id3v1 ? ",\"2." : "\"2.";
    line += std::to_string(versions.id3v2) + "\"";
  }
  line += "]";
  static constexpr const char* kNames[] = {"Title",   "Artist", "Album", "Year",
                                           "Comment", "Genre",  "Track"};
  for (size_t i = 0; i < std::size(kNames); ++i) {
    line += std::string(",\"ID3v2") + kNames[i] +
            "\":" + (whole ? JsonString((*whole)[i]) : Utf8Field(texts.Texts[i]));
  }
  line += ",\"ID3v1Track\":" + std::to_string(texts.Id3v1Track);
  if (more) {
    line += ",\"AlbumArtist\":" + JsonString(more->albumArtist);
    line += ",\"Disc\":" + JsonString(more->disc);
  }
  if (more && more->format) {
    line += ",\"Format\":" + Utf8Field(more->format->Format);
    line += ",\"BitsPerSample\":" + std::to_string(more->format->BitsPerSample);
  }
  return line + "}";
}

}  // namespace vbmp3probe
