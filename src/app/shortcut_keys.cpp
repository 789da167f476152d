// The shortcut keys: Ctrl+Alt+letter types a button's text into the window the user
// works in, from anywhere, for a button of any group, as a left press on it would. And
// Ctrl+Alt+Space, which opens the find window, whose choice types the same way.
#include <algorithm>

#include "app/requests.h"
#include "typing/foreground_win.h"

namespace ks::app {
namespace {

std::int64_t Now() { return static_cast<std::int64_t>(GetTickCount64()); }

constexpr const char* kFindKeyTaken =
    "Ctrl+Alt+Space, the key of the find window, is used by another program. "
    "\"Find...\" in the tray menu and in the button menu opens the find window.";

}  // namespace

void TypeRequests::StartShortcuts() {
  shortcutMessage_ = shortcuts_.Start(TheStore());
  shortcutsTaken_ = true;
  // No repeats, as for the shortcut keys: a held key opens the window once.
  if (!RegisterHotKey(hwnd_, kFindHotKeyId, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_SPACE))
    shortcutMessage_ += (shortcutMessage_.empty() ? "" : "\n\n") + std::string(kFindKeyTaken);
  // Shown once the message loop runs, so that the start is not held up by it.
  if (!shortcutMessage_.empty()) PostMessageW(hwnd_, kShowShortcutMessage, 0, 0);
}

void TypeRequests::StoreChanged() {
  if (shortcutsTaken_) shortcuts_.Update(TheStore());
}

void TypeRequests::StopShortcuts() {
  if (!shortcutsTaken_) return;
  shortcutsTaken_ = false;
  KillTimer(hwnd_, kShortcutTimerId);
  shortcuts_.Stop();
  UnregisterHotKey(hwnd_, kFindHotKeyId);
}

ShortcutChoice TypeRequests::ShortcutChosen(int32_t shortcut) { return shortcuts_.Chosen(shortcut); }

std::optional<std::string> TypeRequests::RefuseShortcutDone(ButtonRef editing,
                                                            int32_t shortcut) const {
  return shortcuts_.RefuseDone(TheStore(), editing, shortcut);
}

void TypeRequests::ShortcutFired(int shortcut) {
  // AltGr is Ctrl+Alt: on the layout of the window in front this key may be a character.
  if (shortcuts_.LetThrough(shortcut)) {
    LetShortcutThrough(shortcut);
    return;
  }
  // While the user works in a window of ours the keys are meant for it, not for a
  // target behind it. A typing run or a question of a shortcut only makes them wait.
  if (!typing_.Busy() && OwnWindowOpen()) return;
  // The window the user pressed the keys in is the target, even when the tracker has
  // not seen it yet.
  ConsiderTarget(typing_.Tracker(), GetForegroundWindow());
  if (!shortcutQueue_.Fired(shortcut, Now())) return;
  // A locked group's password is asked now, while the program may still take the
  // foreground for the box: after the wait for the keys it may no longer. The foreground
  // then goes back to the target at once, so typing needs no switch.
  if (!typing_.Busy() && ShortcutAsksPassword(TheStore(), shortcut, typing_.ActiveUnlocked())) {
    if (!AskForShortcut(shortcut) || !handOver_.BringToForeground(typing_.TargetWindow())) {
      shortcutQueue_.DropLast();
      return;
    }
    approvedShortcuts_.push_back(shortcut);
  }
  // Polled only while a shortcut waits, so the program stays idle otherwise.
  if (shortcutQueue_.Waiting()) SetTimer(hwnd_, kShortcutTimerId, kShortcutPollMs, nullptr);
}

void TypeRequests::LetShortcutThrough(int shortcut) {
  // The user still holds Ctrl and Alt (AltGr), so the letter sent again makes the
  // character in the window in front. Tagged as ours: the abbreviation watch has seen the
  // user's own press already.
  const auto vk = static_cast<std::uint8_t>(ShortcutLetterKey(shortcut));
  SendInputSink sink;
  sink.Key(vk, static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)), false, false);
  sink.Flush();
  // Taken back once the letter is up: before, the system could still find the hot key in
  // the letter just sent, or in its repeats.
  letThrough_ = shortcut;
  SetTimer(hwnd_, kLetThroughTimerId, kShortcutPollMs, nullptr);
}

void TypeRequests::TakeShortcutsBack() {
  if (letThrough_ && WinHeldKeys{}.IsDown(ShortcutLetterKey(letThrough_))) return;
  KillTimer(hwnd_, kLetThroughTimerId);
  letThrough_ = 0;
  StoreChanged();
}

void TypeRequests::PollShortcuts() {
  const ShortcutQueue::Step step = shortcutQueue_.Poll(WinHeldKeys{}, typing_.Busy(), Now());
  if (!shortcutQueue_.Waiting()) KillTimer(hwnd_, kShortcutTimerId);
  if (!step.Dropped.empty()) {
    for (int shortcut : step.Dropped) std::erase(approvedShortcuts_, shortcut);
    typing_.Tell(ShortcutsDroppedMessage(step.Dropped));
  }
  for (int shortcut : step.Type) TypeShortcut(shortcut);
}

void TypeRequests::TypeShortcut(int shortcut) {
  // The keys were let go just now, in the window the user works in; a window that keeps
  // its focus while inactive told no event of its activation.
  FollowForeground(typing_.Tracker());
  if (typing_.TargetWindow() == 0) return;
  std::optional<ButtonRef> b;
  if (const auto approved = std::find(approvedShortcuts_.begin(), approvedShortcuts_.end(), shortcut);
      approved != approvedShortcuts_.end()) {
    approvedShortcuts_.erase(approved);
    if (ButtonRef owner = ShortcutOwner(TheStore(), shortcut)) b = owner;
    // The password box took the release of Ctrl and Alt.
    typing_.ReleaseCtrlAlt();
  } else {
    b = AskForShortcut(shortcut);
  }
  if (b) typing_.Type(TheStore().ButtonAt(b->Group, b->Button).String);
}

std::optional<ButtonRef> TypeRequests::AskForShortcut(int shortcut) {
  const ButtonRef b = ShortcutOwner(TheStore(), shortcut);
  if (!b || !typing_.MayType(TheStore(), b, TypingService::From::Elsewhere)) return std::nullopt;
  return b;
}

}  // namespace ks::app
