// Adds every MP3 of a folder to a shown rename list the way the open-file
// command and a drop do (the background add's worker, its batches appended
// on the window's thread as the main window appends them), and reports the
// time per file at 1,000 / 5,000 / 10,000 files and the growth between them.
//   add_entries_bench.exe FOLDER [PATTERN]   (PATTERN: *.mp3 unless given)
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "audio_library/vbmp3_api.h"
#include "bench/engine/bench_host.h"
#include "engine/background_add.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

constexpr UINT kAddReady = WM_APP + 1;

// One add as the main window makes it: a request to the worker, each batch
// appended in one update of the list, until the worker says it is done.
void AddAsTheWindowDoes(BackgroundAdd& adder, ListViewRenameList& list,
                        std::vector<std::wstring> paths, const Preferences& preferences) {
  adder.Start({std::move(paths), false, preferences});
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != kAddReady) {
      DispatchMessageW(&msg);
      continue;
    }
    BackgroundAdd::Batch batch = adder.Take();
    if (!batch.entries.empty()) {
      RenameListUpdate update(list);
      for (RenameEntry& entry : batch.entries) list.Append(std::move(entry));
    }
    if (batch.finished) {
      list.ShowItemCount();
      return;
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    bench::Print("usage: add_entries_bench FOLDER [PATTERN]\n");
    return 2;
  }
  if (!LoadVbmp3() || (g_vbmp3->init() & 0xFFFF) == 0) {
    bench::Print("VBMP3.dll not usable\n");
    return 1;
  }
  std::vector<std::wstring> files = bench::FilesUnder(argv[1], argc > 2 ? argv[2] : L"*.mp3");
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    bench::Print("no files\n");
    return 1;
  }
  // The floor before and after the program's own pass, so that both meet
  // the file system's caches as the program does.
  const double floorBefore = bench::AddFloorSeconds(files);
  bench::Host host;
  BackgroundAdd adder(host.window, kAddReady);
  const Preferences preferences;  // the default template, as on a first start
  const size_t checkpoints[] = {1000, 5000, 10000, 20000, 50000};
  std::vector<std::pair<size_t, double>> marks;
  auto start = std::chrono::steady_clock::now();
  // Added as the open-file command and a drop add them: one call per
  // choice, here one per segment between checkpoints.
  size_t done = 0;
  for (size_t mark : checkpoints) {
    size_t end = std::min(mark, files.size());
    if (end <= done) break;
    AddAsTheWindowDoes(adder, *host.list,
                       std::vector<std::wstring>(files.begin() + done, files.begin() + end),
                       preferences);
    done = end;
    marks.push_back({done, bench::Seconds(start)});
  }
  if (done < files.size()) {
    AddAsTheWindowDoes(adder, *host.list,
                       std::vector<std::wstring>(files.begin() + done, files.end()), preferences);
    marks.push_back({files.size(), bench::Seconds(start)});
  }
  // The list view draws what it now holds before the figure is final.
  UpdateWindow(host.window);
  double total = bench::Seconds(start);
  int empty = 0;
  for (int p = 1; p <= host.list->Count(); ++p)
    if (host.list->Get(p).target.empty()) ++empty;

  char line[256];
  double previous = 0;
  size_t previousN = 0;
  double firstPerFile = 0;
  for (auto [n, t] : marks) {
    double perFile = (t - previous) / static_cast<double>(n - previousN);
    if (previousN == 0) firstPerFile = perFile;
    std::snprintf(line, sizeof line,
                  "add: %6zu files  %.3f s  %.1f us/file overall  %.1f us/file since %zu\n", n, t,
                  t * 1e6 / static_cast<double>(n), perFile * 1e6, previousN);
    bench::Print(line);
    previous = t;
    previousN = n;
  }
  double lastPerFile =
      marks.size() > 1 ? (marks.back().second - marks[marks.size() - 2].second) /
                             static_cast<double>(marks.back().first - marks[marks.size() - 2].first)
                       : firstPerFile;
  std::snprintf(
      line, sizeof line,
      "add: total %.3f s for %zu files; last/first segment per-file ratio %.2f; empty targets %d\n",
      total, files.size(), firstPerFile > 0 ? lastPerFile / firstPerFile : 0.0, empty);
  bench::Print(line);
  const double floorAfter = bench::AddFloorSeconds(files);
  const double floor = (floorBefore + floorAfter) / 2;
  std::snprintf(
      line, sizeof line,
      "add floor: %.3f s (before %.3f, after %.3f) for lookup, open, two reads and close alone; add/floor %.2f (target <= 1.2)\n",
      floor, floorBefore, floorAfter, floor > 0 ? total / floor : 0.0);
  bench::Print(line);
  wchar_t status[64] = {};
  SendMessageW(host.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
  std::snprintf(line, sizeof line, "add: status panel \"%s\"\n", win::ToUtf8(status).c_str());
  bench::Print(line);
  g_vbmp3->free();
  return empty == 0 ? 0 : 1;
}
