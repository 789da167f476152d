// The shortcut keys: Ctrl+Alt+letter types a button's text into the window the user
// works in, from anywhere, for a button of any group, as a left press on it would. And
// Ctrl+Alt+Space, which opens the find window, whose choice types the same way.
#include <algorithm>

#include "bar/main_win.h"
#include "bar/shortcuts_win.h"
#include "typing/ports_win.h"

namespace ks {
namespace {

std::int64_t Now() { return static_cast<std::int64_t>(GetTickCount64()); }

constexpr const char* kFindKeyTaken =
    "Ctrl+Alt+Space, the key of the find window, is used by another program. "
    "\"Find...\" in the tray menu and in the button menu opens the find window.";

}  // namespace

void BarWindow::StartShortcuts() {
  hotKeys_ = std::make_unique<WinHotKeys>(hwnd_);
  shortcutLayout_ = std::make_unique<WinShortcutLayout>();
  shortcuts_ = std::make_unique<ShortcutKeys>(*hotKeys_, *shortcutLayout_);
  shortcutMessage_ = shortcuts_->Start(*store_);
  // No repeats, as for the shortcut keys: a held key opens the window once.
  if (!RegisterHotKey(hwnd_, kFindHotKeyId, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT, VK_SPACE))
    shortcutMessage_ += (shortcutMessage_.empty() ? "" : "\n\n") + std::string(kFindKeyTaken);
  // Shown once the message loop runs, so that the start is not held up by it.
  if (!shortcutMessage_.empty()) PostMessageW(hwnd_, kShowShortcutMessage, 0, 0);
}

void BarWindow::UpdateShortcuts() {
  NoteChange();
  if (shortcuts_) shortcuts_->Update(*store_);
}

void BarWindow::StopShortcuts() {
  KillTimer(hwnd_, kShortcutTimerId);
  if (shortcuts_) shortcuts_->Stop();
  UnregisterHotKey(hwnd_, kFindHotKeyId);
}

ShortcutChoice BarWindow::ShortcutChosen(int32_t shortcut) {
  return shortcuts_ ? shortcuts_->Chosen(shortcut) : ShortcutChoice{};
}

std::optional<std::string> BarWindow::RefuseShortcutDone(int32_t shortcut) const {
  if (!shortcuts_ || !store_) return std::nullopt;
  return shortcuts_->RefuseDone(*store_, editing_, shortcut);
}

bool BarWindow::OwnWindowOpen() const {
  // A modal window of ours (a message, a question, the editor) disables the bar.
  if (!IsWindowEnabled(hwnd_)) return true;
  if (around_.EditorWindow && IsWindowVisible(around_.EditorWindow)) return true;
  HWND fg = GetForegroundWindow();
  return fg != hwnd_ && win::IsOwnWindow(fg);
}

void BarWindow::ShortcutFired(int shortcut) {
  // AltGr is Ctrl+Alt: on the layout of the window in front this key may be a character.
  if (shortcuts_ && shortcuts_->LetThrough(shortcut)) {
    LetShortcutThrough(shortcut);
    return;
  }
  // While the user works in a window of ours the keys are meant for it, not for a
  // target behind it. A typing run or a question of a shortcut only makes them wait.
  if (!typing_.Running() && questions_ == 0 && OwnWindowOpen()) return;
  // The window the user pressed the keys in is the target, even when the tracker has
  // not seen it yet.
  ConsiderTarget(GetForegroundWindow());
  if (!shortcutQueue_.Fired(shortcut, Now())) return;
  // A locked group's password is asked now, while the program may still take the
  // foreground for the box: after the wait for the keys it may no longer. The foreground
  // then goes back to the target at once, so typing needs no switch.
  const bool free = !typing_.Running() && questions_ == 0;
  if (free && ShortcutAsksPassword(*store_, shortcut, unlocked_)) {
    if (!AskForShortcut(shortcut)) {
      shortcutQueue_.DropLast();
      return;
    }
    FocusDummy();
    if (!around_.HandOver || !around_.HandOver->BringToForeground(typing_.TargetWindow())) {
      shortcutQueue_.DropLast();
      return;
    }
    approvedShortcuts_.push_back(shortcut);
  }
  // Polled only while a shortcut waits, so the program stays idle otherwise.
  if (shortcutQueue_.Waiting()) SetTimer(hwnd_, kShortcutTimerId, kShortcutPollMs, nullptr);
}

void BarWindow::LetShortcutThrough(int shortcut) {
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

void BarWindow::TakeShortcutsBack() {
  if (letThrough_ && WinHeldKeys{}.IsDown(static_cast<std::uint8_t>(ShortcutLetterKey(letThrough_))))
    return;
  KillTimer(hwnd_, kLetThroughTimerId);
  letThrough_ = 0;
  if (shortcuts_) shortcuts_->Update(*store_);
}

void BarWindow::PollShortcuts() {
  const bool busy = typing_.Running() || questions_ > 0;
  const ShortcutQueue::Step step = shortcutQueue_.Poll(WinHeldKeys{}, busy, Now());
  if (!shortcutQueue_.Waiting()) KillTimer(hwnd_, kShortcutTimerId);
  if (!step.Dropped.empty()) {
    for (int shortcut : step.Dropped) std::erase(approvedShortcuts_, shortcut);
    ++questions_;
    Message(ShortcutsDroppedMessage(step.Dropped));
    --questions_;
  }
  for (int shortcut : step.Type) TypeShortcut(shortcut);
}

void BarWindow::TypeShortcut(int shortcut) {
  // The keys were let go just now, in the window the user works in; a window that keeps
  // its focus while inactive told no event of its activation.
  FollowForeground();
  if (typing_.TargetWindow() == 0) return;
  std::optional<ButtonRef> b;
  if (const auto approved = std::find(approvedShortcuts_.begin(), approvedShortcuts_.end(), shortcut);
      approved != approvedShortcuts_.end()) {
    approvedShortcuts_.erase(approved);
    if (ButtonRef owner = ShortcutOwner(*store_, shortcut)) b = owner;
    // The password box took the release of Ctrl and Alt.
    typing_.ReleaseCtrlAlt();
  } else {
    b = AskForShortcut(shortcut);
  }
  if (!b) return;
  typing_.Type(store_->ButtonAt(b->Group, b->Button).String);
}

void BarWindow::FindKeyPressed() {
  // As for a shortcut: keys pressed in a window of ours are meant for it.
  if (OwnWindowOpen()) return;
  // The window the user pressed the keys in is the target, even when the tracker has
  // not seen it yet.
  ConsiderTarget(GetForegroundWindow());
  OpenFind();
}

void BarWindow::OpenFind() {
  // A question goes on in the window it has. A run's text goes on where it goes, and the
  // window opens once it is in: its last keys may still be on their way when the user,
  // seeing them, asks for the next.
  if (typing_.Running()) findAfterRun_ = true;
  if (!around_.OpenFind || typing_.Running() || questions_ > 0) return;
  around_.OpenFind(*store_, ToHwnd(typing_.TargetWindow()));
}

void BarWindow::TypeFound(int group, int button) {
  if (typing_.TargetWindow() == 0) return;
  const ButtonRef b{group, button};
  if (!HasButton(*store_, b) || !MayType(b)) return;
  // The find window took the release of Ctrl and Alt when its key opened it.
  typing_.ReleaseCtrlAlt();
  typing_.Type(store_->ButtonAt(group, button).String);
}

bool BarWindow::MayType(ButtonRef b) {
  // The target stays while the password is asked, as at a press.
  TargetHold hold(&typing_.Tracker());
  ++questions_;
  const bool mayType = AskPasswordFor(*store_, b, unlocked_, *this);
  --questions_;
  return mayType;
}

std::optional<ButtonRef> BarWindow::AskForShortcut(int shortcut) {
  // The target stays while the password is asked, as at a press.
  TargetHold hold(&typing_.Tracker());
  ++questions_;
  std::optional<ButtonRef> b = ShortcutPressed(*store_, shortcut, unlocked_, *this);
  --questions_;
  return b;
}

}  // namespace ks
