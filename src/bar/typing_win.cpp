// The bar as the typing engine's host: a left press types the button's text into the
// window the user was working in, which the foreground tracker keeps in view.

#include <optional>

#include "bar/groups.h"
#include "bar/main_win.h"
#include "typing/ports_win.h"
#include "typing/typist.h"
#include "win/dialogs.h"

namespace ks {
void BarWindow::StartForegroundTracker() {
  if (!typist_) return;
  if (!tracker_) tracker_ = std::make_unique<TargetTracker>(windowFacts_, typist_->TargetWindow);
  foregroundWatch_.Start();
  // A window that was in front before the watch began sends no event.
  FollowForeground();
}

void BarWindow::StopForegroundTracker() { foregroundWatch_.Stop(); }

void BarWindow::FollowForeground() {
  if (tracker_) tracker_->ForegroundChanged(ToWindowId(GetForegroundWindow()));
}

void BarWindow::ConsiderTarget(HWND fg) {
  if (tracker_) tracker_->BarActivated(ToWindowId(fg));
}

bool BarWindow::PressTypesInPlace(LPARAM mouseActivate) {
  // Asked by a typing button or Undo itself, so the press is known to be on one. Only a
  // left press in an enabled bar: the right button (a drag, the menu) activates it as a
  // window would.
  const UINT mouse = HIWORD(mouseActivate);
  if (LOWORD(mouseActivate) != HTCLIENT || (mouse != WM_LBUTTONDOWN && mouse != WM_LBUTTONDBLCLK))
    return false;
  if (!tracker_ || !IsWindowEnabled(hwnd_) || drag_.pressed) return false;
  // The foreground is still the window the user worked in, which may have told no event
  // of its activation (a window that keeps its own focus while inactive sends none under
  // Wine). Read once: a press waits for every round trip to the system.
  const WindowId fg = ToWindowId(GetForegroundWindow());
  tracker_->ForegroundChanged(fg);
  return tracker_->TypesInPlace(fg);
}

void BarWindow::ButtonMouseDown(int index, MouseButton button) {
  currentIndex_ = index;
  if (button == MouseButton::Left && typist_ && typist_->TargetWindow != 0)
    TypeButton(index);
  else if (button == MouseButton::Right)
    DragBegin(index);
  FocusDummy();
}

void BarWindow::TypeButton(int index) {
  if (!unlocked_) {
    TargetHold hold(tracker_.get());
    CheckPassword(*store_, unlocked_, *this);
  }
  if (!unlocked_ || !store_->Active().HasButton(index)) return;
  TypeIntoTarget(store_->Active().ButtonAt(index).String);
}

bool BarWindow::TypeIntoTarget(const std::string& text, Erase erase) {
  if (typingRuns_++ == 0 && around_.Abbreviations) around_.Abbreviations->Typing(true);
  const bool typed = typist_->SendString(text, erase);
  if (--typingRuns_ > 0) return typed;
  if (around_.Abbreviations) around_.Abbreviations->Typing(false);
  if (findAfterRun_) {
    findAfterRun_ = false;
    PostMessageW(hwnd_, WM_HOTKEY, kFindHotKeyId, 0);
  }
  return typed;
}

void BarWindow::UndoTyping() {
  if (typist_) typist_->UndoTyping();
}

// ---- TypingHost and Dialogs ----

void BarWindow::Message(const std::string& text) {
  // A box in the middle of a typing run ("Unable to start ..."): the rest of the text
  // belongs in the window it was meant for, which the engine brings back after it.
  std::optional<TargetHold> hold;
  if (typingRuns_ > 0) hold.emplace(tracker_.get());
  win::ShowMessage(hwnd_, text);
}

void BarWindow::Notice(const std::string& text) {
  if (around_.Notify) around_.Notify(text);
}

void BarWindow::ShowBarOnTop() {
  // After a pick the keys are on their way to the target: the bar comes back on top
  // without taking the foreground from it. A bar the user hid (a shortcut's pick) stays
  // hidden.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool BarWindow::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(hwnd_, text, title);
}

std::optional<std::string> BarWindow::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultText, bool preselect) {
  return win::InputQuery(hwnd_, caption, prompt, defaultText, preselect);
}

}  // namespace ks
