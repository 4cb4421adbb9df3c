#include "vbmp3/playback/player.h"

#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <system_error>
#include <vector>

#include "vbmp3/include/vbmp3.h"

namespace vbmp3::playback {
namespace {

// Four blocks of a fifth of a second: enough queued that a busy machine does
// not starve the device, little enough that the position stays honest.
constexpr int kBlockCount = 4;
constexpr DWORD kBlocksPerSecond = 5;

struct Block {
  WAVEHDR header{};
  std::vector<uint8_t> data;
  bool queued = false;
};

std::atomic<UINT> g_outputDevice{WAVE_MAPPER};

// Hands decoded PCM to the device a block of `target` bytes at a time.
class BlockFeeder {
 public:
  BlockFeeder(PcmSource& source, HWAVEOUT device, const WAVEFORMATEX& format,
              std::atomic<uint64_t>& submittedSamples)
      : source_(source),
        device_(device),
        align_(std::max<DWORD>(format.nBlockAlign, 1)),
        target_(std::max<DWORD>(format.nAvgBytesPerSec / kBlocksPerSecond / align_, 1) * align_),
        submittedSamples_(submittedSamples) {}

  // Fills and queues a block; false when there is nothing left to play or
  // the device would not take it.
  bool Fill(Block& block) {
    while (!sourceDone_ && pending_.size() < target_) {
      if (!source_.ReadMore(pending_)) sourceDone_ = true;
    }
    size_t size = std::min(pending_.size(), target_);
    size -= size % align_;
    if (size == 0) return false;
    block.data.assign(pending_.begin(), pending_.begin() + size);
    pending_.erase(pending_.begin(), pending_.begin() + size);
    block.header = {};
    block.header.lpData = reinterpret_cast<LPSTR>(block.data.data());
    block.header.dwBufferLength = static_cast<DWORD>(size);
    if (waveOutPrepareHeader(device_, &block.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
      return false;
    if (waveOutWrite(device_, &block.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(device_, &block.header, sizeof(WAVEHDR));
      return false;
    }
    block.queued = true;
    submittedSamples_ += size / align_;
    return true;
  }

 private:
  PcmSource& source_;
  HWAVEOUT device_;
  DWORD align_;
  size_t target_;
  std::atomic<uint64_t>& submittedSamples_;
  std::vector<uint8_t> pending_;  // decoded PCM not yet handed to the device
  bool sourceDone_ = false;
};

}  // namespace

void SetOutputDevice(UINT device) { g_outputDevice = device; }

Player::~Player() { Close(); }

int32_t Player::Open(const std::string& path, AudioStream* stream) {
  Close();
  int32_t error = 0;
  // Measured exactly, so the length agrees with what the file information
  // calls report for the same file.
  auto source = OpenPcmSource(path, Measure::Exact, stream, error);
  if (!source) return error;
  source_ = std::move(source);
  format_ = source_->Format();
  path_ = path;
  return 0;
}

int32_t Player::Play() {
  if (path_.empty()) return VBMP3_ERR_NOTHING_OPEN;
  Stop();
  if (!source_) {
    // Played before: start again from the top of the file.
    int32_t error = 0;
    source_ = OpenPcmSource(path_, Measure::Locate, nullptr, error);
    if (!source_) return error;
    format_ = source_->Format();
  }
  // A machine without any output device fails here, before any format talk.
  if (waveOutGetNumDevs() == 0) return VBMP3_ERR_NO_OUTPUT;

  if (!stopEvent_) stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!doneEvent_) doneEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!stopEvent_ || !doneEvent_) return VBMP3_ERR_OUT_OF_MEMORY;
  ResetEvent(stopEvent_);
  ResetEvent(doneEvent_);

