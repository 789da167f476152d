// The bar as the typing engine's host: a left press types the button's text into the
// window the user was working in, which the foreground tracker keeps in view.
#include "bar/groups.h"
#include "bar/main_win.h"
#include "bar/target_rule.h"
#include "typing/list_win.h"
#include "typing/ports_win.h"
#include "typing/typist.h"
#include "win/dialogs.h"

namespace ks {
namespace {

constexpr UINT kForegroundInterval = 50;  // ms

}  // namespace

void TMainForm::StartForegroundTracker() {
  SetTimer(hwnd_, kForegroundTimerId, kForegroundInterval, nullptr);
  trackerRunning_ = true;
}

void TMainForm::StopForegroundTracker() {
  KillTimer(hwnd_, kForegroundTimerId);
  trackerRunning_ = false;
}

void TMainForm::FollowForeground() { ConsiderTarget(GetForegroundWindow()); }

void TMainForm::ConsiderTarget(HWND fg) {
  if (!typist_) return;
  DWORD pid = 0;
  // None of our own windows is ever the target: not a message box, not the hidden
  // application window the tray menu brings forward. Typing into them helps nobody.
  if (fg && GetWindowThreadProcessId(fg, &pid) && pid == GetCurrentProcessId()) return;
  // Nor is the desktop, which has the foreground when no program has it.
  if (fg && (fg == GetDesktopWindow() || fg == GetShellWindow())) return;
  // Nor the taskbar, which a click on the tray icon activates, or the Start menu.
  char cls[256] = {};
  if (fg && GetClassNameA(fg, cls, sizeof cls) > 0 && IsNeverTargetClass(cls)) return;
  HWND list = around_.ListForm ? around_.ListForm->hwnd() : nullptr;
  typist_->TrackForeground(ToWindowId(fg), ToWindowId(hwnd_), ToWindowId(list),
                           ToWindowId(around_.EditorWindow));
}

void TMainForm::ButtonMouseDown(int index, MouseButton button) {
  currentIndex_ = index;
  if (button == MouseButton::Left && typist_ && typist_->HasTarget())
    TypeButton(index);
  else if (button == MouseButton::Right)
    DragBegin(index);
  FocusDummy();
}

void TMainForm::TypeButton(int index) {
  if (!unlocked_) {
    // The question must not become the target the text is typed into.
    StopForegroundTracker();
    CheckPassword(*store_, unlocked_, *this);
    StartForegroundTracker();
  }
  if (!unlocked_) return;
  TypeIntoTarget(store_->ActiveData().String[index]);
}

void TMainForm::TypeIntoTarget(const std::string& text) {
  FocusDummy();
  BringToForeground(typist_->TargetWindow);
  ++typingRuns_;
  typist_->SendString(text);
  --typingRuns_;
}

void TMainForm::UndoTyping() {
  if (!typist_ || !typist_->HasTarget()) return;
  typist_->UndoTyping();
}

// ---- TypingHost and Dialogs ----

void TMainForm::ProcessMessages() { ProcessWaitingMessages(); }

bool TMainForm::WindowExists(WindowId w) { return ::ks::WindowExists(w); }

void TMainForm::BringToForeground(WindowId w) {
  HWND h = ToHwnd(w);
  if (!SetForegroundWindow(h)) return;
  // The switch completes asynchronously: the target's thread still has to activate the
  // window and focus its control, and a modal window of ours that just closed may hand
  // the activation back to its owner a moment later. Keys queued meanwhile land in the
  // wrong place, so wait until the target has held the foreground with a focused control
  // for a few polls in a row (boundedly: a target that never takes it gets the keys anyway).
  DWORD tid = GetWindowThreadProcessId(h, nullptr);
  int stable = 0;
  for (int i = 0; i < 100 && stable < 3; ++i) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    bool ok = GetForegroundWindow() == h && GetGUIThreadInfo(tid, &gti) && gti.hwndFocus;
    stable = ok ? stable + 1 : 0;
    if (!ok && GetForegroundWindow() != h) SetForegroundWindow(h);
    ProcessWaitingMessages();
    Sleep(5);
  }
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
  if (typingRuns_ == 0 || !typist_) {
    win::ShowMessage(hwnd_, text);
    return;
  }
  // A box in the middle of a typing run ("Unable to start ..."): it must not become the
  // target, and the rest of the text belongs in the window it was meant for.
  bool wasRunning = trackerRunning_;
  StopForegroundTracker();
  win::ShowMessage(hwnd_, text);
  if (wasRunning) StartForegroundTracker();
  BringToForeground(typist_->TargetWindow);
}

std::optional<std::string> TMainForm::SelectFromList(const std::vector<std::string>& entries) {
  if (!around_.ListForm) return std::nullopt;
  return around_.ListForm->Pick(entries);
}

void TMainForm::ShowBarOnTop() {
  // After a pick the keys are on their way to the target: the bar comes back on top
  // without taking the foreground from it.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

bool TMainForm::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(hwnd_, text, title);
}

std::optional<std::string> TMainForm::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultText, bool preselect) {
  return win::InputQuery(hwnd_, caption, prompt, defaultText, preselect);
}

}  // namespace ks
