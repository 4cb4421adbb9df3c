// The undo journal's cost and the undo's speed over a prepared folder of
// src_N.mp3 files (in album subfolders), every one renamed to new_N.mp3:
//   undo_bench.exe FOLDER
// Runs the rename without a journal and with one (three times each, alternating,
// the files put back in between), then once with a journal flushed line by
// line for comparison, and times the undo of the last journaled run. Checks
// afterwards that every file is back under its first name with its bytes.
// With --undo-only, a single journaled run is made untimed and only the
// undo is timed against its floor.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "bench/engine/bench_host.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "win/text.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

namespace {

// The other way of getting each line to the disk: an ordinary handle and a
// flush after every line.
class FlushingJournal : public JournalSink {
 public:
  explicit FlushingJournal(std::wstring path) : path_(std::move(path)) {}
  ~FlushingJournal() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  std::wstring Path() const override { return path_; }
  DWORD Create() override {
    file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return file_ == INVALID_HANDLE_VALUE ? GetLastError()
                                         : Write(FormatJournalHeader({2025, 1, 1, 0, 0, 0}));
  }
  DWORD Append(const JournalEntry& entry) override { return Write(FormatJournalLine(entry)); }
  void Discard() override {}

 private:
  DWORD Write(const std::string& bytes) {
    DWORD wrote = 0;
    if (!WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr))
      return GetLastError();
    return FlushFileBuffers(file_) ? 0 : GetLastError();
  }
  std::wstring path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
};

