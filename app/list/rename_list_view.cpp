#include "app/list/rename_list_view.h"

#include <algorithm>
#include <numeric>

#include <commctrl.h>
#include <shlwapi.h>

#include <string>

namespace {

// Where position is once the ascending positions removed are gone; 0 when it
// is one of them (or is 0 itself).
int PlaceAfterRemoval(const std::vector<int>& removed, int position) {
  if (position <= 0) return 0;
  auto at = std::lower_bound(removed.begin(), removed.end(), position);
  if (at != removed.end() && *at == position) return 0;
  return position - static_cast<int>(at - removed.begin());
}

}  // namespace

ListViewRenameList::ListViewRenameList(HWND listView, HWND statusBar)
    : listView_(listView), statusBar_(statusBar) {}

int ListViewRenameList::Count() const { return static_cast<int>(entries_.size()); }

RenameEntry ListViewRenameList::Get(int position) const {
  if (position < 1 || position > Count()) return {};
  return entries_[static_cast<size_t>(position - 1)];
}

void ListViewRenameList::Append(RenameEntry entry) {
  entries_.push_back(std::move(entry));
  SyncCount();
}

void ListViewRenameList::Set(int position, RenameEntry entry) {
  if (position < 1 || position > Count()) return;
  SyncPendingCount();
  entries_[static_cast<size_t>(position - 1)] = std::move(entry);
  ListView_RedrawItems(listView_, position - 1, position - 1);
}

void ListViewRenameList::RemovePositions(const std::vector<int>& ascendingPositions) {
  if (ascendingPositions.empty()) return;
  // The selected entries that stay stay selected; they move up by the rows
  // removed above them.
  std::vector<int> keptSelected;
  for (int position : SelectedPositions())
    if (int after = PlaceAfterRemoval(ascendingPositions, position)) keptSelected.push_back(after);
  int focusedAfter = PlaceAfterRemoval(ascendingPositions, Focused());
  // One compaction pass keeps a run that removes thousands of rows linear.
  std::vector<RenameEntry> kept;
  kept.reserve(entries_.size() - ascendingPositions.size());
  size_t next = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (next < ascendingPositions.size() &&
        static_cast<size_t>(ascendingPositions[next]) == i + 1) {
      ++next;
      continue;
    }
    kept.push_back(std::move(entries_[i]));
  }
  entries_ = std::move(kept);
  // The selection of an owner-data list is by index: it would slide onto
  // another file, so it is cleared with the rows and set again on its entries.
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SyncCount();
  Reselect(keptSelected, focusedAfter);
}

void ListViewRenameList::Remove(int position) {
  if (position < 1 || position > Count()) return;
  entries_.erase(entries_.begin() + (position - 1));
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SyncCount();
}

int ListViewRenameList::Focused() const {
  SyncPendingCount();
  int index = ListView_GetNextItem(listView_, -1, LVNI_FOCUSED);
  if (index < 0 || index >= Count()) return 0;
  return index + 1;
}

int ListViewRenameList::Selected() const {
  int focused = Focused();
  if (focused > 0 && ListView_GetItemState(listView_, focused - 1, LVIS_SELECTED)) return focused;
  int index = ListView_GetNextItem(listView_, -1, LVNI_SELECTED);
  if (index < 0 || index >= Count()) return 0;
  return index + 1;
}

std::vector<int> ListViewRenameList::SelectedPositions() const {
  SyncPendingCount();
  std::vector<int> positions;
  for (int index = ListView_GetNextItem(listView_, -1, LVNI_SELECTED);
       index >= 0 && index < Count(); index = ListView_GetNextItem(listView_, index, LVNI_SELECTED))
    positions.push_back(index + 1);
  return positions;
}

void ListViewRenameList::Select(int position) {
  if (position < 1 || position > Count()) return;
  Reselect({position}, position);
  ListView_EnsureVisible(listView_, position - 1, FALSE);
}

