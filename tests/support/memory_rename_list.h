// The rename list as a plain vector, for tests that need no list view: a
// position outside the list throws, so a test sees a wrong one at once.
#pragma once
#include <stdexcept>
#include <vector>

#include "engine/rename_list.h"

class MemoryRenameList : public RenameList {
 public:
  std::vector<RenameEntry> entries;
  int selected = 0;         // the position Selected() reports; 0 for none
  int itemCountShown = -1;  // Count() at the last ShowItemCount, -1 before any
  int showCalls = 0;

  int Count() const override { return static_cast<int>(entries.size()); }
  RenameEntry Get(int position) const override { return entries.at(Index(position)); }
  void Append(RenameEntry entry) override { entries.push_back(std::move(entry)); }
  void Set(int position, RenameEntry entry) override {
    entries.at(Index(position)) = std::move(entry);
  }
  void RemovePositions(const std::vector<int>& ascending) override {
    std::vector<RenameEntry> kept;
    size_t next = 0;
    for (int p = 1; p <= Count(); ++p) {
      if (next < ascending.size() && ascending[next] == p) {
        ++next;
        continue;
      }
      kept.push_back(std::move(entries[Index(p)]));
    }
    if (next != ascending.size()) throw std::logic_error("positions not ascending or out of range");
    entries = std::move(kept);
  }
  void Remove(int position) override { entries.erase(entries.begin() + Index(position)); }
  int Selected() const override { return selected; }
  void ShowItemCount() override {
    itemCountShown = Count();
    ++showCalls;
  }

 private:
  size_t Index(int position) const {
    if (position < 1 || position > Count()) throw std::out_of_range("position");
    return static_cast<size_t>(position - 1);
  }
};
