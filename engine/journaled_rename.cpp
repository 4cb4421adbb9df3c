#include "engine/journaled_rename.h"

#include <optional>

#include "engine/policy_rename.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "win/ui.h"

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
      if (recording) {
        if (DWORD error = journal.Append({source, used})) {
          stop = true;
          return kJournalWriteStopText + SystemErrorText(error);
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
                      SystemErrorText(error) +
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
  RunJournaledRenameWith(mainWindow, list, journal, hooks);
}
