// What every dialog test asks of its dialog, in one place: opening it
// modally and looking at it while its own loop runs, and the layout rules
// a user would notice broken (a control cut off, two on top of each other,
// one access key for two controls, Tab visiting controls out of order).
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace dialog_checks {

struct ModalRun {
  bool shown = false;          // the window appeared and check ran on it
  bool closedByGuard = false;  // it did not close by itself: the guard closed it
};

// Calls open, which shows a modal window of windowClass and returns once it
// has closed; as soon as that window is visible, check runs on it from a
// timer of the modal loop. A window still open guardMs after check is
// destroyed, so a test of a window that does not close fails instead of
// hanging.
ModalRun RunModal(const std::function<void()>& open, const wchar_t* windowClass,
                  const std::function<void(HWND)>& check, UINT guardMs = 5000);

// The faults of the dialog's layout among the controls visible now (one
// tab page), one text each; none when the layout holds:
// - every control lies inside its parent's client area;
// - no two controls of one parent overlap (by more than the pixel that
//   rounding twips gives), but for a group box, a tab control or a holder
//   of controls around others;
// - no access key (the letter after "&") is shared by two controls.
std::vector<std::wstring> LayoutFaults(HWND dialog);

// The controls the Tab key visits, starting at first, once around.
std::vector<HWND> TabOrder(HWND dialog, HWND first);

}  // namespace dialog_checks
