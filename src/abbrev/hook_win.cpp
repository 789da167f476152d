#include "abbrev/hook_win.h"

#include <cwchar>

#include "contract.h"

namespace ks::abbrev {

namespace {

// Messages of the hook's thread to itself (it has no window).
constexpr UINT kTakeList = WM_APP + 1;    // lParam: a std::vector<Abbreviation>* to own
constexpr UINT kWatchMouse = WM_APP + 2;  // wParam: on
constexpr UINT kFillLayout = WM_APP + 3;  // lParam: the layout whose table to read on
constexpr UINT kHookAgain = WM_APP + 4;   // after StandAside
// Entries of a layout's table read in one step: a few milliseconds where the system's
// translation is slowest, so that the user's keys never wait long behind it.
constexpr int kFillStep = 32;

// The one hook of the process, as the system's hook procedures find it. Set before the
// hook's thread starts and cleared after it has ended.
AbbreviationHook* g_hook = nullptr;

std::int64_t Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// The modifiers held now as the system has them, Caps Lock as given.
KeyState SystemKeys(bool capsLock) {
  KeyState state{};
  for (int key :
       {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(key) & 0x8000) state[static_cast<std::size_t>(key)] = 0x80;
  state[VK_CAPITAL] = capsLock ? 1 : 0;
  return state;
}

}  // namespace

bool IsPasswordField(HWND focus) {
  if (!focus || !(GetWindowLongPtrW(focus, GWL_STYLE) & ES_PASSWORD)) return false;
  // The bit is an edit control's (Edit, RichEdit, a framework's edit); other classes
  // give it other meanings.
  wchar_t name[80] = {};
  const int n = GetClassNameW(focus, name, 80);
  CharLowerBuffW(name, static_cast<DWORD>(n));
  return std::wcsstr(name, L"edit") != nullptr;
}

AbbreviationHook::AbbreviationHook(HWND receiver) : receiver_(receiver) {}

AbbreviationHook::~AbbreviationHook() { Stop(); }

bool AbbreviationHook::Start() {
  if (thread_ || g_hook) return false;
  std::unique_ptr<void, ThreadClose> ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return false;
  g_hook = this;
  ready_ = ready.get();
  installed_ = false;
  thread_.reset(CreateThread(nullptr, 0, &AbbreviationHook::ThreadMain, this, 0, &threadId_));
  if (thread_) WaitForSingleObject(ready.get(), INFINITE);
  ready_ = nullptr;
  if (!thread_ || !installed_) {
    if (thread_) WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    threadId_ = 0;
    g_hook = nullptr;
    return false;
  }
  return true;
}

void AbbreviationHook::Stop() {
  if (!thread_) return;
  PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  WaitForSingleObject(thread_.get(), INFINITE);
  thread_.reset();
  threadId_ = 0;
  g_hook = nullptr;
}

void AbbreviationHook::SetAbbreviations(std::vector<Abbreviation> list) {
  if (!thread_) {
    initial_ = std::move(list);
    return;
  }
  auto handed = std::make_unique<std::vector<Abbreviation>>(std::move(list));
  if (PostThreadMessageW(threadId_, kTakeList, 0, reinterpret_cast<LPARAM>(handed.get())))
    handed.release();  // the hook's thread owns it now
}

DWORD WINAPI AbbreviationHook::ThreadMain(void* self) {
  static_cast<AbbreviationHook*>(self)->Run();
  return 0;
}

void AbbreviationHook::Run() {
  MSG msg;
  // Gives the thread its queue before Start returns, so every later post has a place.
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  try {
    watch_.SetAbbreviations(initial_);
  } catch (const std::exception&) {
    watch_.SetAbbreviations({});  // nothing to watch rather than no hook
  }
  initial_.clear();
  watch_.Sync(SystemKeys((GetKeyState(VK_CAPITAL) & 1) != 0));
  capsLock_.store(watch_.Keys().CapsLock(), std::memory_order_relaxed);

  const HWND front = GetForegroundWindow();
  const DWORD thread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  FocusChanged(thread && GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus
                                                                           : front);
  // Wine tells focus changes only, Windows both; neither costs anything between changes.
  const HWINEVENTHOOK foreground =
      SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                      &AbbreviationHook::FocusEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  const HWINEVENTHOOK focus =
      SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                      &AbbreviationHook::FocusEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  keyboardHook_ = InstallKeyboardHook();
  installed_ = keyboardHook_ != nullptr;
  SetEvent(ready_);  // Start may return now; ready_ is not ours to touch after this

  if (keyboardHook_) Loop();

  if (focus) UnhookWinEvent(focus);
  if (foreground) UnhookWinEvent(foreground);
  WatchMouse(false);
  if (HHOOK h = keyboardHook_.exchange(nullptr)) UnhookWindowsHookEx(h);
  while (PeekMessageW(&msg, nullptr, kTakeList, kTakeList, PM_REMOVE))
    delete reinterpret_cast<std::vector<Abbreviation>*>(msg.lParam);
}

void AbbreviationHook::Loop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd != nullptr) {
      DispatchMessageW(&msg);
      continue;
    }
    try {
      switch (msg.message) {
        case kTakeList: {
          const std::unique_ptr<std::vector<Abbreviation>> list(
              reinterpret_cast<std::vector<Abbreviation>*>(msg.lParam));
          watch_.SetAbbreviations(*list);
          break;
        }
        case kWatchMouse:
          WatchMouse(msg.wParam != 0);
          break;
        case kFillLayout:
          FillLayout(static_cast<LayoutId>(msg.lParam));
          break;
        case kHookAgain:
          // Once for each time it was taken out; should the system refuse it now, the next
          // run's Return tries again.
          if (away_.exchange(false) && !(keyboardHook_ = InstallKeyboardHook())) away_ = true;
          watch_.Reset();
          watch_.Sync(SystemKeys(watch_.Keys().CapsLock()));
          // Nothing kept, so no click to watch for: every mouse event would wait for us.
          mouseWanted_ = false;
          WatchMouse(false);
          break;
        default:
          break;
      }
    } catch (const std::exception&) {
      // Out of memory: nothing watched is better than a hook that is gone.
      watch_.SetAbbreviations({});
      filling_ = false;
    }
  }
}

