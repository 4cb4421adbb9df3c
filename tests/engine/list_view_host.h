// The main window's part in a rename run or an undo, for the engine's window
// tests: a hidden top-level window owning the report list view and the
// status bar the rename list lives in.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/list/rename_list_view.h"

namespace engine_test {

class ListViewHost {
 public:
  ListViewHost();
  ~ListViewHost();
  ListViewHost(const ListViewHost&) = delete;
  ListViewHost& operator=(const ListViewHost&) = delete;

  // The status bar's first part: where the list shows its item count.
  std::wstring StatusText() const;

  HWND window = nullptr, listView = nullptr, statusBar = nullptr;
  std::unique_ptr<ListViewRenameList> list;
};

}  // namespace engine_test
