#include "win/modal.h"

namespace ks::win {

ThreadWindowsDisabled::ThreadWindowsDisabled(HWND keep) : keep_(keep) {
  EnumThreadWindows(GetCurrentThreadId(), &ThreadWindowsDisabled::Collect,
                    reinterpret_cast<LPARAM>(this));
  for (HWND h : disabled_) EnableWindow(h, FALSE);
}

ThreadWindowsDisabled::~ThreadWindowsDisabled() {
  for (HWND h : disabled_)
    if (IsWindow(h)) EnableWindow(h, TRUE);
}

BOOL CALLBACK ThreadWindowsDisabled::Collect(HWND h, LPARAM lp) {
  auto* self = reinterpret_cast<ThreadWindowsDisabled*>(lp);
  if (h != self->keep_ && IsWindowVisible(h) && IsWindowEnabled(h)) {
    // push_back may allocate; nothing may leave a callback, so give up on memory
    // exhaustion rather than unwind through the system.
    try {
      self->disabled_.push_back(h);
    } catch (const std::bad_alloc&) {
      return FALSE;
    }
  }
  return TRUE;
}

int RunModal(HWND wnd, const int& modalResult) {
  if (!IsWindow(wnd)) return kModalCancel;
  HWND previous = GetActiveWindow();
  int result = kModalCancel;
  {
    ThreadWindowsDisabled others(wnd);
    EnableWindow(wnd, TRUE);
    ShowWindow(wnd, SW_SHOW);
    SetForegroundWindow(wnd);
    MSG msg;
    while (modalResult == kModalNone && IsWindow(wnd) && IsWindowVisible(wnd)) {
      BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      // Tab and arrow navigation between the form's controls, as in a dialog.
      if (IsDialogMessageW(wnd, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (modalResult != kModalNone) result = modalResult;
    // The others are enabled again before the form hides, so that the system does not
    // hand activation to some unrelated application in between.
  }
  if (IsWindow(wnd)) ShowWindow(wnd, SW_HIDE);
  if (previous && previous != wnd && IsWindow(previous) && IsWindowVisible(previous))
    SetActiveWindow(previous);
  return result;
}

}  // namespace ks::win
