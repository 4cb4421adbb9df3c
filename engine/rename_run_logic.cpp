#include "engine/rename_run_logic.h"

std::wstring ReportLines(bool renamed, const std::wstring& source, const std::wstring& text) {
  std::wstring lines;
  lines.reserve(source.size() + text.size() + 12);
  lines += renamed ? L"\u25CB " : L"\u00D7 ";
  lines += source;
  lines += L"\r\n -> ";
  lines += text;
  lines += L"\r\n\r\n";
  return lines;
}

std::wstring ReportSummary(int32_t total, int32_t succeeded, int32_t failed) {
  return L"総ファイル数\u3000：" + std::to_wstring(total) + L"\r\n" + L"成功ファイル数：" +
         std::to_wstring(succeeded) + L"\r\n" + L"失敗ファイル数：" + std::to_wstring(failed) +
         L"\r\n";
}

int32_t RunSteps(int32_t total, const std::function<std::wstring(int32_t step)>& handle,
                 const LoopHooks& hooks) {
  auto loop = [&] {
    int32_t step = 0;
    while (step < total) {
      ++step;
      std::wstring lines = handle(step);
      if (hooks.progress) hooks.progress(lines, step, total);
      if (hooks.cancelRequested && hooks.cancelRequested()) break;
      if (hooks.letMessagesRun) hooks.letMessagesRun();
    }
    return step;
  };
  return hooks.runLoop ? hooks.runLoop(loop) : loop();
}

RunTally RenameEntries(const RenameList& list, const RunCallbacks& callbacks) {
  RunTally tally;
  tally.total = list.Count();
  auto renameOne = [&](int32_t position) {
    RenameEntry entry = list.Get(position);
    RenameOutcome outcome = callbacks.rename(entry.source, entry.target);
    // The outcome says whether the file moved; comparing texts alone would
    // count a target that happens to read like a message as renamed.
    if (outcome.renamed) {
      tally.renamedPositions.push_back(position);
      ++tally.succeeded;
    } else {
      ++tally.failed;
    }
    return ReportLines(outcome.renamed, entry.source, outcome.text);
  };
  tally.processed = RunSteps(tally.total, renameOne, callbacks);
  return tally;
}
