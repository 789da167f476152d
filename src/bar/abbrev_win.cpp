// Abbreviations: the hook saw the user type a button's abbreviation in the window in front;
// it is taken out with Backspaces and the button's text typed in its place, as a press
// types it (codes, {list}, {run}, Undo).
#include "bar/main_win.h"
#include "typing/typist.h"

namespace ks {

void BarWindow::AbbreviationTyped(WPARAM button, LPARAM lengths) {
  const ButtonRef b{LOWORD(button), HIWORD(button)};
  const int backspaces = LOWORD(lengths);
  // As for a shortcut: what is typed in a window of ours is meant for it. During a run or
  // a question the hook is told to watch nothing, so a match then is stale.
  if (!typist_ || typingRuns_ > 0 || questions_ > 0 || OwnWindowOpen()) return;
  if (!HasButton(*store_, b)) return;
  // The window the abbreviation was typed in is the target, and only that one: a text
  // typed elsewhere would not replace it.
  HWND front = GetForegroundWindow();
  ConsiderTarget(front);
  if (typist_->TargetWindow != ToWindowId(front)) return;
  if (AsksPassword(*store_, b, unlocked_)) {
    // The abbreviation stays where it was typed until the password is given.
    if (!MayType(b)) return;
    FocusDummy();
    if (!HasButton(*store_, b)) return;
  }
  TypeIntoTarget(store_->ButtonAt(b.Group, b.Button).String, backspaces);
}

void BarWindow::UserKeyWhileTyping() {
  if (typist_ && typingRuns_ > 0) typist_->Stop();
}

}  // namespace ks
