#include "engine/journaled_rename.h"

#include <optional>

#include "engine/folder_walk_win.h"
#include "engine/policy_rename.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "engine/target_folders.h"
#include "settings/settings.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

int KillAtRenameFromEnvironment() {
  wchar_t value[16] = {};
  DWORD n = GetEnvironmentVariableW(kKillAtRenameVariable, value, 16);
  if (n == 0 || n >= 16) return 0;
  int number = 0;
  for (DWORD i = 0; i < n; ++i) {
    if (value[i] < L'0' || value[i] > L'9') return 0;
    number = number * 10 + (value[i] - L'0');
  }
  return number;
}

// Creates the folders target needs, outermost first, recording each before
// it is made. A text when the entry fails (the platform's, as a failed
// rename has) or the run must stop (the journal cannot be written).
std::optional<std::wstring> MakeTargetFolders(const std::wstring& target, JournalSink* journal, bool& stop) {
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

}  // namespace

void RunJournaledRenameWith(HWND mainWindow, RenameList& list, JournalSink& journal,
                            const JournaledRunHooks& hooks) {
  // The journal is started at the first rename, not at the start: a run
  // that renames nothing leaves the last run's journal to undo.
  bool started = false;
  bool recording = true;
  int renames = 0;
  const RunPolicies policies = RunPoliciesFromSettings();
  auto rename = [&](HWND progress, const std::wstring& source, const std::wstring& target, bool& stop) {
    // The journal names the path the file really got, which a numbered
    // name makes differ from the entry's target.
    auto record = [&](const std::wstring& used) -> std::optional<std::wstring> {
      if (!started) {
        started = true;
        if (DWORD error = journal.Create()) {
          if (!hooks.renameWithoutUndo || !hooks.renameWithoutUndo(progress, journal.Path(), error)) {
            stop = true;
            return std::wstring(kNoJournalStopText);
          }
          recording = false;
          journal.Discard();
        }
      }
      if (hooks.makeFolders) {
        if (std::optional<std::wstring> failed = MakeTargetFolders(target, recording ? &journal : nullptr, stop))
          return failed;
      }
      if (recording) {
        if (DWORD error = journal.Append({source, used})) {
          stop = true;
          return kJournalWriteStopText + win::SystemErrorText(error);
        }
      }
      ++renames;
      if (hooks.beforeRename) hooks.beforeRename(renames);
      return std::nullopt;
    };
    return TryRenameEntry(source, target, policies, record);
  };
  RunRenameStoppable(mainWindow, list, rename, hooks.wait);
}

bool AskRenameWithoutUndo(HWND owner, const std::wstring& path, DWORD error) {
  std::wstring text = L"取り消し用の記録ファイルを作成できません。\r\n" + path + L"\r\n" +
                      win::SystemErrorText(error) +
                      L"\r\n\r\nこのままリネームすると、後で元に戻すことはできません。\r\n"
                      L"元に戻せないままリネームしますか？";
  return win::MessageBoxText(owner, text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void RunJournaledRename(HWND mainWindow, RenameList& list, const std::wstring& programFolder) {
  JournalFile journal(JournalPathIn(programFolder));
  JournaledRunHooks hooks;
  hooks.renameWithoutUndo = AskRenameWithoutUndo;
  if (int killAt = KillAtRenameFromEnvironment()) {
    hooks.beforeRename = [killAt](int number) {
      if (number == killAt) TerminateProcess(GetCurrentProcess(), 9);
    };
  }
  hooks.wait = [](ProgressWindow& window) { window.WaitModal(); };
  hooks.makeFolders = g_settings.MakeFolders;
  RunJournaledRenameWith(mainWindow, list, journal, hooks);
}