void AbbreviationHook::FillLayout(LayoutId layout) {
  // The system's translation is asked while no accent waits, so that it cannot compose
  // with one; the next key starts the reading again.
  if (watch_.Keys().AccentWaiting() || layouts_.Fill(layout, kFillStep) ||
      !PostThreadMessageW(GetCurrentThreadId(), kFillLayout, 0, static_cast<LPARAM>(layout)))
    filling_ = false;
}

HHOOK AbbreviationHook::InstallKeyboardHook() {
  return SetWindowsHookExW(WH_KEYBOARD_LL, &AbbreviationHook::KeyboardProc,
                           GetModuleHandleW(nullptr), 0);
}

void AbbreviationHook::StandAside() {
  HHOOK h = keyboardHook_.exchange(nullptr);
  if (!h) return;  // out since the last run, and put in again soon
  // Only a hook taken out is put in again: never two at once.
  if (UnhookWindowsHookEx(h))
    away_ = true;
  else
    keyboardHook_ = h;
}

void AbbreviationHook::Return() {
  if (thread_) PostThreadMessageW(threadId_, kHookAgain, 0, 0);
}

void AbbreviationHook::WatchMouse(bool on) {
  if (on && !mouseHook_) {
    mouseHook_ =
        SetWindowsHookExW(WH_MOUSE_LL, &AbbreviationHook::MouseProc, GetModuleHandleW(nullptr), 0);
  } else if (!on && mouseHook_) {
    UnhookWindowsHookEx(mouseHook_);
    mouseHook_ = nullptr;
  }
}

