// One open file and its playback through waveOut on a thread of its own, so
// the caller's thread never waits for audio.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "vbmp3/playback/pcm_source.h"

namespace vbmp3::playback {

// The waveOut device playback opens: the default one, unless a test points
// it at a device that does not exist to see the failure.
void SetOutputDevice(UINT device);

class Player {
 public:
  Player() = default;
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // Makes `path` the open file, closing whatever was open. Returns 0 or a
  // VBMP3_ERR_ number; the file is checked to be decodable here so that
  // Play fails only for output reasons.
  // `stream` (may be null) receives the file's measurements.
  int32_t Open(const std::string& path, AudioStream* stream);
  // Plays the open file from its start, restarting it if it plays already.
  int32_t Play();
  // Ends playback and releases the output device; the file stays open.
  void Stop();
  // Stop, and forget the open file.
  void Close();
  bool IsOpen() const { return !path_.empty(); }
  // 1 while playing, 0 otherwise; `seconds` gets whole seconds played.
  int32_t State(int32_t& seconds);

 private:
  void Run();
  void ReleaseDevice();
  uint64_t PlayedSamples();

  std::string path_;
  std::unique_ptr<PcmSource> source_;
  WAVEFORMATEX format_{};

  std::thread thread_;
  HANDLE stopEvent_ = nullptr;
  HANDLE doneEvent_ = nullptr;  // signalled by waveOut as buffers finish
  std::mutex deviceLock_;       // guards device_ between the two threads
  HWAVEOUT device_ = nullptr;
  std::atomic<bool> playing_{false};
  std::atomic<uint64_t> submittedSamples_{0};
  uint64_t lastPlayedSamples_ = 0;
};

}  // namespace vbmp3::playback
