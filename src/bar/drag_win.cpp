#include "bar/drag_win.h"

#include "bar/drag.h"
#include "win/window.h"

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

bool ButtonDrag::Message(HWND button, int index, UINT msg, WPARAM wp, LPARAM lp,
                         LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      Begin(index, EventPoint(button, lp));
      return true;
    case WM_MOUSEMOVE:
      if (pressed_) Move(EventPoint(button, lp));
      return pressed_;
    case WM_RBUTTONUP:
      if (!pressed_) return false;
      End(EventPoint(button, lp), false);
      return true;
    case WM_KEYDOWN:
      if (wp != VK_ESCAPE || !pressed_) return false;
      End(PointerNow(), true);
      return true;
    case WM_CAPTURECHANGED:
      // Cancelled, and still handed on to the control.
      if (pressed_ && reinterpret_cast<HWND>(lp) != button) End(PointerNow(), true);
      return false;
    case WM_SETCURSOR:
      result = TRUE;
      return dragging_;
    default:
      return false;
  }
}

void ButtonDrag::Begin(int index, POINT start) {
  pressed_ = true;
  dragging_ = false;
  source_ = index;
  start_ = start;
  SetCapture(buttons_[index].hwnd);
}

int ButtonDrag::ButtonAt(POINT screen) const {
  HWND h = WindowFromPoint(screen);
  for (int i = 1; i <= kMaxButtons; ++i)
    if (h && buttons_[i].hwnd == h && IsWindowVisible(h)) return i;
  return 0;
}

void ButtonDrag::Move(POINT p) {
  if (!dragging_) {
    if (!DragStarted(p.x - start_.x, p.y - start_.y)) return;
    dragging_ = true;
    SetFocus(buttons_[source_].hwnd);  // so that Esc reaches the drag
  }
  SetCursor(LoadCursor(nullptr, ButtonAt(p) ? IDC_HAND : IDC_NO));
}

void ButtonDrag::End(POINT p, bool cancelled) {
  const bool dragged = dragging_;
  const int source = source_;
  pressed_ = dragging_ = false;
  if (GetCapture() == buttons_[source].hwnd) ReleaseCapture();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ended_();
  if (!dragged) {
    openMenu_(start_, source);
    return;
  }
  const int target = cancelled ? 0 : ButtonAt(p);
  if (target) drop_(source, target);
  const std::string draggedCaption = win::GetText(buttons_[source].hwnd);
  const std::string onto = target ? win::GetText(buttons_[target].hwnd) : std::string();
  if (OpensSetupMenu(draggedCaption, onto)) openMenu_(p, source);
}

}  // namespace ks
