#pragma once
// Running an ordinary window as a modal form: the caller's other windows are disabled
// while a local message loop runs, and activation goes back where it was afterwards.
#include <windows.h>

#include <vector>

namespace ks::win {

// Modal results shared by the forms: only kModalOk means the user confirmed.
inline constexpr int kModalNone = 0;
inline constexpr int kModalOk = 1;
inline constexpr int kModalCancel = 2;

// Disables every visible, enabled top-level window of the calling thread except `keep`
// and enables them again on destruction, the way a modal showing leaves the rest of the
// program unusable without hiding it.
class ThreadWindowsDisabled {
 public:
  explicit ThreadWindowsDisabled(HWND keep);
  ~ThreadWindowsDisabled();
  ThreadWindowsDisabled(const ThreadWindowsDisabled&) = delete;
  ThreadWindowsDisabled& operator=(const ThreadWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND h, LPARAM lp);
  HWND keep_;
  std::vector<HWND> disabled_;
};

// Shows `wnd`, brings it to the foreground and pumps messages until `modalResult`
// becomes non-zero (the form's own handlers set it), the window dies or WM_QUIT
// arrives (which is posted again for the outer loop). Hides the window afterwards and
// gives activation back to the window that had it. Returns the modal result,
// kModalCancel when the loop ended another way.
int RunModal(HWND wnd, const int& modalResult);

}  // namespace ks::win
