#include "engine/undo_journal_format.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

#include "vbmp3/src/text/unicode.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Starts a created folder's line: an encoded path never starts with "<>".
constexpr std::string_view kFolderLineMark = "<>";
// Start the identity lines: of the file the next rename line moves, and of
// the file after the rename line above, when its move gave it another. An
// encoded path never starts with "<#" or "<=", and the lines have no tab.
constexpr std::string_view kIdentityLineMark = "<#>";
constexpr std::string_view kMovedIdentityLineMark = "<=>";
constexpr bool kUtf16 = sizeof(wchar_t) == 2;

void AppendEscaped(std::string& out, uint32_t unit) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "<%X>", static_cast<unsigned>(unit));
  out += buffer;
}

bool IsSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

void AppendCodePoint(std::wstring& out, uint32_t c) {
  if (kUtf16 && c >= 0x10000) {
    c -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (c >> 10));
    out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<wchar_t>(c);
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Strict UTF-8: no overlong forms, no encoded surrogates, nothing past
// U+10FFFF. Advances at over the sequence; false on a broken one.
bool NextUtf8(std::string_view bytes, size_t& at, uint32_t& c) {
  auto lead = static_cast<unsigned char>(bytes[at]);
  int more;
  uint32_t minimum;
  if (lead < 0x80) {
    c = lead;
    ++at;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    c = lead & 0x1F, more = 1, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    c = lead & 0x0F, more = 2, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    c = lead & 0x07, more = 3, minimum = 0x10000;
  } else {
    return false;
  }
  if (at + static_cast<size_t>(more) >= bytes.size()) return false;
  for (int i = 1; i <= more; ++i) {
    auto next = static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    if ((next & 0xC0) != 0x80) return false;
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || IsSurrogate(c)) return false;
  at += static_cast<size_t>(more) + 1;
  return true;
}

std::string TwoDigits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

std::string IdentityText(const FileIdentity& identity) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%08lX:%08lX%08lX",
                static_cast<unsigned long>(identity.volumeSerial),
                static_cast<unsigned long>(identity.fileIndex >> 32),
                static_cast<unsigned long>(identity.fileIndex & 0xFFFFFFFFu));
  return buffer;
}

// Exactly digits hexadecimal digits from at; false on anything else.
bool ReadHex(std::string_view text, size_t at, size_t digits, uint64_t& value) {
  if (text.size() < at + digits) return false;
  value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    int digit = HexValue(text[i]);
    if (digit < 0) return false;
    value = value * 16 + static_cast<uint64_t>(digit);
  }
  return true;
}

// "VVVVVVVV:IIIIIIIIIIIIIIII", the volume serial and the file index.
std::optional<FileIdentity> ParseIdentity(std::string_view text) {
  uint64_t serial = 0, index = 0;
  if (text.size() != 25 || text[8] != ':' || !ReadHex(text, 0, 8, serial) ||
      !ReadHex(text, 9, 16, index))
    return std::nullopt;
  return FileIdentity{static_cast<uint32_t>(serial), index};
}

// "source TAB target"; false for a line that is no rename.
bool ParseRenameLine(std::string_view line, JournalEntry& entry) {
  size_t tab = line.find('\t');
  // A NUL byte is what a disk leaves where a write was lost, never a path.
  return tab != std::string_view::npos && line.find('\0') == std::string_view::npos &&
         line.find('\t', tab + 1) == std::string_view::npos &&
         DecodeJournalPath(line.substr(0, tab), entry.source) &&
         DecodeJournalPath(line.substr(tab + 1), entry.target) && !entry.source.empty() &&
         !entry.target.empty();
}

// The lines after the header, one at a time. An identity line waits for the
// rename line after it; anything else in between leaves it without one.
class LineReader {
 public:
  explicit LineReader(Journal& journal) : journal_(journal) {}

  void Read(std::string_view line) {
    if (line.empty()) return;
    if (line.substr(0, kIdentityLineMark.size()) == kIdentityLineMark) {
      DropPending();
      pending_ = ParseIdentity(line.substr(kIdentityLineMark.size()));
      if (!pending_) ++journal_.damagedLines;
      return;
    }
    std::optional<FileIdentity> identity = std::exchange(pending_, std::nullopt);
    if (line.substr(0, kMovedIdentityLineMark.size()) == kMovedIdentityLineMark) {
      std::optional<FileIdentity> moved = ParseIdentity(line.substr(kMovedIdentityLineMark.size()));
      if (identity) ++journal_.damagedLines;
      if (moved && afterRename_ && !identity) {
        journal_.entries.back().identity = moved;
      } else {
        ++journal_.damagedLines;
        afterRename_ = false;
      }
      return;
    }
    afterRename_ = false;
    JournalEntry entry;
    if (line.substr(0, kFolderLineMark.size()) == kFolderLineMark ||
        !ParseRenameLine(line, entry)) {
      if (identity) ++journal_.damagedLines;  // its rename line never came
      if (line.substr(0, kFolderLineMark.size()) == kFolderLineMark)
        ReadFolderLine(line.substr(kFolderLineMark.size()));
      else ++journal_.damagedLines;
      return;
    }
    entry.identity = identity;
    journal_.entries.push_back(std::move(entry));
    afterRename_ = true;
  }
  // At the end: an identity line whose rename line is missing is no entry.
  void DropPending() {
    if (std::exchange(pending_, std::nullopt)) ++journal_.damagedLines;
  }

