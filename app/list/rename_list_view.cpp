#include "app/list/rename_list_view.h"

#include <algorithm>

#include <commctrl.h>

#include <string>

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
  // The selected entry stays selected if it stays; it moves up by the rows
  // removed above it.
  int selected = Selected();
  int selectedAfter = 0;
  if (selected > 0 &&
      !std::binary_search(ascendingPositions.begin(), ascendingPositions.end(), selected))
    selectedAfter =
        selected - static_cast<int>(std::lower_bound(ascendingPositions.begin(),
                                                     ascendingPositions.end(), selected) -
                                    ascendingPositions.begin());
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
  // another file, so it is cleared with the rows and set again on its entry.
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SyncCount();
  if (selectedAfter > 0) Select(selectedAfter);
}

void ListViewRenameList::Remove(int position) {
  if (position < 1 || position > Count()) return;
  entries_.erase(entries_.begin() + (position - 1));
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SyncCount();
}

int ListViewRenameList::Selected() const {
  SyncPendingCount();
  int index = ListView_GetNextItem(listView_, -1, LVNI_SELECTED);
  if (index < 0 || index >= Count()) return 0;
  return index + 1;
}

void ListViewRenameList::Select(int position) {
  if (position < 1 || position > Count()) return;
  SyncPendingCount();
  ListView_SetItemState(listView_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(listView_, position - 1, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(listView_, position - 1, FALSE);
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
