#pragma once
// What the two programs typed into (typing_target.exe and bench_target.exe) share with the
// tests and benchmarks that drive them: their window classes, the messages they answer and
// the start of their one window.
#include <windows.h>

#include <cstring>
#include <string>

namespace ks::helpers {

inline constexpr const char* kTypingTargetClass = "KsTypingTarget";
inline constexpr const char* kBenchTargetClass = "KsBenchTarget";
// The multi-line Edit that takes the keys, and the typing target's hidden key log.
inline constexpr int kTargetTextId = 100;
inline constexpr int kTargetLogId = 101;

// To the top-level window: forget everything typed so far.
inline constexpr UINT kTargetClear = WM_APP;
// The bench target only: the number of characters handled, and the performance-counter
// time of the first and of the last of them.
inline constexpr UINT kTargetCount = WM_APP + 1;
inline constexpr UINT kTargetFirstTime = WM_APP + 2;
inline constexpr UINT kTargetLastTime = WM_APP + 3;
// The bench target only: the time of the character handled at wParam (counting from 0 since
// the last clear), 0 when there is none yet. An abbreviation's own characters and the
// Backspaces that take them out come before its text's first.
inline constexpr UINT kTargetTimeOf = WM_APP + 4;

// Registers `className` with `proc` (a window procedure of the wide API), shows its window
// titled `title` in front, gives the focus to `*focus` (when given and set by then) and
// handles messages until the window closes. 1 when the window could not be made. Both
// names are ASCII.
inline int RunTargetWindow(const char* className, const char* title, WNDPROC proc,
                           HWND* focus = nullptr) {
  auto wide = [](const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); };
  const std::wstring cls = wide(className), caption = wide(title);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls.c_str();
  if (!RegisterClassW(&wc)) return 1;
  HWND main = CreateWindowExW(0, cls.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW, 100, 100,
                              400, 300, nullptr, nullptr, inst, nullptr);
  if (!main) return 1;
  ShowWindow(main, SW_SHOWNORMAL);
  SetForegroundWindow(main);
  if (focus && *focus) SetFocus(*focus);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace ks::helpers
