#include "engine/background_add.h"

#include "engine/folder_walk_win.h"
#include "engine/name_builder.h"
#include "engine/rename_entry.h"
#include "engine/path_rules.h"
#include "win/file_lookup.h"

namespace {

// Entries are handed over at least this often while they are being read,
// and at once when this many are waiting.
constexpr ULONGLONG kNotifyMilliseconds = 100;
constexpr size_t kNotifyEntries = 4096;

}  // namespace

BackgroundAdd::BackgroundAdd(HWND notifyWindow, UINT notifyMessage)
    : window_(notifyWindow), message_(notifyMessage) {}

BackgroundAdd::~BackgroundAdd() {
  Stop();
  if (worker_.joinable()) worker_.join();
  if (stopEvent_) CloseHandle(stopEvent_);
}

void BackgroundAdd::Start(AddRequest request) {
  std::thread ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (working_ && !stop_) {
      requests_.push_back(std::move(request));
      return;
    }
    ended = std::move(worker_);
  }
  // The worker of the add before has ended, or ends after its file when it
  // was stopped; it is joined (outside the lock, which its last hand-over
  // needs) before a new one starts, so there is never more than one.
  if (ended.joinable()) ended.join();
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(std::move(request));
  if (ready_.empty() && !notified_) found_ = handed_ = 0;
  stop_ = false;
  if (stopEvent_) ResetEvent(stopEvent_);
  working_ = true;
  worker_ = std::thread([this] { Work(); });
}

bool BackgroundAdd::Running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return working_ || notified_ || !ready_.empty();
}

void BackgroundAdd::Stop() {
  stop_ = true;
  if (stopEvent_) SetEvent(stopEvent_);
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

BackgroundAdd::Batch BackgroundAdd::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  Batch batch;
  batch.entries.swap(ready_);
  handed_ += batch.entries.size();
  batch.added = handed_;
  batch.found = found_;
  batch.finished = !working_;
  notified_ = false;
  if (batch.finished) found_ = handed_ = 0;
  return batch;
}

bool BackgroundAdd::TakeRequest(AddRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (requests_.empty() || stop_) {
    requests_.clear();
    working_ = false;
    return false;
  }
  request = std::move(requests_.front());
  requests_.pop_front();
  return true;
}

void BackgroundAdd::Count(ptrdiff_t more) {
  std::lock_guard<std::mutex> lock(mutex_);
  found_ = static_cast<size_t>(static_cast<ptrdiff_t>(found_) + more);
}

bool BackgroundAdd::Pause() {
  DWORD delay = delayPerFile_;
  return delay == 0 || !stopEvent_ || WaitForSingleObject(stopEvent_, delay) != WAIT_OBJECT_0;
}

void BackgroundAdd::AddFolder(const std::wstring& folder, const Preferences& preferences) {
  Win32FolderSource source;
  std::vector<std::wstring> files;
  size_t counted = 0;
  auto countWalked = [&] {
    Count(static_cast<ptrdiff_t>(files.size() - counted));
    counted = files.size();
  };
  // The count grows a folder at a time while the walk goes on.
  WalkFolder(
      folder, source,
      [&](const std::wstring& file) {
        files.push_back(file);
        return !stop_;
      },
      [&] {
        countWalked();
        Notify(false);
        return !stop_;
      });
  countWalked();
  for (const std::wstring& file : files) {
    if (stop_ || !Pause()) return;
    Hand(EntryForPath(file, preferences));
  }
}

void BackgroundAdd::AddPath(const std::wstring& path, const AddRequest& request) {
  if (!Pause()) return;
  if (request.existingOnly && !win::NormalFileExists(path)) {
    Count(-1);  // no entry: a folder's files are counted instead, anything else is left out
    if (IsFolderPath(path)) AddFolder(path, request.preferences);
    return;
  }
  // A file whose tag reads is no folder: the common case costs no lookup
  // beyond the library's own.
  RenameEntry entry = EntryForPath(path, request.preferences);
  if (!request.existingOnly && entry.target.empty() && IsFolderPath(path)) {
    Count(-1);
    AddFolder(path, request.preferences);
    return;
  }
  Hand(std::move(entry));
}

void BackgroundAdd::Work() {
  AddRequest request;
  while (TakeRequest(request)) {
    Count(static_cast<ptrdiff_t>(request.paths.size()));
    for (const std::wstring& path : request.paths) {
      if (stop_) break;
      AddPath(path, request);
    }
  }
  // TakeRequest has marked the worker done: the last entries go now.
  Notify(true);
}

void BackgroundAdd::Hand(RenameEntry entry) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ready_.push_back(std::move(entry));
  }
  Notify(false);
}

void BackgroundAdd::Notify(bool force) {
  std::lock_guard<std::mutex> lock(mutex_);
  ULONGLONG now = GetTickCount64();
  if (!force &&
      (notified_ || (ready_.size() < kNotifyEntries && now - lastNotify_ < kNotifyMilliseconds)))
    return;
  lastNotify_ = now;
  notified_ = true;
  PostMessageW(window_, message_, 0, 0);
}
