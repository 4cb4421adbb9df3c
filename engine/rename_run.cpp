#include "engine/rename_run.h"

#include <optional>

#include "engine/file_identity_win.h"
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
  std::optional<std::wstring> BeforeMove(ProgressWindow& progress, const std::wstring& source,
                                         const std::wstring& used, bool& stop) {
    if (!started_) {
      started_ = true;
      if (recording_) {
        if (DWORD error = hooks_.journal->Create()) {
          if (!AskedToGoOn(progress, error)) {
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
      // Full paths, as this process resolves them now: an undo started
      // from another current folder finds the same files.
      moving_.emplace(source, identities_);
      recorded_ = JournalEntry(FullPathOf(source), FullPathOf(used), moving_->Identity());
      if (DWORD error = hooks_.journal->Append(recorded_)) {
        stop = true;
        return kJournalWriteStopText + win::SystemErrorText(error);
      }
    }
    ++renames_;
    if (hooks_.beforeRename) hooks_.beforeRename(renames_);
    return std::nullopt;
  }

  // The move of the file recorded last, through the handle its identity
  // was read from.
  DWORD Move(const std::wstring& from, const std::wstring& to) {
    if (!moving_) return MoveWithoutReplacing(from, to);
    DWORD error = moving_->MoveTo(from, to);
    moving_.reset();
    return error;
  }

  // After an entry: a move to another drive copies the file, which then
  // has another identity, recorded after its rename line.
  void AfterMove(bool renamed) {
    moving_.reset();  // a refused move leaves the file held no longer
    if (!renamed || !recording_ || !recorded_.identity ||
        SameIgnoringCase(VolumeRootOf(recorded_.source), VolumeRootOf(recorded_.target)))
      return;
    std::optional<FileIdentity> moved = identities_.Read(recorded_.target);
    if (moved && *moved != *recorded_.identity) hooks_.journal->AppendMovedIdentity(*moved);
  }

 private:
  // The question is the window's thread's to ask: the run's items may be
  // handled on another.
  bool AskedToGoOn(ProgressWindow& progress, DWORD error) {
    if (!hooks_.renameWithoutUndo) return false;
    bool goOn = false;
    progress.RunOnWindowThread(
        [&] { goOn = hooks_.renameWithoutUndo(progress.Handle(), hooks_.journal->Path(), error); });
    return goOn;
  }

  const RenameRunHooks& hooks_;
  bool recording_;
  bool started_ = false;
  int renames_ = 0;
  FileIdentityReader identities_;
  JournalEntry recorded_;             // the rename recorded last
  std::optional<FileToMove> moving_;  // its file, until it is moved
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
      RenameOutcome outcome = TryRenameEntry(
          source, target, hooks.policies,
          [&](const std::wstring& used) {
            return journal.BeforeMove(progress, source, used, stop);
          },
          [&](const std::wstring& from, const std::wstring& to) { return journal.Move(from, to); });
      journal.AfterMove(outcome.renamed);
      return outcome;
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
