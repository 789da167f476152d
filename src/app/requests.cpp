#include "app/requests.h"

#include "contract.h"
#include "typing/foreground_win.h"

namespace ks::app {

TypeRequests::TypeRequests(Session& session, TypingService& typing, ForegroundHandOver& handOver,
                           std::function<void(const Store& store, HWND target)> openFind)
    : session_(session), typing_(typing), handOver_(handOver), openFind_(std::move(openFind)) {}

TypeRequests::~TypeRequests() { Stop(); }

bool TypeRequests::Start(HWND bar, HWND editor) {
  bar_ = bar;
  editor_ = editor;
  // A message-only window: nobody sees it, and the hot keys and the hook's news reach it.
  if (!CreateWin("KeystrumRequests", 0, "", 0, 0, 0, 0, 0, HWND_MESSAGE)) return false;
  StartShortcuts();
  return true;
}

void TypeRequests::Stop() { StopShortcuts(); }

LRESULT TypeRequests::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kShortcutTimerId) PollShortcuts();
      if (wp == kLetThroughTimerId) TakeShortcutsBack();
      return 0;
    case WM_HOTKEY:
      if (wp == kFindHotKeyId)
        FindKeyPressed();
      else
        ShortcutFired(static_cast<int>(wp));
      return 0;
    case contract::kAbbreviationTyped:
      AbbreviationTyped(wp, lp);
      return 0;
    case contract::kUserKeyWhileTyping:
      typing_.UserKey();
      return 0;
    case kShowShortcutMessage:
      if (!shortcutMessage_.empty()) typing_.Tell(shortcutMessage_);
      return 0;
    default:
      return Default(msg, wp, lp);
  }
}

bool TypeRequests::OwnWindowOpen() const {
  // A modal window of ours (a message, a question, the editor) disables the bar.
  if (!IsWindowEnabled(bar_)) return true;
  if (editor_ && IsWindowVisible(editor_)) return true;
  HWND fg = GetForegroundWindow();
  return fg != bar_ && win::IsOwnWindow(fg);
}

void TypeRequests::TypingChanged(bool typing) {
  if (typing || !findAfterRun_) return;
  findAfterRun_ = false;
  PostMessageW(hwnd_, WM_HOTKEY, kFindHotKeyId, 0);
}

// ---- the find window ----

void TypeRequests::FindKeyPressed() {
  // As for a shortcut: keys pressed in a window of ours are meant for it.
  if (OwnWindowOpen()) return;
  // The window the user pressed the keys in is the target, even when the tracker has
  // not seen it yet.
  ConsiderTarget(typing_.Tracker(), GetForegroundWindow());
  OpenFind();
}

void TypeRequests::OpenFind() {
  // A question goes on in the window it has. A run's text goes on where it goes, and the
  // window opens once it is in: its last keys may still be on their way when the user,
  // seeing them, asks for the next.
  if (typing_.Running()) findAfterRun_ = true;
  if (!openFind_ || typing_.Busy()) return;
  openFind_(TheStore(), ToHwnd(typing_.TargetWindow()));
}

void TypeRequests::Found(int group, int button) {
  if (typing_.TargetWindow() == 0) return;
  const ButtonRef b{group, button};
  if (!typing_.MayType(TheStore(), b, TypingService::From::Elsewhere)) return;
  // The find window took the release of Ctrl and Alt when its key opened it.
  typing_.ReleaseCtrlAlt();
  typing_.Type(TheStore().ButtonAt(group, button).String);
}

// ---- abbreviations ----

void TypeRequests::AbbreviationTyped(WPARAM button, LPARAM lengths) {
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

bool TypeRequests::TypeAbbreviation(ButtonRef b, Erase erase) {
  // As for a shortcut: what is typed in a window of ours is meant for it. During a run or
  // a question the hook is told to watch nothing, so a match then is stale.
  if (typing_.Busy() || OwnWindowOpen() || !HasButton(TheStore(), b)) return false;
  // The window the abbreviation was typed in is the target, and only that one: a text
  // typed elsewhere would not replace it.
  HWND front = GetForegroundWindow();
  ConsiderTarget(typing_.Tracker(), front);
  if (typing_.TargetWindow() != ToWindowId(front)) return false;
  // The abbreviation stays where it was typed until the password is given.
  return typing_.TypeButton(TheStore(), b, TypingService::From::Elsewhere, erase);
}

}  // namespace ks::app
