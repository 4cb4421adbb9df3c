// Which files a folder brings into the list, and in which order: every
// audio file beneath it, folders walked depth first, in each folder its
// files first and then its subfolders, each sorted as Explorer sorts names.
// Portable: the file system is reached through FolderSource, so the order
// and the filters are checked natively on made-up trees.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The extensions the program renames, in any case: .mp1 .mp3 .rmp .wav, and
// .flac .m4a .m4b .ogg .oga .opus.
bool IsAudioFileName(std::wstring_view name);

// Explorer's order of names: letter case ignored, runs of digits compared by
// their value ("2" before "10"). Negative, zero or positive like strcmp;
// zero only for names equal to the letter.
int CompareExplorerNames(std::wstring_view a, std::wstring_view b);

// One entry of a folder listing.
struct FolderItem {
  std::wstring name;
  bool folder = false;
  bool hidden = false;  // hidden or system: never added, never walked
};

// What a folder is to the file system, whichever path reaches it: a link
// back into a folder already walked has the same identity.
struct FolderIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FolderIdentity&) const = default;
};

class FolderSource {
 public:
  virtual ~FolderSource() = default;
  // The folder's entries in any order ("." and ".." left out); nothing when
  // it cannot be listed.
  virtual std::optional<std::vector<FolderItem>> List(const std::wstring& folder) = 0;
  // Nothing when the file system does not say.
  virtual std::optional<FolderIdentity> Identity(const std::wstring& folder) = 0;
};

// Calls onFile with the full path of each audio file beneath folder, in the
// order above; stops early when onFile returns false, or when keepGoing
// (asked once per folder) returns false. A folder that cannot be listed
// brings nothing; each folder is walked once however many links lead to it.
void WalkFolder(const std::wstring& folder, FolderSource& source,
                const std::function<bool(const std::wstring& file)>& onFile,
                const std::function<bool()>& keepGoing = {});

// The folder followed by the name, with one backslash between them.
std::wstring ChildPath(const std::wstring& folder, const std::wstring& name);
