// Scratch folders, files and tagged MP3s for the engine's Windows tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/undo_journal_format.h"
#include "tests/support/test_files.h"

namespace engine_test {

using testing_files::NameOnDisk;
using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;
bool Exists(const std::wstring& path);  // any kind of entry, hidden ones too

// A tiny MPEG-1 Layer III file (eight silent frames) ending in an ID3v1 tag with
// these fields (ANSI bytes, NUL padded).
std::string TaggedMp3(const std::string& title, const std::string& artist,
                      const std::string& album = "", const std::string& year = "",
                      const std::string& comment = "", int genre = 255);

// The renames a journal names, without the files' identities.
inline std::vector<JournalEntry> Moves(std::vector<JournalEntry> entries) {
  for (JournalEntry& entry : entries) entry.identity.reset();
  return entries;
}

// Loads VBMP3.dll from the test's folder and initialises it once.
bool LibraryReady();

}  // namespace engine_test
