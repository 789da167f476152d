// The bar as the typing engine's host: a left press types the button's text into the
// window the user was working in, which the foreground tracker keeps in view.
#include <windowsx.h>

#include <optional>

#include "bar/groups.h"
#include "bar/main_win.h"
#include "typing/list_win.h"
#include "typing/ports_win.h"
#include "typing/typist.h"
#include "win/dialogs.h"

namespace ks {
namespace {

// How long a hand-over may wait for the target to take the foreground and settle there.
constexpr DWORD kHandOverBoundMs = 500;

}  // namespace

void TMainForm::StartForegroundTracker() {
  if (!typist_) return;
  if (!tracker_) tracker_ = std::make_unique<TargetTracker>(windowFacts_, typist_->TargetWindow);
  foregroundWatch_.Start();
  // A window that was in front before the watch began sends no event.
  FollowForeground();
}

void TMainForm::StopForegroundTracker() { foregroundWatch_.Stop(); }

void TMainForm::FollowForeground() {
  if (tracker_) tracker_->ForegroundChanged(ToWindowId(GetForegroundWindow()));
}

void TMainForm::ConsiderTarget(HWND fg) {
  if (tracker_) tracker_->BarActivated(ToWindowId(fg));
}

bool TMainForm::PressTypesInPlace(LPARAM mouseActivate) const {
  // Only a left press on a typing button or on Undo, in an enabled bar: everything else
  // (the group list, a drag, the menus, moving and sizing) activates it as a window would.
  const UINT mouse = HIWORD(mouseActivate);
  if (LOWORD(mouseActivate) != HTCLIENT || (mouse != WM_LBUTTONDOWN && mouse != WM_LBUTTONDBLCLK))
    return false;
  if (!tracker_ || !IsWindowEnabled(hwnd_) || drag_.pressed) return false;
  const DWORD at = GetMessagePos();
  POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  ScreenToClient(hwnd_, &p);
  HWND child = ChildWindowFromPointEx(hwnd_, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
  if (!child || (child != undoButton_ && ButtonIndexOf(child) == 0)) return false;
  return tracker_->TypesInPlace(ToWindowId(GetForegroundWindow()));
}

void TMainForm::ButtonMouseDown(int index, MouseButton button) {
  currentIndex_ = index;
  if (button == MouseButton::Left && typist_ && typist_->TargetWindow != 0)
    TypeButton(index);
  else if (button == MouseButton::Right)
    DragBegin(index);
  FocusDummy();
}

void TMainForm::TypeButton(int index) {
  if (!unlocked_) {
    TargetHold hold(tracker_.get());
    CheckPassword(*store_, unlocked_, *this);
  }
  if (!unlocked_ || !store_->Active().HasButton(index)) return;
  TypeIntoTarget(store_->Active().ButtonAt(index).String);
}

void TMainForm::TypeIntoTarget(const std::string& text) {
  ++typingRuns_;
  typist_->SendString(text);
  --typingRuns_;
}

void TMainForm::UndoTyping() {
  if (!typist_ || !typist_->HasTarget()) return;
  typist_->UndoTyping();
}

// ---- TypingHost and Dialogs ----

void TMainForm::ProcessMessages() { typingPump_(); }

bool TMainForm::WindowExists(WindowId w) { return ::ks::WindowExists(w); }

bool TMainForm::BringToForeground(WindowId w) {
  if (std::optional<std::string> why = WhyKeysCannotReach(windowFacts_, w)) {
    Message(*why);
    return false;
  }
  // The switch completes asynchronously: the target's thread still has to activate the
  // window and focus its control, and keys queued meanwhile land in the wrong place.
  if (foregroundWatch_.HandOver(ToHwnd(w), kHandOverBoundMs, [] { ProcessWaitingMessages(); }))
    return true;
  Message(ForegroundRefusedMessage(windowFacts_, w));
  return false;
}

void TMainForm::WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) {
  // Keys sent to the target wait in its thread's queue until it gets round to them, and a
  // program started now (a console window comes to the front at once) or the list picker
  // would take the foreground meanwhile. Nothing tells whether another thread's queue is
  // empty (a process's idle state, which WaitForInputIdle waits for, marks only the end of
  // its start-up, under Wine as well), but a message sent to the target is handled each
  // time its thread asks for the next message, and in between that thread handles one
  // queued message. So each round trip after the first sees at least one more queued
  // message handled: one round trip for each key event and each character it made, and a
  // few for the target's own messages, take the queue past the keys. A round trip on an
  // empty queue costs two thread switches; a target that hangs or crawls is given up on
  // after a bound.
  constexpr DWORD kBoundMs = 2000;
  HWND h = ToHwnd(w);
  if (!h || !IsWindow(h) || keyEvents == 0) return;
  const std::size_t roundTrips = 2 * keyEvents + 8;
  const DWORD start = GetTickCount();
  for (std::size_t i = 0; i < roundTrips; ++i) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= kBoundMs) return;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kBoundMs - spent, &ignored))
      return;  // hung, gone or too slow: typing goes on
  }
}

bool TMainForm::StartProgram(const std::string& program, const std::string& params) {
  return ShellOpen(hwnd_, program, params);
}

void TMainForm::Message(const std::string& text) {
  // A box in the middle of a typing run ("Unable to start ..."): the rest of the text
  // belongs in the window it was meant for, which the engine brings back after it.
  std::optional<TargetHold> hold;
  if (typingRuns_ > 0) hold.emplace(tracker_.get());
  win::ShowMessage(hwnd_, text);
}

std::optional<std::string> TMainForm::SelectFromList(const std::vector<std::string>& entries) {
  if (!around_.ListForm) return std::nullopt;
  return around_.ListForm->Pick(entries);
}

void TMainForm::ShowBarOnTop() {
  // After a pick the keys are on their way to the target: the bar comes back on top
  // without taking the foreground from it. A bar the user hid (a shortcut's pick) stays
  // hidden.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool TMainForm::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(hwnd_, text, title);
}

std::optional<std::string> TMainForm::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultText, bool preselect) {
  return win::InputQuery(hwnd_, caption, prompt, defaultText, preselect);
}

}  // namespace ks