void ListViewRenameList::SelectAll() {
  SyncPendingCount();
  ListView_SetItemState(listView_, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void ListViewRenameList::Reselect(const std::vector<int>& positions, int focused) {
  SyncPendingCount();
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  // One call for the whole list: per row, a large selection costs a
  // notification each.
  if (!positions.empty() && static_cast<int>(positions.size()) == Count()) {
    ListView_SetItemState(listView_, -1, LVIS_SELECTED, LVIS_SELECTED);
  } else {
    for (int position : positions)
      ListView_SetItemState(listView_, position - 1, LVIS_SELECTED, LVIS_SELECTED);
  }
  if (focused == 0 && !positions.empty()) focused = positions.front();
  if (focused > 0) {
    ListView_SetItemState(listView_, focused - 1, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_SetSelectionMark(listView_, focused - 1);
  }
}

std::vector<int> ListViewRenameList::SortByColumn(int column) {
  if (column < 0 || column > 3) return {};
  sortAscending_ = column != sortColumn_ || !sortAscending_;
  sortColumn_ = column;
  std::vector<int> selected = SelectedPositions();
  int focused = Focused();
  std::vector<size_t> order(entries_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  // Explorer's own comparison: case ignored, runs of digits by their value.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    int c =
        StrCmpLogicalW(Column(entries_[a], column).c_str(), Column(entries_[b], column).c_str());
    return sortAscending_ ? c < 0 : c > 0;
  });
  std::vector<RenameEntry> sorted;
  sorted.reserve(entries_.size());
  std::vector<int> newPositionOf(entries_.size());
  for (size_t i = 0; i < order.size(); ++i) {
    newPositionOf[order[i]] = static_cast<int>(i) + 1;
    sorted.push_back(std::move(entries_[order[i]]));
  }
  entries_ = std::move(sorted);
  for (int& position : selected) position = newPositionOf[static_cast<size_t>(position - 1)];
  std::sort(selected.begin(), selected.end());
  Reselect(selected, focused > 0 ? newPositionOf[static_cast<size_t>(focused - 1)] : 0);
  ShowSortArrow();
  InvalidateRect(listView_, nullptr, FALSE);
  return newPositionOf;
}

void ListViewRenameList::ShowSortArrow() {
  HWND header = ListView_GetHeader(listView_);
  int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < columns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == sortColumn_) item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void ListViewRenameList::ShowItemCount() {
  if (!statusBar_) return;
  if (updateDepth_ > 0) {
    itemCountPending_ = true;
    return;
  }
  std::wstring text = L"項目数：" + std::to_wstring(Count());
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

const std::wstring& ListViewRenameList::Column(const RenameEntry& entry, int column) {
  switch (column) {
    case 0: return entry.source;
    case 1: return entry.target;
    case 2: return entry.sourceName;
    default: return entry.targetName;
  }
}

void ListViewRenameList::OnGetDispInfo(NMLVDISPINFOW* info) const {
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0 || !item.pszText) return;
  if (item.iItem < 0 || item.iItem >= Count()) {
    item.pszText[0] = L'\0';
    return;
  }
  const std::wstring& text = Column(entries_[static_cast<size_t>(item.iItem)], item.iSubItem);
  lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

void ListViewRenameList::BeginUpdate() { ++updateDepth_; }

void ListViewRenameList::EndUpdate() {
  if (updateDepth_ == 0 || --updateDepth_ > 0) return;
  SyncPendingCount();
  if (itemCountPending_) {
    itemCountPending_ = false;
    ShowItemCount();
  }
}

void ListViewRenameList::SyncPendingCount() const {
  if (!countPending_) return;
  countPending_ = false;
  ListView_SetItemCountEx(listView_, Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  InvalidateRect(listView_, nullptr, FALSE);
}

void ListViewRenameList::SyncCount() {
  if (updateDepth_ > 0) {
    countPending_ = true;
    return;
  }
  countPending_ = false;
  // LVSICF_NOSCROLL keeps the view where the user left it while rows arrive.
  ListView_SetItemCountEx(listView_, Count(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  InvalidateRect(listView_, nullptr, FALSE);
}
