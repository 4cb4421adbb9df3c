// The program's own files (the template list, the undo journal) read and
// written whole, and the error a user is shown when one cannot be: in
// Japanese, naming the file, with the system's reason.
#pragma once
#include <string>

#include "settings/app_error.h"

namespace win {

// The system's text for an error number, without the line break it ends
// with; the number itself where the system has no text.
std::wstring SystemErrorText(unsigned long error);

// An error that ends a command: lead (what could not be done), the file's
// path and the system's text, one a line. Its number is the system's.
AppError FileError(const std::wstring& lead, const std::wstring& path, unsigned long error);

// Throws FileError(failureLead, path, ...) when the file cannot be opened or
// read. Others may read and write the file meanwhile.
std::string ReadWholeFile(const std::wstring& path, const std::wstring& failureLead);

// Creates or replaces the file with bytes; throws FileError(failureLead,
// path, ...) when it cannot.
void WriteWholeFile(const std::wstring& path, const std::string& bytes,
                    const std::wstring& failureLead);

}  // namespace win
