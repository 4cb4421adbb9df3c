// The preview player's access to VBMP3.dll.
#pragma once
#include "audio/player/player.h"

class Vbmp3PlayerLibrary : public PlayerLibrary {
 public:
  void Close() override;
  bool Open(const std::wstring& path, std::wstring& title, int32_t& totalSeconds,
            std::wstring& problem) override;
  bool Play() override;
  void Stop() override;
  int32_t GetState(int32_t& seconds) override;
  int32_t LastErrorNo() override;
};
