// A window to type into: one multi-line EDIT that takes every key, and a hidden
// EDIT that logs the key messages the first one received as "+VK:SCAN:EXT " (press)
// and "-VK:SCAN:EXT " (release), in hex, so a test in another process can read both
// with WM_GETTEXT. WM_APP clears both. Started with "--no-log" it keeps no log: a long
// run of typing then costs no more per key at its end than at its start.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kTextId = 100;
constexpr int kLogId = 101;
constexpr UINT kClear = WM_APP;

HWND g_text = nullptr;
HWND g_log = nullptr;
WNDPROC g_textProc = nullptr;
std::string g_logText;
bool g_logging = true;

LRESULT CALLBACK TextProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_logging &&
      (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP)) {
    const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    char entry[32];
    std::snprintf(entry, sizeof entry, "%c%02X:%02X:%u ", down ? '+' : '-',
                  static_cast<unsigned>(wp & 0xFF), static_cast<unsigned>((lp >> 16) & 0xFF),
                  static_cast<unsigned>((lp >> 24) & 1));
    g_logText += entry;
    SetWindowTextA(g_log, g_logText.c_str());
  }
  return CallWindowProcA(g_textProc, h, msg, wp, lp);
}

LRESULT CALLBACK MainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      HINSTANCE inst = reinterpret_cast<CREATESTRUCTA*>(lp)->hInstance;
      g_text = CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", "",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 380,
                               250, h, reinterpret_cast<HMENU>(kTextId), inst, nullptr);
      g_log = CreateWindowExA(0, "Edit", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10, h,
                              reinterpret_cast<HMENU>(kLogId), inst, nullptr);
      if (!g_text || !g_log) return -1;
      g_textProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(g_text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextProc)));
      return 0;
    }
    case WM_SETFOCUS:
      SetFocus(g_text);
      return 0;
    case kClear:
      g_logText.clear();
      SetWindowTextA(g_log, "");
      SetWindowTextA(g_text, "");
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(h, msg, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--no-log") == 0) g_logging = false;
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &MainProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "KsTypingTarget";
  if (!RegisterClassA(&wc)) return 1;
  HWND main = CreateWindowExA(0, wc.lpszClassName, "Typing target", WS_OVERLAPPEDWINDOW, 100, 100,
                              400, 300, nullptr, nullptr, inst, nullptr);
  if (!main) return 1;
  ShowWindow(main, SW_SHOWNORMAL);
  SetForegroundWindow(main);
  SetFocus(g_text);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
