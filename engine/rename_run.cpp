#include "engine/rename_run.h"

#include <optional>

#include "engine/folder_walk_win.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/target_folders.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

// Creates the folders target needs, outermost first, recording each before
// it is made. A text when the entry fails (the platform's, as a failed
// rename has) or the run must stop (the journal cannot be written).
std::optional<std::wstring> MakeTargetFolders(const std::wstring& target, JournalSink* journal,
                                              bool& stop) {
  for (const std::wstring& folder : FoldersToCreate(target, IsFolderPath)) {
    if (journal) {
      if (DWORD error = journal->AppendFolder(folder)) {
        stop = true;
        return kJournalWriteStopText + win::SystemErrorText(error);
      }
    }
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
      DWORD error = GetLastError();
      // Made meanwhile by someone else: it is there, and it is not ours to
      // remove, but the undo only ever removes empty folders.
      if (error == ERROR_ALREADY_EXISTS && IsFolderPath(folder)) continue;
      return std::wstring(kRenameErrorText) + win::SystemErrorText(error);
    }
  }
  return std::nullopt;
}

// What happens between an entry's checks and its move. The journal is
// started at the first rename, not at the start: a run that renames
// nothing leaves the last run's journal to undo.
class RunJournal {
 public:
  explicit RunJournal(const RenameRunHooks& hooks) : hooks_(hooks), recording_(hooks.journal) {}

  // A text refuses the move; with stop set, the run ends after this entry.
  // The journal names the path the file really gets (used), which a
  // numbered name makes differ from the entry's target.
  std::optional<std::wstring> BeforeMove(HWND progress, const std::wstring& source,
                                         const std::wstring& used, bool& stop) {
    if (!started_) {
      started_ = true;
      if (recording_) {
        if (DWORD error = hooks_.journal->Create()) {
          if (!hooks_.renameWithoutUndo ||
              !hooks_.renameWithoutUndo(progress, hooks_.journal->Path(), error)) {
            stop = true;
            return std::wstring(kNoJournalStopText);
          }
          recording_ = false;
          hooks_.journal->Discard();
        }
      }
    }
    if (hooks_.makeFolders) {
      if (auto failed = MakeTargetFolders(used, recording_ ? hooks_.journal : nullptr, stop))
        return failed;
    }
    if (recording_) {
      if (DWORD error = hooks_.journal->Append({source, used})) {
        stop = true;
        return kJournalWriteStopText + win::SystemErrorText(error);
      }
    }
    ++renames_;
    if (hooks_.beforeRename) hooks_.beforeRename(renames_);
    return std::nullopt;
  }

 private:
  const RenameRunHooks& hooks_;
  bool recording_;
  bool started_ = false;
  int renames_ = 0;
};

}  // namespace

void RunRename(HWND mainWindow, RenameList& list, const RenameRunHooks& hooks) {
  const int32_t total = list.Count();
  if (total <= 0) return;
  RunJournal journal(hooks);
  auto body = [&](ProgressWindow& progress, const LoopHooks& loop) {
    bool stop = false;
    RunCallbacks callbacks;
    static_cast<LoopHooks&>(callbacks) = loop;
    callbacks.cancelRequested = [&stop, &loop] { return stop || loop.cancelRequested(); };
    callbacks.rename = [&](const std::wstring& source, const std::wstring& target) {
      if (hooks.renameFile) return hooks.renameFile(source, target);
      return TryRenameEntry(source, target, hooks.policies, [&](const std::wstring& used) {
        return journal.BeforeMove(progress.Handle(), source, used, stop);
      });
    };
    RunTally tally = RenameEntries(list, callbacks);
    progress.AppendReport(ReportSummary(tally.total, tally.succeeded, tally.failed));
    list.RemovePositions(tally.renamedPositions);
  };
  RunWithProgress(mainWindow, total, body, hooks.wait);
  list.ShowItemCount();
}

bool AskRenameWithoutUndo(HWND owner, const std::wstring& path, DWORD error) {
  std::wstring text = L"取り消し用の記録ファイルを作成できません。\r\n" + path + L"\r\n" +
                      win::SystemErrorText(error) +
                      L"\r\n\r\nこのままリネームすると、後で元に戻すことはできません。\r\n"
                      L"元に戻せないままリネームしますか？";
  return win::MessageBoxText(owner, text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

win::Seam<BeforeRenameFunction> g_beforeRename{nullptr};

void RunRenameCommand(HWND mainWindow, RenameList& list, const std::wstring& programFolder,
                      const Settings& settings) {
  JournalFile journal(JournalPathIn(programFolder));
  RenameRunHooks hooks;
  hooks.journal = &journal;
  hooks.policies = RunPoliciesFrom(settings);
  hooks.makeFolders = settings.makeFolders;
  hooks.renameWithoutUndo = AskRenameWithoutUndo;
  if (BeforeRenameFunction before = *g_beforeRename) hooks.beforeRename = before;
  RunRename(mainWindow, list, hooks);
}
