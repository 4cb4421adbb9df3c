// The preview player's logic: which entry plays, stepping through the list,
// continuous play and the status text. The audio library and the main window
// are reached through two small interfaces so the rules can be tested alone.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class PlayerLibrary {
 public:
  virtual ~PlayerLibrary() = default;
  virtual void Close() = 0;
  // Opens path; on success fills the tag title and the length in seconds.
  // On failure, problem is a text naming the file when the library could not
  // even be given its path, and empty when the library's number tells why.
  virtual bool Open(const std::wstring& path, std::wstring& title, int32_t& totalSeconds,
                    std::wstring& problem) = 0;
  virtual bool Play() = 0;
  virtual void Stop() = 0;
  // 1 playing, 0 stopped or ended; seconds = whole seconds played.
  virtual int32_t GetState(int32_t& seconds) = 0;
  virtual int32_t LastErrorNo() = 0;
};

class PlayerHost {
 public:
  virtual ~PlayerHost() = default;
  virtual int EntryCount() const = 0;
  virtual std::wstring SourcePath(int position) const = 0;     // 1-based
  virtual int SelectedPosition() const = 0;                    // 0: none
  virtual bool ContinuousPlay() const = 0;                     // "continuous play" is checked
  virtual void SetPlayerStatus(const std::wstring& text) = 0;  // status panel 2
  virtual void ShowPlayError(const std::wstring& text) = 0;
  virtual void SetPlayerTimer(bool on) = 0;  // the 1-second player tick
};

class Player {
 public:
  Player(PlayerLibrary& library, PlayerHost& host) : library_(library), host_(host) {}

  void Play();
  void Stop();
  void Next();
  void Previous();
  void Tick();
  // The remove command's rules, run before the entry at position leaves a
  // list of count entries.
  void BeforeRemove(int position, int count);
  // The same rules for each of several entries leaving together.
  void BeforeRemove(const std::vector<int>& ascendingPositions, int count);
  // The list was put in another order (newPositionOf[old position - 1]):
  // the entry that plays goes on being the one PlayIndex names.
  void Reordered(const std::vector<int>& newPositionOf);

  int PlayFile(const std::wstring& path);

  int PlayIndex = 0;
  std::wstring PlayTitle;
  int32_t PlayTotalSeconds = 0;

  // "再生中 - title - m:ss/m:ss "
  static std::wstring StatusText(const std::wstring& title, int32_t position, int32_t total);
  static std::wstring MinutesSeconds(int32_t seconds);

 private:
  // The entry after (step +1) or before (-1) PlayIndex, wrapping around the
  // list. An index that no longer names an entry (after a removal or a
  // rename run) restarts from the first entry forwards, the last backwards.
  int Step(int direction) const;
  void Advance(int direction);
  // Every box of the player goes through here, so the tick knows one is open.
  void ShowMessage(const std::wstring& text);
  void ShowPlayError();

  PlayerLibrary& library_;
  PlayerHost& host_;
  // A message box runs its own message loop, and the one-second timer goes
  // on arriving in it: a tick then would open a second box over the first.
  bool messageOpen_ = false;
};