std::string ReadAll(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

std::wstring TargetOf(const std::wstring& source) {
  size_t cut = source.rfind(L"\\src_");
  return source.substr(0, cut) + L"\\new_" + source.substr(cut + 5);
}

void Fill(bench::Host& host, const std::vector<std::wstring>& sources) {
  // One window update for the whole list, as a drop of many files does.
  RenameListUpdate update(*host.list);
  for (const std::wstring& s : sources) host.list->Append({s, TargetOf(s), L"", L""});
}

// Seconds from the start to the report's wait; closes the report.
template <typename Run>
double Timed(Run&& run, std::wstring& summary) {
  double seconds = 0;
  auto start = std::chrono::steady_clock::now();
  run([&](ProgressWindow& window) {
    seconds = bench::Seconds(start);
    std::wstring report = win::GetText(window.Report());
    size_t at = report.rfind(L"総");
    summary = at == std::wstring::npos ? report : report.substr(at);
    PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    window.WaitModal();
  });
  return seconds;
}

// What an undo cannot do without: for each rename, from the last to the
// first, the lookups of both names, the file's identity (the undo takes back
// only the file the run moved) and the move back through the handle that
// read it; timed over the very files the undo then takes back, and moved
// forward again (untimed) so that the undo meets the same folders.
bool MoveThroughHandle(HANDLE file, const std::wstring& to) {
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + to.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(to.size() * sizeof(wchar_t));
  std::copy(to.begin(), to.end(), rename->FileName);
  rename->FileName[to.size()] = L'\0';
  return SetFileInformationByHandle(file, FileRenameInfo, rename,
                                    static_cast<DWORD>(buffer.size())) != 0;
}

double UndoFloorSeconds(const std::vector<std::wstring>& sources) {
  auto start = std::chrono::steady_clock::now();
  for (auto s = sources.rbegin(); s != sources.rend(); ++s) {
    const std::wstring target = TargetOf(*s);
    if (GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    if (GetFileAttributesW(s->c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    HANDLE file = CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES | DELETE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) continue;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info)) MoveThroughHandle(file, *s);
    CloseHandle(file);
  }
  double seconds = bench::Seconds(start);
  for (const std::wstring& s : sources) MoveFileExW(s.c_str(), TargetOf(s).c_str(), 0);
  return seconds;
}

void PutBack(const std::vector<std::wstring>& sources) {
  for (const std::wstring& s : sources) MoveFileW(TargetOf(s).c_str(), s.c_str());
}

const auto g_start = std::chrono::steady_clock::now();

void Line(const char* what, double seconds, size_t n) {
  char text[256];
  std::snprintf(text, sizeof text, "%-32s %6.3f s  %6.1f us/file  (at %.0f s)\n", what, seconds,
                seconds * 1e6 / static_cast<double>(n), bench::Seconds(g_start));
  bench::Print(text);
}

void PrintUndoAgainstFloor(size_t n, double undo, double floor) {
  char text[200];
  std::snprintf(
      text, sizeof text,
      "undo floor: %zu renames taken back, %.3f s for the lookups, identities and moves alone; "
      "undo/floor %.2f (target <= 1.3)\n",
      n, floor, floor > 0 ? undo / floor : 0.0);
  bench::Print(text);
}

// One journaled run, untimed, then its undo against the undo's floor.
int UndoOnly(bench::Host& host, const std::wstring& folder,
             const std::vector<std::wstring>& sources,
             const std::map<std::wstring, std::string>& before) {
  const std::wstring journalPath = folder + L".velnoir.jnl";
  std::wstring summary;
  Fill(host, sources);
  JournalFile journal(journalPath);
  RenameRunHooks hooks;
  Timed(
      [&](auto wait) {
        hooks.wait = wait;
        RunJournaledRenameWith(host.window, *host.list, journal, hooks);
      },
      summary);
  const double floor = UndoFloorSeconds(sources);
  const double undo =
      Timed([&](auto wait) { RunUndoWith(host.window, journalPath, UndoRename, wait); }, summary);
  Line("undo", undo, sources.size());
  PrintUndoAgainstFloor(sources.size(), undo, floor);
  DeleteFileW(journalPath.c_str());
  bool intact = true;
  for (const auto& [path, bytes] : before) intact = intact && ReadAll(path) == bytes;
  bench::Print(intact ? "undo: files back with their bytes: yes\n"
                      : "undo: files back with their bytes: NO\n");
  return intact ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    bench::Print("usage: undo_bench FOLDER\n");
    return 2;
  }
  std::wstring folder = argv[1];
  std::wstring journalPath = folder + L".velnoir.jnl";
  std::vector<std::wstring> sources = bench::FilesUnder(folder, L"src_*.mp3");
  std::sort(sources.begin(), sources.end());
  std::map<std::wstring, std::string> before;
  for (const std::wstring& s : sources) before[s] = ReadAll(s);
  const size_t n = sources.size();

  bench::Host host;
  std::wstring summary;
  if (argc > 2 && std::wstring(argv[2]) == L"--undo-only")
    return UndoOnly(host, folder, sources, before);
  // The machine's other load moves single runs by tens of percent: the
  // best of three of each, alternating, and the journal's writes alone.
  constexpr int kRounds = 3;
  double plain[kRounds] = {}, journaled[kRounds] = {};
  bool allRenamed = true;
  for (int round = 0; round < kRounds; ++round) {
    Fill(host, sources);
    plain[round] = Timed(
        [&](auto wait) { RunRenameWith(host.window, *host.list, ExecRenameFile, wait); }, summary);
    allRenamed = allRenamed && host.list->Count() == 0;
    Line("run without journal", plain[round], n);
    PutBack(sources);

    Fill(host, sources);
    JournalFile journal(journalPath);
    RenameRunHooks hooks;
    journaled[round] = Timed(
        [&](auto wait) {
          hooks.wait = wait;
          RunJournaledRenameWith(host.window, *host.list, journal, hooks);
        },
        summary);
    allRenamed = allRenamed && host.list->Count() == 0;
    Line("run with journal", journaled[round], n);
    if (round + 1 < kRounds) PutBack(sources);
  }
  size_t journalLines = ParseJournal(ReadAll(journalPath)).entries.size();

  std::wstring undoSummary;
  const double undoFloor = UndoFloorSeconds(sources);
  // One identity reader for the whole undo, as the menu's undo has it.
  FileIdentityReader identities;
  auto undoFile = [&identities](const JournalEntry& e) { return UndoRenameWith(e, identities); };
  double undo =
      Timed([&](auto wait) { RunUndoWith(host.window, journalPath, undoFile, wait); }, undoSummary);
  Line("undo of the journaled run", undo, n);
  PrintUndoAgainstFloor(n, undo, undoFloor);

  // For comparison: the same run with a flush after each line.
  Fill(host, sources);
  FlushingJournal flushing(journalPath);
  RenameRunHooks hooks;
  double flushed = Timed(
      [&](auto wait) {
        hooks.wait = wait;
        RunJournaledRenameWith(host.window, *host.list, flushing, hooks);
      },
      summary);
  Line("run with a flush per line", flushed, n);
  PutBack(sources);
  DeleteFileW(journalPath.c_str());

  bool intact = true;
  for (const auto& [path, bytes] : before) intact = intact && ReadAll(path) == bytes;
  std::vector<std::wstring> leftovers = bench::FilesUnder(folder, L"new_*.mp3");
  // The journal's own cost: the same lines written without any rename.
  double linesAlone = 0;
  {
    std::wstring scratch = folder + L".lines.jnl";
    JournalFile lines(scratch);
    auto start = std::chrono::steady_clock::now();
    lines.Create();
    for (const std::wstring& s : sources) lines.Append({s, TargetOf(s)});
    linesAlone = bench::Seconds(start);
    DeleteFileW(scratch.c_str());
  }
  Line("journal lines alone", linesAlone, n);
  double bestPlain = *std::min_element(plain, plain + kRounds);
  double bestJournaled = *std::min_element(journaled, journaled + kRounds);
  double overhead = (bestJournaled - bestPlain) / bestPlain * 100;
  char text[512];
  std::snprintf(
      text, sizeof text,
      "journal: %zu files, %zu lines recorded; best run %.3f s without, %.3f s with: %+.1f %% (target <= 10 %%); "
      "flush per line %+.1f %%; the lines alone are %.1f %% of the run without\n"
      "undo: %zu renames %.3f s; undo report: %s; files back with their bytes: %s\n",
      n, journalLines, bestPlain, bestJournaled, overhead, (flushed - bestPlain) / bestPlain * 100,
      linesAlone / bestPlain * 100, n, undo,
      win::ToUtf8(undoSummary.substr(0, undoSummary.find(L"\r\n失敗"))).c_str(),
      intact && leftovers.empty() ? "yes" : "NO");
  for (char& c : text)
    if (c == '\r') c = ' ';
  bench::Print(text);
  return intact && leftovers.empty() && allRenamed && journalLines == n ? 0 : 1;
}
