// Linked only into keystrum_probe.exe, a test build of the program: what the e2e driver
// cannot see or bring about from outside. The texts of the system menus, which another
// process cannot read under every platform; the balloons of the tray icon, which no
// platform lets another process read; a system that refuses part of the injected keys, as
// Windows does when a window of higher rights is in front, which Wine never does. The
// shipped keystrum.exe has no such queries, so no stranger can make it create anything or
// drop keys.
// The queries are contract::kQuerySysMenuText, kQueryBalloonText and kProbeLimitInput.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "contract.h"

namespace {

using ks::contract::kProbeLimitInput;
using ks::contract::kQueryBalloonText;
using ks::contract::kQuerySysMenuText;

// ---- the program's own imports, seen through ----

// Points the program's import of `function` from `dll` at `replacement` and gives the
// system's function, or 0 when the program does not import it. The program is linked
// statically, so every call it makes goes through this one slot.
ULONG_PTR ReplaceImport(const char* dll, const char* function, ULONG_PTR replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return 0;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       d->Name; ++d) {
    // Without the names' table the slots hold only addresses, which name nothing.
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0 ||
        !d->OriginalFirstThunk)
      continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD was = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &was))
        return 0;
      const ULONG_PTR system = slots->u1.Function;
      slots->u1.Function = replacement;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, was, &was);
      return system;
    }
  }
  return 0;
}

// ---- keys the system refuses ----

using SendInputFn = UINT(WINAPI*)(UINT, LPINPUT, int);
SendInputFn g_sendInput = nullptr;
std::atomic<bool> g_limited{false};
std::atomic<UINT> g_allowed{0};

// As the system answers when it blocks input: the events it inserted, the first ones,
// fewer than were given.
UINT WINAPI LimitedSendInput(UINT count, LPINPUT inputs, int size) {
  if (!g_limited) return g_sendInput(count, inputs, size);
  const UINT let = std::min(count, g_allowed.load());
  const UINT taken = let ? g_sendInput(let, inputs, size) : 0;
  g_allowed -= taken;
  if (taken < count) SetLastError(ERROR_ACCESS_DENIED);
  return taken;
}

// ---- balloons ----

using NotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
NotifyIconFn g_notifyIcon = nullptr;
SRWLOCK g_balloonLock = SRWLOCK_INIT;
std::wstring g_balloon;

BOOL WINAPI RecordingNotifyIcon(DWORD op, PNOTIFYICONDATAW data) {
  if (data && (data->uFlags & NIF_INFO)) {
    AcquireSRWLockExclusive(&g_balloonLock);
    g_balloon = data->szInfo;
    ReleaseSRWLockExclusive(&g_balloonLock);
  }
  return g_notifyIcon(op, data);
}

// Before WinMain: no call has gone out yet.
bool SeeThroughImports() {
  g_sendInput = reinterpret_cast<SendInputFn>(
      ReplaceImport("user32.dll", "SendInput", reinterpret_cast<ULONG_PTR>(&LimitedSendInput)));
  g_notifyIcon = reinterpret_cast<NotifyIconFn>(ReplaceImport(
      "shell32.dll", "Shell_NotifyIconW", reinterpret_cast<ULONG_PTR>(&RecordingNotifyIcon)));
  return g_sendInput && g_notifyIcon;
}
const bool g_seeing = SeeThroughImports();

// ---- the queries, answered by the bar ----

LRESULT CALLBACK BarProbe(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == kQuerySysMenuText) {
    HWND w = wp ? h : GetWindow(h, GW_OWNER);
    char text[256] = {};
    GetMenuStringA(GetSystemMenu(w, FALSE), static_cast<UINT>(lp), text, sizeof text,
                   MF_BYPOSITION);
    return GlobalAddAtomA(text);
  }
  if (msg == kQueryBalloonText) {
    std::wstring text;
    AcquireSRWLockExclusive(&g_balloonLock);
    text.swap(g_balloon);
    ReleaseSRWLockExclusive(&g_balloonLock);
    return text.empty() ? 0 : GlobalAddAtomW(text.c_str());
  }
  if (msg == kProbeLimitInput) {
    if (!g_seeing) return 0;
    g_allowed = static_cast<UINT>(wp);
    g_limited = lp != 0;
    return 1;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

// Watches the main thread's windows being created and puts the probe on the bar.
LRESULT CALLBACK WatchCreation(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    char cls[32] = {};
    if (m->message == WM_CREATE && GetClassNameA(m->hwnd, cls, sizeof cls) &&
        std::strcmp(cls, ks::contract::kBarClass) == 0)
      SetWindowSubclass(m->hwnd, &BarProbe, 1, 0);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// Runs before WinMain, on the thread that creates the windows.
const HHOOK g_watch = SetWindowsHookExA(WH_CALLWNDPROC, &WatchCreation, nullptr, GetCurrentThreadId());

}  // namespace
