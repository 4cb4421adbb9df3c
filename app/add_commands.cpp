// Adding to the list in the background: the requests go to the worker of
// BackgroundAdd, its batches come back as kAddReadyMessage, and while it
// runs the status bar counts and the commands that need the whole list wait.
#include "app/main_window.h"

#include <string>

#include "app/main_commands.h"
#include "engine/background_add.h"

void MainWindow::AddFiles(const std::vector<std::wstring>& paths) { StartAdd(paths, false); }

void MainWindow::AddCommandLineFiles(const std::vector<std::wstring>& paths) {
  StartAdd(paths, true);
}

bool MainWindow::Adding() const { return adder_ && adder_->Running(); }

void MainWindow::StopAdding() {
  if (adder_) adder_->Stop();
}

void MainWindow::StartAdd(const std::vector<std::wstring>& paths, bool existingOnly) {
  if (paths.empty()) return;
  if (!adder_) {
    adder_ = std::make_unique<BackgroundAdd>(Handle(), kAddReadyMessage);
    adder_->SetDelayPerFile(delayPerFile_);
  }
  adder_->Start({paths, existingOnly, preferences_});
  ShowAdding(true);
}

void MainWindow::OnAddReady() {
  if (!adder_) return;
  BackgroundAdd::Batch batch = adder_->Take();
  if (!batch.entries.empty()) {
    RenameListUpdate update(*list_);
    for (RenameEntry& entry : batch.entries) list_->Append(std::move(entry));
  }
  if (batch.finished) {
    list_->ShowItemCount();
    ShowAdding(false);
    return;
  }
  std::wstring text =
      L"追加中：" + std::to_wstring(batch.added) + L" / " + std::to_wstring(batch.found) + L" 件";
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::ShowAdding(bool adding) {
  for (const MainCommand& command : MainCommands()) {
    if (!command.waitsWhileAdding) continue;
    SetEnabled(command.id, !adding);
    if (command.tip)
      SendMessageW(toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(command.id),
                   MAKELPARAM(adding ? FALSE : TRUE, 0));
  }
  if (adding) {
    SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"追加中：0 / 0 件"));
  }
}
