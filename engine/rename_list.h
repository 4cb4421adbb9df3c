// The rename list as the engine sees it: the rows of the main window's list
// view, addressed by 1-based position in display order.
#pragma once
#include <string>
#include <vector>

struct RenameEntry {
  std::wstring source;      // column 1: full path as added
  std::wstring target;      // column 2: full target path, may be empty
  std::wstring sourceName;  // column 3: GetFileNamePart(source)
  std::wstring targetName;  // column 4: GetFileNamePart(target)
};

class RenameList {
 public:
  virtual ~RenameList() = default;
  virtual int Count() const = 0;
  virtual RenameEntry Get(int position) const = 0;  // 1..Count()
  virtual void Append(RenameEntry entry) = 0;
  virtual void Set(int position, RenameEntry entry) = 0;
  // Removes the entries at the given ascending positions in one pass.
  virtual void RemovePositions(const std::vector<int>& ascendingPositions) = 0;
  virtual void Remove(int position) = 0;
  virtual int Selected() const = 0;  // 0 when nothing is selected
  // Rewrites status panel 1: "項目数：" and Count().
  virtual void ShowItemCount() = 0;
  // Between these two, a shown list may hold back its window updates (row
  // count, item count) until EndUpdate: a window update per added file
  // would cost more than reading the file's tag. Calls may nest.
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
};

// Holds a list's window updates for the scope's lifetime.
class RenameListUpdate {
 public:
  explicit RenameListUpdate(RenameList& list) : list_(list) { list_.BeginUpdate(); }
  ~RenameListUpdate() { list_.EndUpdate(); }
  RenameListUpdate(const RenameListUpdate&) = delete;
  RenameListUpdate& operator=(const RenameListUpdate&) = delete;

 private:
  RenameList& list_;
};
