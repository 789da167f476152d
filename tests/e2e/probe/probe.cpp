// Linked only into keystrum_probe.exe, a test build of the program: the texts of the
// system menus, which another process cannot read under every platform, answered to the
// e2e driver. The shipped keystrum.exe has no such query, so no stranger can make it
// create anything.
// The query is contract::kQuerySysMenuText.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "contract.h"

namespace {

using ks::contract::kQuerySysMenuText;

LRESULT CALLBACK BarProbe(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == kQuerySysMenuText) {
    HWND w = wp ? h : GetWindow(h, GW_OWNER);
    char text[256] = {};
    GetMenuStringA(GetSystemMenu(w, FALSE), static_cast<UINT>(lp), text, sizeof text,
                   MF_BYPOSITION);
    return GlobalAddAtomA(text);
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
