#include "typing/foreground_win.h"

#include <algorithm>
#include <vector>

#include "text/codepage_win.h"
#include "typing/ports_win.h"
#include "win/window.h"

namespace ks {
namespace {

ForegroundWatch* g_watch = nullptr;

// How long a hand-over may wait for the target to take the foreground and settle there.
constexpr DWORD kHandOverBoundMs = 500;

// How long a hand-over waits for the target's thread to report its focus once the window
// is in front, before it goes on without: a busy machine delays the event by tens of ms,
// and keys sent too early lose their Shift.
constexpr ULONGLONG kFocusGraceMs = 100;

}  // namespace

bool ForegroundWatch::Start() {
  if (Running()) return true;
  g_watch = this;
  // Out of context: the events come to this thread as messages, and nothing of ours is
  // loaded into other processes. Wine does not honour WINEVENT_SKIPOWNPROCESS, so our own
  // windows are left out by the tracker's rule instead.
  constexpr DWORD kFlags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  foreground_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                &ForegroundWatch::OnEvent, 0, 0, kFlags);
  focus_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                           &ForegroundWatch::OnEvent, 0, 0, kFlags);
  if (!Running()) g_watch = nullptr;
  return Running();
}

void ForegroundWatch::Stop() {
  if (foreground_) UnhookWinEvent(foreground_);
  if (focus_) UnhookWinEvent(focus_);
  foreground_ = focus_ = nullptr;
  if (g_watch == this) g_watch = nullptr;
}

void CALLBACK ForegroundWatch::OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG,
                                       DWORD thread, DWORD) {
  win::Guarded(
      [&] {
        ForegroundWatch* w = g_watch;
        if (!w) return;
        if (event == EVENT_OBJECT_FOCUS && thread == w->awaitedThread_) w->focusReported_ = true;
        // The event may be a moment old; whoever is told reads the foreground as it is now.
        if (w->moved_) w->moved_();
      },
      [] {});
}

namespace {

// Whether activating `w` moves the focus of its thread, which then tells of it by an event.
// A window that holds the focus itself keeps it while inactive, and its activation moves
// no focus and sends no event: for it the message alone ends the wait. The system does
// not always tell beforehand (under Wine the WM_CHAR counter of the typing bench was not
// reported as holding its focus while inactive), but a window without controls has
// nothing else to give its focus to, so it waits for the message alone too.
bool FocusWillMove(HWND w, DWORD thread) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  return !(GetGUIThreadInfo(thread, &gti) && gti.hwndFocus == w) &&
         GetWindow(w, GW_CHILD) != nullptr;
}

}  // namespace

bool ForegroundWatch::HandOver(HWND w, DWORD boundMs, const std::function<void()>& pump) {
  // Nothing to hand over, as at every press that types in place: asked first.
  if (GetForegroundWindow() == w) return true;
  const DWORD thread = GetWindowThreadProcessId(w, nullptr);
  if (!thread) return false;
  // The system names the new foreground at once, but the target's thread activates the
  // window, focuses its control and sets up its keyboard state only when it next takes
  // its messages; keys sent before that were seen to lose their Shift under Wine. So the
  // wait ends with the thread's focus event and then a message sent to it, which it
  // answers after what was sent to it before, its activation among them.
  const ULONGLONG grace = FocusWillMove(w, thread) ? kFocusGraceMs : 0;
  awaitedThread_ = thread;
  focusReported_ = false;
  if (!SetForegroundWindow(w)) {
    awaitedThread_ = 0;
    return false;
  }
  const ULONGLONG start = GetTickCount64();
  const ULONGLONG deadline = start + boundMs;
  ULONGLONG inFrontSince = 0;
  for (;;) {
    pump();
    const ULONGLONG now = GetTickCount64();
    const HWND fg = GetForegroundWindow();
    if (fg != w) {
      inFrontSince = 0;
      // A window of ours that closed just now hands the activation back to its owner.
      if (win::IsOwnWindow(fg)) SetForegroundWindow(w);
    } else {
      if (!inFrontSince) inFrontSince = now;
      if (focusReported_ || now - inFrontSince >= grace) {
        DWORD_PTR ignored = 0;
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 1;
        SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, left, &ignored);
        pump();
        if (GetForegroundWindow() == w) break;
        continue;
      }
    }
    if (now >= deadline) break;
    ULONGLONG wait = deadline - now;
    if (inFrontSince) wait = std::min(wait, inFrontSince + grace - now);
    // Woken by the target's focus event, a message of ours, or the grace running out.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(wait), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
  awaitedThread_ = 0;
  return GetForegroundWindow() == w;
}