 private:
  void ReadFolderLine(std::string_view path) {
    std::wstring folder;
    if (path.find('\0') == std::string_view::npos && DecodeJournalPath(path, folder) &&
        !folder.empty())
      journal_.createdFolders.push_back(std::move(folder));
    else ++journal_.damagedLines;
  }

  Journal& journal_;
  std::optional<FileIdentity> pending_;
  bool afterRename_ = false;  // the last line read was a rename or its moved identity
};

}  // namespace

std::string EncodeJournalPath(std::wstring_view path) {
  std::string out;
  out.reserve(path.size() + 8);
  for (size_t i = 0; i < path.size(); ++i) {
    auto unit = static_cast<uint32_t>(path[i]);
    if (unit < 0x20 || unit == 0x7F || unit == '<') {
      AppendEscaped(out, unit);
    } else if (kUtf16 && unit >= 0xD800 && unit <= 0xDBFF && i + 1 < path.size() &&
               path[i + 1] >= 0xDC00 && path[i + 1] <= 0xDFFF) {
      vbmp3::AppendUtf8(
          out, 0x10000 + ((unit - 0xD800) << 10) + (static_cast<uint32_t>(path[i + 1]) - 0xDC00));
      ++i;
    } else if (IsSurrogate(unit) || unit > 0x10FFFF) {
      AppendEscaped(out, unit);
    } else {
      vbmp3::AppendUtf8(out, unit);
    }
  }
  return out;
}

bool DecodeJournalPath(std::string_view bytes, std::wstring& path) {
  path.clear();
  size_t at = 0;
  while (at < bytes.size()) {
    if (bytes[at] == '<') {
      // "<hex>" with one to six digits; anything else is a plain '<'.
      size_t end = at + 1;
      uint32_t value = 0;
      while (end < bytes.size() && end - at <= 6 && HexValue(bytes[end]) >= 0)
        value = value * 16 + static_cast<uint32_t>(HexValue(bytes[end++]));
      if (end > at + 1 && end < bytes.size() && bytes[end] == '>' && value <= 0x10FFFF) {
        if (IsSurrogate(value)) {
          path += static_cast<wchar_t>(value);
        } else {
          AppendCodePoint(path, value);
        }
        at = end + 1;
        continue;
      }
    }
    uint32_t c = 0;
    if (!NextUtf8(bytes, at, c)) return false;
    AppendCodePoint(path, c);
  }
  return true;
}

std::string FormatJournalHeader(const JournalTime& t) {
  std::wstring text = L"ぽめろ リネーム記録 開始 ";
  std::string out(kByteOrderMark);
  out += EncodeJournalPath(text);
  out += std::to_string(t.year) + "/" + TwoDigits(t.month) + "/" + TwoDigits(t.day) + " " +
         TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + "\r\n";
  return out;
}

std::string FormatJournalLine(const JournalEntry& entry) {
  std::string out;
  if (entry.identity) out = std::string(kIdentityLineMark) + IdentityText(*entry.identity) + "\r\n";
  return out + EncodeJournalPath(entry.source) + "\t" + EncodeJournalPath(entry.target) + "\r\n";
}

std::string FormatJournalMovedIdentityLine(const FileIdentity& identity) {
  return std::string(kMovedIdentityLineMark) + IdentityText(identity) + "\r\n";
}

std::string FormatJournalFolderLine(const std::wstring& folder) {
  return std::string(kFolderLineMark) + EncodeJournalPath(folder) + "\r\n";
}

std::string FormatJournal(const std::wstring& header, const std::vector<JournalEntry>& entries,
                          const std::vector<std::wstring>& createdFolders) {
  std::string out(kByteOrderMark);
  out += EncodeJournalPath(header);
  out += "\r\n";
  for (const std::wstring& folder : createdFolders) out += FormatJournalFolderLine(folder);
  for (const JournalEntry& entry : entries) out += FormatJournalLine(entry);
  return out;
}

Journal ParseJournal(std::string_view bytes) {
  Journal journal;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    bytes.remove_prefix(kByteOrderMark.size());
  LineReader reader(journal);
  bool first = true;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    if (lf == std::string_view::npos) {
      journal.tornLastLine = true;
      break;
    }
    std::string_view line = bytes.substr(start, lf - start);
    start = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      if (!DecodeJournalPath(line, journal.header)) journal.header.clear();
      continue;
    }
    reader.Read(line);
  }
  reader.DropPending();
  return journal;
}
