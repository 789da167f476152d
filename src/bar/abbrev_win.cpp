// Abbreviations: the hook saw the user type a button's abbreviation in the window in front;
// it is taken out with Backspaces and the button's text typed in its place, as a press
// types it (codes, {list}, {run}, Undo).
#include "bar/main_win.h"
#include "typing/ports_win.h"

namespace ks {

void BarWindow::AbbreviationTyped(WPARAM button, LPARAM lengths) {
  const auto kept = static_cast<char16_t>((static_cast<std::uint64_t>(lengths) >> 32) & 0xFFFF);
  if (TypeAbbreviation(ButtonRef{LOWORD(button), HIWORD(button)},
                       Erase{LOWORD(lengths), HIWORD(lengths)}) ||
      !kept)
    return;
  // The user's last key, which the hook kept from the window, goes in after all: as a
  // character, since the Shift that made it may be up by now. Tagged as ours, so that the
  // watch does not take it for the user's again.
  SendInputSink sink;
  sink.Unicode(kept);
  sink.Flush();
}

bool BarWindow::TypeAbbreviation(ButtonRef b, Erase erase) {
  // As for a shortcut: what is typed in a window of ours is meant for it. During a run or
  // a question the hook is told to watch nothing, so a match then is stale.
  if (typing_.Running() || questions_ > 0 || OwnWindowOpen()) return false;
  if (!HasButton(*store_, b)) return false;
  // The window the abbreviation was typed in is the target, and only that one: a text
  // typed elsewhere would not replace it.
  HWND front = GetForegroundWindow();
  ConsiderTarget(front);
  if (typing_.TargetWindow() != ToWindowId(front)) return false;
  if (AsksPassword(*store_, b, unlocked_)) {
    // The abbreviation stays where it was typed until the password is given.
    if (!MayType(b)) return false;
    FocusDummy();
    if (!HasButton(*store_, b)) return false;
  }
  return typing_.Type(store_->ButtonAt(b.Group, b.Button).String, erase);
}

}  // namespace ks
