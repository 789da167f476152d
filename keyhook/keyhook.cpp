// keystrum.dll: a low-level keyboard hook that copies the user's keystrokes to one window.
//
// The hook lives on a thread of its own that pumps its own messages: a low-level hook is
// called on the thread that installed it, so the host's UI thread may be blocked in a modal
// loop, a message box or a long typing run without stalling anybody's keyboard.
#include "keyhook.h"

#include <atomic>
#include <cstdint>
#include <memory>

#include "contract.h"
#include "keys/hook_keys.h"

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

HMODULE g_self = nullptr;

// Serialises Start and Stop; the hook thread never takes it.
SRWLOCK g_control = SRWLOCK_INIT;
UniqueHandle g_thread;
DWORD g_threadId = 0;

// Read by the hook on every key; cleared before the thread is told to end, so nothing
// reaches a window after Stop has begun.
std::atomic<HWND> g_receiver{nullptr};

// The precomposed form of a letter and an accent's combining mark, as the system composes
// them; 0 when there is none.
char16_t Precomposed(char16_t base, char16_t mark) {
  const wchar_t pair[2] = {static_cast<wchar_t>(base), static_cast<wchar_t>(mark)};
  wchar_t out[4] = {};
  if (FoldStringW(MAP_PRECOMPOSED, pair, 2, out, 4) != 1) return 0;
  return static_cast<char16_t>(out[0]);
}

// The keyboard as the hook has seen it, for the previous-state bit and for turning keys into
// characters, with the accent of a dead key pressed before. Touched only by the hook thread,
// reset by it before the hook goes in.
ks::keys::SeenKeyboard g_seen(&Precomposed);

// The layout of the window the user is typing into.
class ForegroundLayout : public ks::keys::KeyTranslator {
 public:
  int Translate(std::uint32_t key, std::uint32_t scanCode, const ks::keys::KeyState& state,
                char16_t* out, int capacity) override {
    const HWND foreground = GetForegroundWindow();
    const HKL layout =
        GetKeyboardLayout(foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0);
    wchar_t chars[8] = {};
    // Flag 4 keeps the layout's pending dead key untouched, so asking about a key here never
    // eats the accent the user is about to type into the other program; the accent is
    // followed by the caller instead.
    const int n = ToUnicodeEx(key, scanCode, state.data(), chars, capacity < 8 ? capacity : 8, 4,
                              layout);
    // A dead key (n < 0) leaves its spacing accent in the first place.
    for (int i = 0; i < (n < 0 ? 1 : n); ++i) out[i] = static_cast<char16_t>(chars[i]);
    return n;
  }
};

// Sent, not posted: a posted WM_KEYDOWN goes through the receiver's TranslateMessage, which
// would make a second WM_CHAR from it, and through IsDialogMessage, which would turn a Tab
// into a focus move. A notify-send is queued for the window procedure alone, in order, and
// returns at once, so a busy or hung receiver never holds the user's keyboard.
void Deliver(HWND receiver, UINT msg, WPARAM wp, LPARAM lp) {
  SendNotifyMessageW(receiver, msg, wp, lp);
}

void OnKey(WPARAM message, const KBDLLHOOKSTRUCT& ev) {
  const DWORD vk = ev.vkCode & 0xFF;
  // Wine leaves the flag out for the release of a character sent as Unicode input; the
  // message says it all the same.
  const bool up = (ev.flags & LLKHF_UP) != 0 || message == WM_KEYUP || message == WM_SYSKEYUP;
  const bool wasDown = g_seen.Key(vk, up);

  const HWND receiver = g_receiver.load();
  if (!receiver || !IsWindow(receiver)) return;  // a receiver that has gone just drops keys

  LPARAM lp = 1 | static_cast<LPARAM>(ev.scanCode & 0xFF) << 16;
  if (ev.flags & LLKHF_EXTENDED) lp |= LPARAM{1} << 24;
  if (up || wasDown) lp |= LPARAM{1} << 30;
  if (up) lp |= LPARAM{1} << 31;

  const WPARAM key = ks::keys::GenericKey(vk);
  if (up) {
    Deliver(receiver, WM_KEYUP, key, lp);
    return;
  }
  Deliver(receiver, WM_KEYDOWN, key, lp);
  ForegroundLayout layout;
  for (char16_t c : g_seen.CharsFor(vk, ev.scanCode, layout)) Deliver(receiver, WM_CHAR, c, lp);
}

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* ev = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    if (ev->dwExtraInfo != ks::contract::kInjectTag) OnKey(wp, *ev);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

struct StartSignal {
  HANDLE ready;
  bool installed;
};

// Runs with a reference on this library that it drops as its very last act
// (FreeLibraryAndExitThread), so the code under a running hook can never be unmapped, even
// by a host that frees the library without stopping first.
DWORD WINAPI HookThreadMain(void* param) {
  auto* signal = static_cast<StartSignal*>(param);
  MSG msg;
  // Gives the thread its queue before Start returns, so Stop's WM_QUIT always has a place.
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

  g_seen.Reset((GetKeyState(VK_CAPITAL) & 1) != 0);
  const HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, g_self, 0);
  signal->installed = hook != nullptr;
  SetEvent(signal->ready);  // `signal` belongs to Start and is gone after this

  if (hook) {
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
  }
  FreeLibraryAndExitThread(g_self, 0);
}

void StopLocked() {
  if (!g_thread) return;
  g_receiver.store(nullptr);
  PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
  WaitForSingleObject(g_thread.get(), INFINITE);
  g_thread.reset();
  g_threadId = 0;
}

bool StartLocked(HWND receiver) {
  HMODULE pin = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&HookThreadMain), &pin)) {
    return false;
  }
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) {
    FreeLibrary(pin);
    return false;
  }
  StartSignal signal{ready.get(), false};
  g_receiver.store(receiver);
  DWORD threadId = 0;
  UniqueHandle thread(CreateThread(nullptr, 0, HookThreadMain, &signal, 0, &threadId));
  if (!thread) {
    g_receiver.store(nullptr);
    FreeLibrary(pin);
    return false;
  }
  // From here the thread owns the pin. It signals `ready` before anything else can end it.
  WaitForSingleObject(ready.get(), INFINITE);
  if (!signal.installed) {
    g_receiver.store(nullptr);
    WaitForSingleObject(thread.get(), INFINITE);
    return false;
  }
  g_thread = std::move(thread);
  g_threadId = threadId;
  return true;
}

class ControlLock {
 public:
  ControlLock() { AcquireSRWLockExclusive(&g_control); }
  ~ControlLock() { ReleaseSRWLockExclusive(&g_control); }
  ControlLock(const ControlLock&) = delete;
  ControlLock& operator=(const ControlLock&) = delete;
};

}  // namespace

extern "C" BOOL WINAPI KeyHook_Start(HWND receiver) {
  ControlLock lock;
  StopLocked();
  if (!receiver || !IsWindow(receiver)) return FALSE;
  return StartLocked(receiver) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI KeyHook_Stop() {
  ControlLock lock;
  StopLocked();
  return TRUE;
}

extern "C" BOOL WINAPI KeyHook_CharactersAsTyped() { return TRUE; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_self = instance;
  return TRUE;
}