void AbbreviationHook::FocusChanged(HWND focus) {
  DWORD process = 0;
  frontThread_ = focus ? GetWindowThreadProcessId(focus, &process) : 0;
  watch_.SetFocusOurs(process == GetCurrentProcessId());
  // Another window, or another control: what was typed before is not before the caret.
  // Keys may have gone by unseen too (on the secure desktop): the held ones are asked.
  watch_.Sync(SystemKeys(watch_.Keys().CapsLock()));
  watch_.SetPasswordField(IsPasswordField(focus));
}

bool AbbreviationHook::OnKey(WPARAM message, const KBDLLHOOKSTRUCT& ev) {
  const std::int64_t start = timed_ ? Ticks() : 0;
  KeyEvent e;
  e.Vk = ev.vkCode & 0xFF;
  e.Scan = ev.scanCode;
  // Wine leaves the flag out for the release of a character sent as Unicode input.
  e.Up = (ev.flags & LLKHF_UP) != 0 || message == WM_KEYUP || message == WM_SYSKEYUP;
  e.Flags = ev.flags;
  e.ExtraInfo = ev.dwExtraInfo;

  watch_.SetTyping(typing_.load(std::memory_order_relaxed));
  watch_.SetRecording(recording_.load(std::memory_order_relaxed));
  // The layout of the focus's thread at this press: the user may switch it at any time.
  const auto layout = reinterpret_cast<LayoutId>(GetKeyboardLayout(frontThread_));
  const Seen seen = watch_.Key(e, layout);
  accentWaiting_.store(watch_.Keys().AccentWaiting(), std::memory_order_relaxed);
  capsLock_.store(watch_.Keys().CapsLock(), std::memory_order_relaxed);
  bool kept = false;
  if (seen.StopRun) PostMessageW(receiver_, contract::kUserKeyWhileTyping, e.Vk, 0);
  if (seen.Typed) {
    const Match& m = *seen.Typed;
    const LPARAM lengths =
        MAKELPARAM(static_cast<WORD>(m.Backspaces), static_cast<WORD>(m.Characters)) |
        static_cast<LPARAM>(static_cast<std::uint64_t>(m.Kept) << 32);
    // A key kept from the window must reach the program, or the user's character is lost.
    kept = PostMessageW(receiver_, contract::kAbbreviationTyped,
                        MAKEWPARAM(static_cast<WORD>(m.Group), static_cast<WORD>(m.Button)),
                        lengths) != FALSE &&
           m.Kept != 0;
  }
  if (watch_.Watching() && !filling_ && !layouts_.Complete(layout))
    filling_ = PostThreadMessageW(GetCurrentThreadId(), kFillLayout, 0,
                                  static_cast<LPARAM>(layout)) != FALSE;
  // A click can only move the caret away from characters the watch keeps: the mouse is
  // watched while there are some, and costs nothing otherwise.
  const bool wantMouse = !watch_.Kept().empty();
  if (wantMouse != mouseWanted_) {
    mouseWanted_ = wantMouse;
    PostThreadMessageW(GetCurrentThreadId(), kWatchMouse, wantMouse ? 1 : 0, 0);
  }
  if (timed_ && !e.Up && keyTimes_.size() < keyTimes_.capacity())
    keyTimes_.push_back(Ticks() - start);
  return kept;
}

void CALLBACK AbbreviationHook::FocusEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD,
                                           DWORD) {
  if (!g_hook || !hwnd) return;
  try {
    g_hook->FocusChanged(hwnd);
  } catch (const std::exception&) {
    g_hook->watch_.Reset();
  }
}

LRESULT CALLBACK AbbreviationHook::KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && g_hook) {
    try {
      if (g_hook->OnKey(wp, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp))) return 1;
    } catch (const std::exception&) {
      // Out of memory in the middle of a key: what was typed is no longer known.
      g_hook->watch_.Reset();
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK AbbreviationHook::MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && g_hook) {
    switch (wp) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
        g_hook->watch_.Reset();
        g_hook->mouseWanted_ = false;
        PostThreadMessageW(GetCurrentThreadId(), kWatchMouse, 0, 0);
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace ks::abbrev
