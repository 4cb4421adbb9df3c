// Writing a file's tags from the seven values of a texts record: the ID3v2
// tag at the start of the file (in place when the new tag fits in the old
// one's room, else the whole file anew through a replacement that takes the
// original's place only when complete) and the ID3v1 tag from the same
// values in code page 932.
#pragma once
#include <cstdint>
#include <functional>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"

namespace vbmp3 {

// The padding a tag gets when the file is written anew.
constexpr size_t kNewTagPadding = 2048;

// Fields 0-6 of the record as values.
Id3v2Values ValuesOf(const TagTextsRecord& texts);

// Gives the file the whole new content goes to when the tag does not fit;
// null when it cannot be made.
using ReplacementSource = std::function<RandomAccessFile*()>;

// Writes `values` into the tags of `file` (which must be audio). Sets
// `replaced` when the content went to the replacement instead, which the
// caller then puts in the file's place. `wholeValues`: see EditId3v2Values.
// Returns 0 or a VBMP3_ERR_ number; after a failure `file` is unchanged.
int32_t WriteTagValues(RandomAccessFile& file, const Id3v2Values& values, bool repairShiftJis,
                       const ReplacementSource& replacement, bool& replaced,
                       bool wholeValues = false);

// vbmp3_setTagTexts by path (ANSI bytes): 1 or 0, and the last error number.
int32_t SetTagTexts(const char* path, const TagTextsRecord* texts, int32_t options);
// The same for values that came whole (vbmp3_setTagTextsWhole).
int32_t SetTagValues(const char* path, const Id3v2Values& values, int32_t options,
                     bool wholeValues);

// Called at every step of writing a replacement (each block copied, before
// and after it takes the original's place): tests stop the process there.
using RewriteStepHook = void (*)();
void SetRewriteStepHook(RewriteStepHook hook);
// The hook's call, for the writers of other formats.
void RewriteStep();

}  // namespace vbmp3
