// Texts of the file property dialog that depend on nothing but their inputs:
// the stream data lines and the verdict on a typed rename target.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "vbmp3/include/vbmp3.h"
#include "win/file_lookup.h"

namespace property {

// "m:ss": whole minutes without padding, seconds as two digits. A negative
// count (never a real play time) shows as 0:00.
std::wstring FormatPlayTime(int32_t totalSeconds);

// The eight lines of the MPEG box, then "ID3v2：" with the file's ID3v2
// version ("2.3") or "なし", joined by CR LF, none after the last.
std::wstring FormatStreamInfo(const StreamInfoRecord& info, const std::wstring& id3v2Version);

// The lines of a FLAC, MP4 or Ogg file's audio ("Format：FLAC" ...), joined
// by CR LF, none after the last; "BitsPerSample：" only where the format
// has a sample size.
std::wstring FormatAudioInfo(const FormatInfoRecord& info);

enum class TargetState {
  NoDuplicate,  // nothing of that name exists
  OwnFile,      // the target is the file's own path, letter for letter
  Duplicate,    // a normal file matches the target (as a pattern)
  BadPath,      // the lookup rejected the target, or there is no target
};

using LookupFunction = std::function<win::Lookup(const std::wstring&)>;

// The target OK stores for a typed text: the name Windows will really hold,
// after the rules every built name gets ("CON.mp3" becomes "CON_.mp3").
std::wstring StoredTarget(const std::wstring& typed);

// Decides what the status line says about target for the file at ownPath,
// judging the name OK would store. An empty target is never looked up:
// there is nothing to rename to.
TargetState ClassifyTarget(const std::wstring& target, const std::wstring& ownPath,
                           const LookupFunction& lookup);

const wchar_t* TargetStateCaption(TargetState state);
// A duplicate is the one state shown in red.
bool TargetStateIsAlarm(TargetState state);

}  // namespace property
