// The bar as the typing engine's host: a left press types the button's text into the
// window the user was working in, which the foreground tracker keeps in view.

#include <optional>

#include "bar/groups.h"
#include "bar/main_win.h"
#include "typing/ports_win.h"
#include "win/dialogs.h"

namespace ks {
void BarWindow::FollowForeground() {
  typing_.Tracker().ForegroundChanged(ToWindowId(GetForegroundWindow()));
}

void BarWindow::ConsiderTarget(HWND fg) { typing_.Tracker().BarActivated(ToWindowId(fg)); }

bool BarWindow::PressTypesInPlace(LPARAM mouseActivate) {
  // Asked by a typing button or Undo itself, so the press is known to be on one. Only a
  // left press in an enabled bar: the right button (a drag, the menu) activates it as a
  // window would.
  const UINT mouse = HIWORD(mouseActivate);
  if (LOWORD(mouseActivate) != HTCLIENT || (mouse != WM_LBUTTONDOWN && mouse != WM_LBUTTONDBLCLK))
    return false;
  if (!IsWindowEnabled(hwnd_) || drag_.pressed) return false;
  // The foreground is still the window the user worked in, which may have told no event
  // of its activation (a window that keeps its own focus while inactive sends none under
  // Wine). Read once: a press waits for every round trip to the system.
  const WindowId fg = ToWindowId(GetForegroundWindow());
  typing_.Tracker().ForegroundChanged(fg);
  return typing_.Tracker().TypesInPlace(fg);
}

void BarWindow::ButtonMouseDown(int index, MouseButton button) {
  currentIndex_ = index;
  if (button == MouseButton::Left && typing_.TargetWindow() != 0)
    TypeButton(index);
  else if (button == MouseButton::Right)
    DragBegin(index);
  FocusDummy();
}

void BarWindow::TypeButton(int index) {
  if (!unlocked_) {
    TargetHold hold(&typing_.Tracker());
    CheckPassword(*store_, unlocked_, *this);
  }
  if (!unlocked_ || !store_->Active().HasButton(index)) return;
  typing_.Type(store_->Active().ButtonAt(index).String);
}

void BarWindow::TypingChanged(bool typing) {
  // The focus goes to the hidden button, so that no button looks pressed while the target
  // takes the keys.
  if (typing) FocusDummy();
  if (typing || !findAfterRun_) return;
  findAfterRun_ = false;
  PostMessageW(hwnd_, WM_HOTKEY, kFindHotKeyId, 0);
}

void BarWindow::UndoTyping() {
  FocusDummy();
  typing_.Undo();
}

// ---- Dialogs ----

void BarWindow::Message(const std::string& text) {
  // A box in the middle of a typing run ("Unable to start ..."): the rest of the text
  // belongs in the window it was meant for, which the engine brings back after it.
  std::optional<TargetHold> hold;
  if (typing_.Running()) hold.emplace(&typing_.Tracker());
  win::ShowMessage(hwnd_, text);
}

bool BarWindow::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(hwnd_, text, title);
}

std::optional<std::string> BarWindow::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultText, bool preselect) {
  return win::InputQuery(hwnd_, caption, prompt, defaultText, preselect);
}

}  // namespace ks
