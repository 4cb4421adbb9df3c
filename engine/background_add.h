// Adding files to the rename list without holding up the window: a worker
// thread walks the folders and reads the tags, and hands the finished
// entries over in batches, in their final order, while the window goes on
// answering. The list itself is touched only on the window's thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/rename_list.h"
#include "settings/preferences.h"

// One request to add: a drop, a dialog's choice, a folder, the command line.
struct AddRequest {
  std::vector<std::wstring> paths;
  // The command line's rule: a path that is neither a folder nor an
  // existing normal file is left out. Otherwise a file path is added as
  // given, whatever it names.
  bool existingOnly = false;
  // The worker's own copy: the user cannot change them during an add (the
  // options dialog waits), and the worker never reads the window's.
  Preferences preferences;
};

class BackgroundAdd {
 public:
  // notifyWindow gets notifyMessage (posted, no parameters) whenever entries
  // are ready and once the add has ended; it then calls Take.
  BackgroundAdd(HWND notifyWindow, UINT notifyMessage);
  // Stops the add and waits for the worker, which ends after its file.
  ~BackgroundAdd();
  BackgroundAdd(const BackgroundAdd&) = delete;
  BackgroundAdd& operator=(const BackgroundAdd&) = delete;

  // Queues a request after those still running; starts the worker if idle.
  void Start(AddRequest request);
  // Whether an add is going on (or its last entries are not taken yet).
  bool Running() const;
  // Ends the add after the file being read; what was read is still handed over.
  void Stop();

  struct Batch {
    std::vector<RenameEntry> entries;  // to append, in order
    size_t added = 0;                  // entries handed over so far, these included
    size_t found = 0;                  // files to add found so far
    bool finished = false;             // the add is over: nothing more will come
  };
  // What is ready since the last call. Window thread only.
  Batch Take();

  // Test and benchmark hook: a pause before each file's tag is read, as a
  // slow disk or a network share would make.
  void SetDelayPerFile(DWORD milliseconds) { delayPerFile_ = milliseconds; }

 private:
  void Work();
  bool TakeRequest(AddRequest& request);
  void AddPath(const std::wstring& path, const AddRequest& request);
  void AddFolder(const std::wstring& folder, const Preferences& preferences);
  // The hook's pause; false when the add was stopped during it.
  bool Pause();
  void Count(ptrdiff_t more);
  void Hand(RenameEntry entry);
  void Notify(bool force);

  HWND window_;
  UINT message_;
  std::atomic<bool> stop_{false};
  // Set with stop_, so that a pause of the hook ends at once.
  HANDLE stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<DWORD> delayPerFile_{0};
  std::thread worker_;

  mutable std::mutex mutex_;  // guards what follows
  std::deque<AddRequest> requests_;
  bool working_ = false;
  bool notified_ = false;
  std::vector<RenameEntry> ready_;
  size_t found_ = 0;
  size_t handed_ = 0;
  ULONGLONG lastNotify_ = 0;
};
