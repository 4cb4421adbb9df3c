#include "audio/property/property_text.h"

#include "engine/windows_names.h"

namespace property {

std::wstring FormatPlayTime(int32_t totalSeconds) {
  int32_t seconds = totalSeconds < 0 ? 0 : totalSeconds;
  int32_t rest = seconds % 60;
  std::wstring text = std::to_wstring(seconds / 60) + L":";
  if (rest < 10) text += L"0";
  return text + std::to_wstring(rest);
}

std::wstring FormatStreamInfo(const StreamInfoRecord& info, const std::wstring& id3v2Version) {
  auto n = [](int32_t value) { return std::to_wstring(value); };
  return L"Version：" + n(info.Version) + L"\r\n" +                 //
         L"Layer：" + n(info.Layer) + L"\r\n" +                     //
         L"Channels：" + n(info.Channels) + L"\r\n" +               //
         L"Bitrate：" + n(info.BitRate) + L"kbps\r\n" +             //
         L"SamplingRate：" + n(info.SamplingRate) + L"\r\n" +       //
         L"FileSize：" + n(info.FileSize) + L"bytes\r\n" +          //
         L"Flames：" + n(info.Frames) + L"\r\n" +                   //
         L"Time：" + FormatPlayTime(info.TotalSeconds) + L"\r\n" +  //
         L"ID3v2：" + (id3v2Version.empty() ? std::wstring(L"なし") : id3v2Version);
}

std::wstring FormatAudioInfo(const FormatInfoRecord& info) {
  auto n = [](int64_t value) { return std::to_wstring(value); };
  std::wstring format;
  for (size_t i = 0; i < sizeof info.Format && info.Format[i]; ++i)
    format += static_cast<wchar_t>(static_cast<unsigned char>(info.Format[i]));
  std::wstring text = L"Format：" + format + L"\r\n" +                //
                      L"Channels：" + n(info.Channels) + L"\r\n" +    //
                      L"Bitrate：" + n(info.BitRate) + L"kbps\r\n" +  //
                      L"SamplingRate：" + n(info.SamplingRate) + L"\r\n";
  if (info.BitsPerSample > 0) text += L"BitsPerSample：" + n(info.BitsPerSample) + L"\r\n";
  return text + L"FileSize：" + n(info.FileSize) + L"bytes\r\n" +  //
         L"Time：" + FormatPlayTime(info.TotalSeconds);
}

std::wstring StoredTarget(const std::wstring& typed) { return WindowsSafePath(typed); }

TargetState ClassifyTarget(const std::wstring& typed, const std::wstring& ownPath,
                           const LookupFunction& lookup) {
  const std::wstring target = StoredTarget(typed);
  if (target.empty()) return TargetState::BadPath;
  if (target == ownPath) return TargetState::OwnFile;
  switch (lookup(target)) {
    case win::Lookup::Found: return TargetState::Duplicate;
    case win::Lookup::NotFound: return TargetState::NoDuplicate;
    case win::Lookup::Failed: break;
  }
  return TargetState::BadPath;
}

const wchar_t* TargetStateCaption(TargetState state) {
  switch (state) {
    case TargetState::NoDuplicate: return L"重複はありません。";
    case TargetState::OwnFile: return L"重複していますが、このファイルと思われます。";
    case TargetState::Duplicate: return L"ファイルが重複しています。";
    case TargetState::BadPath: break;
  }
  return L"パスの指定が間違っています。";
}

bool TargetStateIsAlarm(TargetState state) { return state == TargetState::Duplicate; }

}  // namespace property
