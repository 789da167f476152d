// The bar's message switch and its controls' own messages: the typing buttons, the group
// list and Undo, each answered by a subclass of its control.
#include "bar/main_win.h"

#include <commctrl.h>

#include "win/paint.h"

namespace ks {
namespace {

// The layout sets sizes below the system's minimum: one narrow cell, or only the caption
// when rolled up.
void LetSizeBelowMinimum(HWND bar, MINMAXINFO& mmi) {
  const SIZE least = win::OuterSizeForClient(bar, 1, 0);
  mmi.ptMinTrackSize = {least.cx, least.cy};
}

}  // namespace

void BarWindow::DrawButton(const DRAWITEMSTRUCT& d) {
  int i = static_cast<int>(d.CtlID) - contract::kBarButtonIdBase;
  if (i < 1 || i > kMaxButtons) return;
  win::DrawSchemeCaptionButton(theme_.scheme(), d, buttonFont_.get(),
                               win::ColorToRgb(buttons_[i].color), win::GetText(d.hwndItem));
}

LRESULT CALLBACK BarWindow::ControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self) {
  auto* bar = reinterpret_cast<BarWindow*>(self);
  auto handle = [&]() -> LRESULT {
    if (id == kUndoId) return bar->UndoMessage(h, msg, wp, lp);
    if (id != contract::kBarGroupListId)
      return bar->ButtonMessage(h, static_cast<int>(id), msg, wp, lp);
    if (msg != WM_RBUTTONUP && msg != WM_CONTEXTMENU) return DefSubclassProc(h, msg, wp, lp);
    bar->menus_.OpenGroupMenu();
    return 0;
  };
  return win::Guarded(handle, [&] { return DefSubclassProc(h, msg, wp, lp); });
}

LRESULT BarWindow::ButtonMessage(HWND h, int index, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  switch (msg) {
    // Typing starts when the button goes down, and a quick second press types again.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonMouseDown(index, true);
      return 0;
    case WM_MBUTTONDOWN:
      ButtonMouseDown(index, false);
      return 0;
    case WM_MOUSEACTIVATE:
      // Typing into the window in front needs no activation: every round trip of the
      // foreground is a chance for the first keys to meet a thread not yet ready for them.
      if (PressTypesInPlace(lp)) return MA_NOACTIVATE;
      return DefSubclassProc(h, msg, wp, lp);
    default:
      if (drag_.Message(h, index, msg, wp, lp, result)) return result;
      // The button class asks to be told when the pointer hovers and leaves, for a hot
      // look these buttons, drawn by the bar, never show; Wine keeps that watch by a timer
      // every 10 ms while the pointer rests on a button, and a press waits for its tick.
      // The tooltip has seen the move already: its hook comes before this one.
      if (msg == WM_MOUSEMOVE && GetCapture() != h) return 0;
      return DefSubclassProc(h, msg, wp, lp);
  }
}

LRESULT BarWindow::UndoMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  // A push button focuses itself when pressed, which would activate the bar and take the
  // foreground from the window Undo works in. Pressed while the bar is inactive, Undo
  // acts when it goes down, as the typing buttons do, and only looks pressed until the
  // release.
  switch (msg) {
    case WM_MOUSEACTIVATE:
      if (PressTypesInPlace(lp)) return MA_NOACTIVATE;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetActiveWindow() == hwnd_) break;
      undoHeld_ = true;
      SendMessageW(h, BM_SETSTATE, TRUE, 0);
      SetCapture(h);
      UndoTyping();
      return 0;
    case WM_LBUTTONUP:
      if (!undoHeld_) break;
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      if (!undoHeld_) break;
      undoHeld_ = false;
      SendMessageW(h, BM_SETSTATE, FALSE, 0);
      return 0;
    default:
      break;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

LRESULT BarWindow::OnCommand(UINT msg, WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) == contract::kBarGroupListId && HIWORD(wp) == CBN_SELCHANGE) {
    ShowChosenGroup();
    return 0;
  }
  if (LOWORD(wp) == kUndoId && HIWORD(wp) == BN_CLICKED) {
    UndoTyping();
    return 0;
  }
  return Default(msg, wp, lp);
}

LRESULT BarWindow::OnActivate(UINT msg, WPARAM wp, LPARAM lp) {
  // The window a click on the bar took the foreground from is the one the user was
  // working in, even when the tracker has not seen it yet.
  if (LOWORD(wp) != WA_INACTIVE && lp) ConsiderTarget(typing_.Tracker(), reinterpret_cast<HWND>(lp));
  if (LOWORD(wp) == WA_INACTIVE || drag_.Pressed()) return Default(msg, wp, lp);
  Default(msg, wp, lp);
  if (!ClickInProgress()) SetFocus(dummy_);
  return 0;
}


void BarWindow::MovedToDpi(LPARAM suggested) {
  // Moved to a display of another DPI: everything is sized again for it, in the place
  // the system suggests; the grid then gives the size.
  ApplyDpi();
  SetButtonWidth(Values().ButtonWidth);
  inDisplay_ = true;
  TakeSuggestedRect(suggested);
  inDisplay_ = false;
  if (rolledUp_)
    FitToSize();
  else
    Display();
}

LRESULT BarWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT answer = 0; theme_.Handle(msg, wp, lp, answer)) return answer;
  switch (msg) {
    case kFollowForeground:
      FollowForeground(typing_.Tracker());
      return 0;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND:
      return OnCommand(msg, wp, lp);
    case WM_MOUSEACTIVATE:
      // A click is about to activate the bar: the foreground is still the window the user
      // worked in, which may have told no event of its activation. A press on a typing
      // button or Undo is answered by the button itself, before it comes here.
      FollowForeground(typing_.Tracker());
      return Default(msg, wp, lp);
    case WM_ACTIVATEAPP:
      // Another program takes the activation from ours; its window is in front once the
      // switch is through, which a message posted now sees.
      if (!wp) PostMessageW(hwnd_, kFollowForeground, 0, 0);
      return Default(msg, wp, lp);
    case WM_ACTIVATE:
      return OnActivate(msg, wp, lp);
    case WM_SIZE:
      FitToSize();
      return 0;
    case WM_DPICHANGED:
      MovedToDpi(lp);
      return 0;
    case WM_EXITSIZEMOVE:
      NotePlace();  // the bar's place is kept in the settings file
      return Default(msg, wp, lp);
    case WM_GETMINMAXINFO:
      LetSizeBelowMinimum(hwnd_, *reinterpret_cast<MINMAXINFO*>(lp));
      return 0;
    case WM_WINDOWPOSCHANGING:
      // However the bar comes to be shown (the tray icon, or back on top after a pick from
      // a list), its controls are there when it is seen.
      if (reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_SHOWWINDOW) MakeControls();
      return Default(msg, wp, lp);
    case WM_SYSCOMMAND:
      return HandleSysCommand(wp) ? 0 : Default(msg, wp, lp);
    case WM_CLOSE:  // only hides the bar: the tray menu's Exit ends the program
      Hide();
      return 0;
    default:
      return Default(msg, wp, lp);
  }
}

}  // namespace ks
