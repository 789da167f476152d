// A left press types the button's text into the window the user was working in, which
// the typing service's tracker keeps in view; the bar follows the foreground for it.

#include "bar/groups.h"
#include "bar/main_win.h"
#include "typing/foreground_win.h"

namespace ks {

bool BarWindow::PressTypesInPlace(LPARAM mouseActivate) {
  // Asked by a typing button or Undo itself, so the press is known to be on one. Only a
  // left press in an enabled bar: the right button (a drag, the menu) activates it as a
  // window would.
  const UINT mouse = HIWORD(mouseActivate);
  if (LOWORD(mouseActivate) != HTCLIENT || (mouse != WM_LBUTTONDOWN && mouse != WM_LBUTTONDBLCLK))
    return false;
  if (!IsWindowEnabled(hwnd_) || drag_.Pressed()) return false;
  // The foreground is still the window the user worked in, which may have told no event
  // of its activation (a window that keeps its own focus while inactive sends none under
  // Wine). Read once: a press waits for every round trip to the system.
  const WindowId fg = ToWindowId(GetForegroundWindow());
  typing_.Tracker().ForegroundChanged(fg);
  return typing_.Tracker().TypesInPlace(fg);
}

void BarWindow::ButtonMouseDown(int index, bool left) {
  if (left && typing_.TargetWindow() != 0)
    typing_.TypeButton(*store_, {store_->ActiveGroup, index}, TypingService::From::Bar);
  FocusDummy();
}

void BarWindow::TypingChanged(bool typing) {
  // The focus goes to the hidden button, so that no button looks pressed while the target
  // takes the keys.
  if (typing) FocusDummy();
}

void BarWindow::UndoTyping() {
  FocusDummy();
  typing_.Undo();
}

}  // namespace ks
