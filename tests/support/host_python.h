// The host's python3 (with mutagen) run from a test under Wine: an
// independent reader of the tags the program writes.
#pragma once
#include <map>
#include <string>

#include "tests/support/test_files.h"

namespace host_python {

// Writes `script` into `folder` and runs it with the host's /usr/bin/python3
// as `script FILE OUT`; the script writes "key=value" lines (UTF-8) to OUT.
// Those lines by key; empty when the host has no python3 or it failed.
std::map<std::string, std::wstring> KeyValueLines(const testing_files::ScratchFolder& folder,
                                                  const std::string& script,
                                                  const std::wstring& file);

}  // namespace host_python
