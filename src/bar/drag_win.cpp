// The right button on a bar button: released where it went down it opens the button menu;
// dragged onto another button it moves the button there. Esc or a lost capture cancels.
#include "bar/drag.h"
#include "bar/main_win.h"

namespace ks {
namespace {

// Where the mouse was when the event happened, on the screen. The pointer may have moved
// on by the time the message is handled, and the drag's threshold and drop belong to the
// event's own place.
POINT EventPoint(HWND button, LPARAM lp) {
  POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  ClientToScreen(button, &p);
  return p;
}

POINT PointerNow() {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

}  // namespace

bool BarWindow::DragMessage(HWND button, int index, UINT msg, WPARAM wp, LPARAM lp,
                            LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      ButtonMouseDown(index, MouseButton::Right);
      if (drag_.pressed) drag_.start = EventPoint(button, lp);
      return true;
    case WM_MOUSEMOVE:
      if (drag_.pressed) DragMove(EventPoint(button, lp));
      return drag_.pressed;
    case WM_RBUTTONUP:
      if (!drag_.pressed) return false;
      DragEnd(EventPoint(button, lp), false);
      return true;
    case WM_KEYDOWN:
      if (wp != VK_ESCAPE || !drag_.pressed) return false;
      DragEnd(PointerNow(), true);
      return true;
    case WM_CAPTURECHANGED:
      // Cancelled, and still handed on to the control.
      if (drag_.pressed && reinterpret_cast<HWND>(lp) != button) DragEnd(PointerNow(), true);
      return false;
    case WM_SETCURSOR:
      result = TRUE;
      return drag_.dragging;
    default:
      return false;
  }
}

void BarWindow::DragBegin(int index) {
  drag_ = RightDrag{};
  drag_.pressed = true;
  drag_.source = index;
  GetCursorPos(&drag_.start);
  SetCapture(buttons_[index]);
}

int BarWindow::ButtonIndexOf(HWND h) const {
  for (int i = 1; i <= kMaxButtons; ++i)
    if (h && buttons_[i] == h && IsWindowVisible(h)) return i;
  return 0;
}

int BarWindow::ButtonAt(POINT screen) const { return ButtonIndexOf(WindowFromPoint(screen)); }

void BarWindow::DragMove(POINT p) {
  if (!drag_.dragging) {
    if (!DragStarted(p.x - drag_.start.x, p.y - drag_.start.y)) return;
    drag_.dragging = true;
    SetFocus(buttons_[drag_.source]);  // so that Esc reaches the drag
  }
  SetCursor(LoadCursor(nullptr, ButtonAt(p) ? IDC_HAND : IDC_NO));
}

void BarWindow::DragEnd(POINT p, bool cancelled) {
  RightDrag d = drag_;
  drag_ = RightDrag{};
  if (GetCapture() == buttons_[d.source]) ReleaseCapture();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  FocusDummy();
  if (!d.dragging) {
    OpenButtonMenu(d.start);
    return;
  }
  int target = cancelled ? 0 : ButtonAt(p);
  if (target) {
    ButtonDragDrop(*store_, *this, d.source, target);
    UpdateShortcuts();
  }
  std::string dragged = win::GetText(buttons_[d.source]);
  std::string onto = target ? win::GetText(buttons_[target]) : std::string();
  if (OpensSetupMenu(dragged, onto)) OpenButtonMenu(p);
}

}  // namespace ks
