// The least a program has to do to show a window like the find window on a hot key, as the
// yardstick for keystrum.exe's: a hidden topmost tool window with one Edit and a list below
// it, made at start; the hot key shows it at the mouse pointer in front of every window
// with the keyboard focus in the Edit; Esc hides it and gives the foreground back to the
// window that had it. No store, no filter, nothing drawn but by the system.
// Its hot key is Ctrl+Alt+Shift+Space, since keystrum.exe holds Ctrl+Alt+Space beside it.
// WM_CLOSE to its window ends it.
#include <windows.h>

namespace {

constexpr const char* kClass = "KsBenchFind";
constexpr int kWidth = 480, kHeight = 380;

HWND g_window = nullptr;
HWND g_edit = nullptr;
HWND g_previous = nullptr;

void Show() {
  g_previous = GetForegroundWindow();
  POINT p{};
  GetCursorPos(&p);
  SetWindowPos(g_window, HWND_TOPMOST, p.x - kWidth / 2, p.y + 12, kWidth, kHeight,
               SWP_SHOWWINDOW);
  SetForegroundWindow(g_window);
  SetFocus(g_edit);
}

void Hide() {
  if (g_previous) SetForegroundWindow(g_previous);
  ShowWindow(g_window, SW_HIDE);
}

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_HOTKEY:
      Show();
      return 0;
    case WM_CLOSE:
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
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassA(&wc)) return 1;
  g_window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, "Find",
                             WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0, kWidth, kHeight,
                             nullptr, nullptr, inst, nullptr);
  if (!g_window) return 1;
  g_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                           4, 4, kWidth - 10, 24, g_window, nullptr, inst, nullptr);
  CreateWindowExA(WS_EX_CLIENTEDGE, "ListBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 4, 32,
                  kWidth - 10, kHeight - 38, g_window, nullptr, inst, nullptr);
  if (!RegisterHotKey(g_window, 1, MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_NOREPEAT, VK_SPACE))
    return 2;

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      Hide();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