  HWAVEOUT device = nullptr;
  const MMRESULT opened = waveOutOpen(&device, g_outputDevice.load(), &format_,
                                      reinterpret_cast<DWORD_PTR>(doneEvent_), 0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) return VBMP3_ERR_NO_OUTPUT;
  {
    std::lock_guard<std::mutex> lock(deviceLock_);
    device_ = device;
  }
  submittedSamples_ = 0;
  lastPlayedSamples_ = 0;
  playing_ = true;
  try {
    thread_ = std::thread(&Player::Run, this);
  } catch (const std::system_error&) {
    // No thread to be had: the caller hears it as a lack of resources.
    playing_ = false;
    ReleaseDevice();
    return VBMP3_ERR_OUT_OF_MEMORY;
  }
  return 0;
}

void Player::Run() {
  std::array<Block, kBlockCount> blocks;
  HWAVEOUT device;
  {
    std::lock_guard<std::mutex> lock(deviceLock_);
    device = device_;
  }
  BlockFeeder feeder(*source_, device, format_, submittedSamples_);
  for (Block& block : blocks) {
    if (!feeder.Fill(block)) break;
  }

  bool stopped = false;
  for (;;) {
    bool anyQueued = false;
    for (Block& block : blocks) {
      if (block.queued && (block.header.dwFlags & WHDR_DONE)) {
        waveOutUnprepareHeader(device, &block.header, sizeof(WAVEHDR));
        block.queued = false;
        if (!stopped) feeder.Fill(block);
      }
      anyQueued = anyQueued || block.queued;
    }
    if (!anyQueued) break;
    // Once stopping, only the returned blocks matter: the stop event stays
    // signalled and would make this loop spin.
    const HANDLE events[2] = {doneEvent_, stopEvent_};
    const DWORD woke = WaitForMultipleObjects(stopped ? 1 : 2, events, FALSE, 1000);
    if (woke == WAIT_OBJECT_0 + 1) {
      stopped = true;
      // Hands every queued block back marked done.
      waveOutReset(device);
    }
  }

  lastPlayedSamples_ = stopped ? PlayedSamples() : submittedSamples_.load();
  ReleaseDevice();
  playing_ = false;
}

uint64_t Player::PlayedSamples() {
  std::lock_guard<std::mutex> lock(deviceLock_);
  if (!device_) return lastPlayedSamples_;
  MMTIME time{};
  time.wType = TIME_SAMPLES;
  if (waveOutGetPosition(device_, &time, sizeof(time)) != MMSYSERR_NOERROR) return 0;
  uint64_t samples = 0;
  if (time.wType == TIME_SAMPLES) {
    samples = time.u.sample;
  } else if (time.wType == TIME_BYTES) {
    samples = time.u.cb / std::max<DWORD>(format_.nBlockAlign, 1);
  } else if (time.wType == TIME_MS) {
    samples = static_cast<uint64_t>(time.u.ms) * format_.nSamplesPerSec / 1000;
  }
  // The device may count what it has been given rather than what it played.
  return std::min<uint64_t>(samples, submittedSamples_.load());
}

void Player::ReleaseDevice() {
  std::lock_guard<std::mutex> lock(deviceLock_);
  if (device_) {
    waveOutReset(device_);
    waveOutClose(device_);
    device_ = nullptr;
  }
}

void Player::Stop() {
  if (thread_.joinable()) {
    SetEvent(stopEvent_);
    thread_.join();
    // Whatever the thread decoded is gone; the next Play starts afresh.
    source_.reset();
  }
  ReleaseDevice();
  playing_ = false;
}

void Player::Close() {
  Stop();
  source_.reset();
  path_.clear();
  lastPlayedSamples_ = 0;
  if (stopEvent_) CloseHandle(stopEvent_);
  if (doneEvent_) CloseHandle(doneEvent_);
  stopEvent_ = doneEvent_ = nullptr;
}

int32_t Player::State(int32_t& seconds) {
  const bool playing = playing_.load();
  const uint64_t samples = playing ? PlayedSamples() : lastPlayedSamples_;
  const uint64_t rate = std::max<DWORD>(format_.nSamplesPerSec, 1);
  seconds = static_cast<int32_t>(std::min<uint64_t>(samples / rate, INT32_MAX));
  if (!playing && thread_.joinable()) {
    // The file has ended: the thread is finished, collect it.
    thread_.join();
    source_.reset();
  }
  return playing ? 1 : 0;
}

}  // namespace vbmp3::playback
