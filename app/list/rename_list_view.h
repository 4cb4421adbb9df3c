// The rename list shown in the main window's list view: an owner-data
// report list view over a vector of entries, so that adding or removing tens
// of thousands of rows costs no per-row window work.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "engine/rename_list.h"

class ListViewRenameList : public RenameList {
 public:
  ListViewRenameList(HWND listView, HWND statusBar);

  int Count() const override;
  RenameEntry Get(int position) const override;
  void Append(RenameEntry entry) override;
  void Set(int position, RenameEntry entry) override;
  void RemovePositions(const std::vector<int>& ascendingPositions) override;
  void Remove(int position) override;
  // The entry the commands for one entry act on: the focused one while it is
  // selected, else the first selected; 0 for none.
  int Selected() const override;
  void ShowItemCount() override;
  void BeginUpdate() override;
  void EndUpdate() override;

  // Answers the list view's LVN_GETDISPINFOW; the owner forwards it here.
  void OnGetDispInfo(NMLVDISPINFOW* info) const;
  // Makes position the current, selected item (1-based), the only one.
  void Select(int position);
  void SelectAll();
  // Every selected position, ascending.
  std::vector<int> SelectedPositions() const;
  // Sorts the entries by a column's text in Explorer's order; sorting by the
  // same column again reverses the order. The header shows the direction.
  // Returns each old position's new one (index: old position - 1). The
  // selected entries stay selected.
  std::vector<int> SortByColumn(int column);

 private:
  void SyncCount();
  // Brings the list view's row count up to date before it is addressed.
  void SyncPendingCount() const;
  static const std::wstring& Column(const RenameEntry& entry, int column);
  int Focused() const;
  // Clears the selection and selects positions (ascending), focusing one.
  void Reselect(const std::vector<int>& positions, int focused);
  void ShowSortArrow();

  HWND listView_;
  HWND statusBar_;
  std::vector<RenameEntry> entries_;
  int updateDepth_ = 0;
  mutable bool countPending_ = false;
  bool itemCountPending_ = false;
  int sortColumn_ = -1;  // none yet
  bool sortAscending_ = true;
};
