// Built into a test edition of the program only: with
// VELNOIR_TEST_KILL_AT_RENAME=N in its environment, the program ends
// abruptly before its N-th rename, the rename's journal line written and the
// rename not made, as a crash or a kill would end it.
#include <windows.h>

#include "engine/rename_run.h"

namespace {

int KillAtFromEnvironment() {
  wchar_t value[16] = {};
  DWORD n = GetEnvironmentVariableW(L"VELNOIR_TEST_KILL_AT_RENAME", value, 16);
  if (n == 0 || n >= 16) return 0;
  int number = 0;
  for (DWORD i = 0; i < n; ++i) {
    if (value[i] < L'0' || value[i] > L'9') return 0;
    number = number * 10 + (value[i] - L'0');
  }
  return number;
}

const int g_killAt = KillAtFromEnvironment();

void KillAt(int number) {
  if (number == g_killAt) TerminateProcess(GetCurrentProcess(), 9);
}

// For the whole process: the program is this build's only user of the seam.
win::Seam<BeforeRenameFunction>::Replacement g_kill(g_beforeRename, g_killAt ? &KillAt : nullptr);

}  // namespace