bool TargetHandOver::WindowExists(WindowId w) { return ::ks::WindowExists(w); }

bool TargetHandOver::BringToForeground(WindowId w) {
  if (std::optional<std::string> why = WhyKeysCannotReach(facts_, w)) {
    tell_(*why);
    return false;
  }
  // The switch completes asynchronously: the target's thread still has to activate the
  // window and focus its control, and keys queued meanwhile land in the wrong place.
  if (watch_.HandOver(ToHwnd(w), kHandOverBoundMs, [] { ProcessWaitingMessages(); })) return true;
  tell_(ForegroundRefusedMessage(facts_, w));
  return false;
}

void TargetHandOver::WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) {
  // Keys sent to the target wait in its thread's queue until it gets round to them, and a
  // program started now (a console window comes to the front at once) or the list picker
  // would take the foreground meanwhile. Nothing tells whether another thread's queue is
  // empty (a process's idle state, which WaitForInputIdle waits for, marks only the end of
  // its start-up, under Wine as well), but a message sent to the target is handled each
  // time its thread asks for the next message, and mostly it takes one queued message in
  // between. Not always: a thread handles every sent message that is waiting before it
  // takes a queued one, so on a busy machine, where the target is held up between two
  // round trips, several pass with no key taken (two per key event and a few more left
  // keys behind in 4 of 10 presses with both processors busy). Six round trips for each key
  // event, and a few for the target's own messages, take the queue past the keys. A round
  // trip on an empty queue costs two thread switches; a target that hangs or crawls is
  // given up on after a bound.
  constexpr DWORD kBoundMs = 2000;
  HWND h = ToHwnd(w);
  if (!h || !IsWindow(h) || keyEvents == 0) return;
  const std::size_t roundTrips = 6 * keyEvents + 24;
  const DWORD start = GetTickCount();
  for (std::size_t i = 0; i < roundTrips; ++i) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= kBoundMs) return;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kBoundMs - spent, &ignored))
      return;  // hung, gone or too slow: typing goes on
  }
}

bool SystemWindowFacts::Exists(WindowId w) const {
  return IsWindow(reinterpret_cast<HWND>(w)) != FALSE;
}

bool SystemWindowFacts::IsOwn(WindowId w) const {
  return win::IsOwnWindow(reinterpret_cast<HWND>(w));
}

bool SystemWindowFacts::IsDesktop(WindowId w) const {
  HWND h = reinterpret_cast<HWND>(w);
  return h == GetDesktopWindow() || h == GetShellWindow();
}

std::string SystemWindowFacts::ClassName(WindowId w) const {
  wchar_t cls[256] = {};
  const int n = GetClassNameW(reinterpret_cast<HWND>(w), cls, 256);
  return n > 0 ? Utf8(std::wstring_view(cls, static_cast<std::size_t>(n))) : std::string();
}

std::string SystemWindowFacts::Title(WindowId w) const {
  // Another process's title through the message, which Wine answers where
  // GetWindowText does not; a hung window is not waited for.
  wchar_t title[256] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(reinterpret_cast<HWND>(w), WM_GETTEXT, 256,
                           reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 200, &n))
    return {};
  return Utf8(std::wstring_view(title, std::min<std::size_t>(n, 255)));
}

bool SystemWindowFacts::IsHung(WindowId w) const {
  return IsHungAppWindow(reinterpret_cast<HWND>(w)) != FALSE;
}

namespace {

std::optional<std::uint32_t> TokenIntegrity(HANDLE token) {
  DWORD size = 0;
  GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
  if (size == 0) return std::nullopt;
  std::vector<std::uint8_t> buffer(size);
  if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
    return std::nullopt;
  const auto* label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data());
  PSID sid = label->Label.Sid;
  if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
  return static_cast<std::uint32_t>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1));
}

std::optional<std::uint32_t> ProcessIntegrity(HANDLE process) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
  const std::optional<std::uint32_t> level = TokenIntegrity(token);
  CloseHandle(token);
  return level;
}

}  // namespace

std::optional<std::uint32_t> SystemWindowFacts::IntegrityLevel(WindowId w) const {
  if (w != 0 && w == levelOf_) return level_;
  DWORD pid = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(w), &pid);
  if (!pid) return std::nullopt;
  // The limited right is granted across integrity levels, where a full query is not.
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::nullopt;
  level_ = ProcessIntegrity(process);
  levelOf_ = w;
  CloseHandle(process);
  return level_;
}

std::optional<std::uint32_t> SystemWindowFacts::OwnIntegrityLevel() const {
  if (!own_) own_ = ProcessIntegrity(GetCurrentProcess());
  return *own_;
}

}  // namespace ks
