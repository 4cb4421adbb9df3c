#include "vbmp3/src/id3v1/id3v1.h"

#include <atomic>
#include <cstring>

namespace vbmp3 {
namespace {

std::atomic<LeadBytePredicate> g_isLead{&IsCp932LeadByte};

std::string FieldText(const uint8_t* p, size_t width) {
  const void* nul = std::memchr(p, 0, width);
  const size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : width;
  return std::string(TrimRight(std::string_view(reinterpret_cast<const char*>(p), n)));
}

void PutField(uint8_t* p, size_t width, const std::string& text) {
  // Cutting may leave a space at the new end; no pad spaces reach the disk.
  const std::string_view cut = TrimRight(CutText(TrimRight(text), width));
  std::memset(p, 0, width);
  if (!cut.empty()) std::memcpy(p, cut.data(), cut.size());
}

}  // namespace

bool IsCp932LeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void SetLeadBytePredicate(LeadBytePredicate isLead) {
  g_isLead.store(isLead ? isLead : &IsCp932LeadByte);
}

std::string_view CutText(std::string_view text, size_t width) {
  return CutText(text, width, g_isLead.load());
}

std::string_view CutText(std::string_view text, size_t width, LeadBytePredicate isLead) {
  if (text.size() <= width) return text;
  size_t end = 0;
  while (end < width) {
    const size_t step = isLead(static_cast<uint8_t>(text[end])) ? 2 : 1;
    if (end + step > width) break;
    end += step;
  }
  return text.substr(0, end);
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

bool ParseId3v1(const uint8_t* p, Id3v1Tag& tag) {
  if (std::memcmp(p, "TAG", 3) != 0) return false;
  tag.title = FieldText(p + 3, 30);
  tag.artist = FieldText(p + 33, 30);
  tag.album = FieldText(p + 63, 30);
  tag.year = FieldText(p + 93, 4);
  // ID3v1.1: a NUL before the last comment byte makes that byte the track.
  if (p[125] == 0 && p[126] != 0) {
    tag.comment = FieldText(p + 97, 28);
    tag.track = p[126];
  } else {
    tag.comment = FieldText(p + 97, 30);
    tag.track = 0;
  }
  tag.genre = p[127];
  return true;
}

void BuildId3v1(const Id3v1Tag& tag, uint8_t* out) {
  std::memcpy(out, "TAG", 3);
  PutField(out + 3, 30, tag.title);
  PutField(out + 33, 30, tag.artist);
  PutField(out + 63, 30, tag.album);
  PutField(out + 93, 4, tag.year);
  if (tag.track > 0 && tag.track <= 255) {
    PutField(out + 97, 28, tag.comment);
    out[125] = 0;
    out[126] = static_cast<uint8_t>(tag.track);
  } else {
    PutField(out + 97, 30, tag.comment);
  }
  out[127] = static_cast<uint8_t>(tag.genre >= 0 && tag.genre <= 255 ? tag.genre : 255);
}

}  // namespace vbmp3
