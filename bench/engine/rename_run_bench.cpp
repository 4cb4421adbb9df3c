// Runs the rename over a prepared folder: src_N.mp3 files (in the folder or
// its album subfolders), where the even entries go to new names and the odd
// ones collide with an existing dup_N.mp3 beside them. Reports the run's time, then checks that
// every file is present exactly once with its original content.
//   rename_run_bench.exe FOLDER
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <set>

#include "bench/engine/bench_host.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "win/text.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

namespace {

uint64_t Fnv1a(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  uint64_t hash = 1469598103934665603ull;
  unsigned char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    for (DWORD i = 0; i < got; ++i) hash = (hash ^ buffer[i]) * 1099511628211ull;
  CloseHandle(file);
  return hash;
}

std::multiset<uint64_t> Checksums(const std::wstring& folder, size_t& count) {
  std::multiset<uint64_t> sums;
  std::vector<std::wstring> files = bench::FilesUnder(folder, L"*");
  count = files.size();
  for (const std::wstring& f : files) sums.insert(Fnv1a(f));
  return sums;
}

// What a run cannot do without: for each entry the two lookups and, where the
// target is free, the move; timed over the very files the run renames, then
// moved back (untimed) so that the run meets the same folder.
double FloorSeconds(const std::vector<std::pair<std::wstring, std::wstring>>& renames) {
  std::vector<const std::pair<std::wstring, std::wstring>*> moved;
  auto start = std::chrono::steady_clock::now();
  for (const auto& r : renames) {
    if (GetFileAttributesW(r.first.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    if (GetFileAttributesW(r.second.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (MoveFileExW(r.first.c_str(), r.second.c_str(), MOVEFILE_COPY_ALLOWED)) moved.push_back(&r);
  }
  double seconds = bench::Seconds(start);
  for (const auto* r : moved) MoveFileExW(r->second.c_str(), r->first.c_str(), 0);
  return seconds;
}

// What the run must do beyond the lookups and moves, each timed alone: the
// check for waiting messages after every entry (so that a click on Cancel
// is taken after the next one), and the report put into the word-wrapped
// report box of a progress window.
double MessageChecksSeconds(int32_t entries) {
  auto start = std::chrono::steady_clock::now();
  for (int32_t i = 0; i < entries; ++i) GetQueueStatus(QS_ALLINPUT);
  return bench::Seconds(start);
}

double ReportBoxSeconds(HWND owner, const std::wstring& report, int32_t total) {
  ProgressWindow window(owner);
  window.Start(total);
  auto start = std::chrono::steady_clock::now();
  window.AppendReport(report);
  window.ShowPosition(total, total);
  UpdateWindow(window.Handle());
  double seconds = bench::Seconds(start);
  DestroyWindow(window.Handle());
  return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    bench::Print("usage: rename_run_bench FOLDER\n");
    return 2;
  }
  std::wstring folder = argv[1];
  std::vector<std::wstring> sources = bench::FilesUnder(folder, L"src_*.mp3");
  std::sort(sources.begin(), sources.end());
  size_t before = 0;
  std::multiset<uint64_t> sumsBefore = Checksums(folder, before);

  std::vector<std::pair<std::wstring, std::wstring>> renames;
  for (size_t i = 0; i < sources.size(); ++i) {
    size_t cut = sources[i].rfind(L"\\src_");
    std::wstring dir = sources[i].substr(0, cut);
    std::wstring name = sources[i].substr(cut + 5);
    renames.push_back({sources[i], (i % 2 == 0) ? dir + L"\\new_" + name : dir + L"\\dup_" + name});
  }
  const double floorSeconds = FloorSeconds(renames);

  bench::Host host;
  {
    // As the program adds files: one window update for all of them.
    RenameListUpdate update(*host.list);
    for (const auto& r : renames) host.list->Append({r.first, r.second, L"", L""});
  }
  int32_t total = host.list->Count();
  double runSeconds = 0;
  std::wstring summary, report;
  auto start = std::chrono::steady_clock::now();
  RunRenameWith(host.window, *host.list, ExecRenameFile, [&](ProgressWindow& window) {
    runSeconds = bench::Seconds(start);
    report = win::GetText(window.Report());
    summary = report.substr(report.rfind(L"総"));
    PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    window.WaitModal();
  });

  size_t after = 0;
  std::multiset<uint64_t> sumsAfter = Checksums(folder, after);
  bool sameSet = sumsBefore == sumsAfter && before == after;
  char line[512];
  std::snprintf(
      line, sizeof line,
      "run: %d entries  %.3f s  %.1f us/entry  remaining %d  files %zu -> %zu  checksums %s\n",
      total, runSeconds, runSeconds * 1e6 / total, host.list->Count(), before, after,
      sameSet ? "identical" : "DIFFER");
  bench::Print(line);
  std::snprintf(
      line, sizeof line,
      "run floor: %.3f s for the lookups and moves alone; run/floor %.2f (target <= 1.3)\n",
      floorSeconds, floorSeconds > 0 ? runSeconds / floorSeconds : 0.0);
  bench::Print(line);
  const double checks = MessageChecksSeconds(total);
  const double reportBox = ReportBoxSeconds(host.window, report, total);
  const double mustDo = floorSeconds + checks + reportBox;
  std::snprintf(
      line, sizeof line,
      "run: of what it must do besides, alone: a message check per entry %.3f s, the report box %.3f s; "
      "run/(floor + both) %.2f\n",
      checks, reportBox, mustDo > 0 ? runSeconds / mustDo : 0.0);
  bench::Print(line);
  bench::Print("run: " + std::string(win::ToUtf8(summary).c_str()));
  return sameSet && host.list->Count() == total / 2 ? 0 : 1;
}
