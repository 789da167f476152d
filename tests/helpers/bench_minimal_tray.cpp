// The least a program with a notification-area icon has to do, as the yardstick for
// keystrum.exe's start-up time, idle load and memory: one hidden window that receives
// the icon's messages, the icon, a message loop. No timer, no files.
// Once the icon is in, a second hidden window of class "KsBenchTrayReady" is created:
// its existence tells the benchmark that Shell_NotifyIcon has returned. WM_CLOSE to
// either window removes the icon and ends the program.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kIconMessage = WM_USER + 1;

HWND g_host = nullptr;
bool g_iconAdded = false;

void RemoveIcon() {
  if (!g_iconAdded) return;
  NOTIFYICONDATAA nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = g_host;
  nid.uID = 0;
  Shell_NotifyIconA(NIM_DELETE, &nid);
  g_iconAdded = false;
}

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      RemoveIcon();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(h, msg, wp, lp);
  }
}

}  // namespace

int main() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Proc;
  wc.hInstance = inst;
  wc.lpszClassName = "KsBenchTrayHost";
  if (!RegisterClassA(&wc)) return 1;
  wc.lpszClassName = "KsBenchTrayReady";
  if (!RegisterClassA(&wc)) return 1;

  g_host = CreateWindowExA(WS_EX_TOOLWINDOW, "KsBenchTrayHost", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, inst, nullptr);
  if (!g_host) return 1;
  NOTIFYICONDATAA nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = g_host;
  nid.uID = 0;
  nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  nid.uCallbackMessage = kIconMessage;
  nid.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpynA(nid.szTip, "Minimal", sizeof nid.szTip);
  g_iconAdded = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
  if (!g_iconAdded) return 2;
  if (!CreateWindowExA(WS_EX_TOOLWINDOW, "KsBenchTrayReady", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                       nullptr, inst, nullptr)) {
    RemoveIcon();
    return 1;
  }

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  RemoveIcon();
  return 0;
}
