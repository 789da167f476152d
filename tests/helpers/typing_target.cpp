// A window to type into: one multi-line EDIT that takes every key, and a hidden
// EDIT that logs the key messages the first one received as "+VK:SCAN:EXT " (press)
// and "-VK:SCAN:EXT " (release), in hex, so a test in another process can read both
// with WM_GETTEXT. kTargetClear (target_window.h) clears both. Started with "--no-log" it
// keeps no log: a long run of typing then costs no more per key at its end than at its
// start; with "--rich" the first control is a RichEdit instead. Both are wide controls
// with a wide message loop, so a character of any script arrives as itself. With
// "--slow-keys" it takes 150 ms over every key press, as a program on a busy machine may,
// so keys wait in its queue for a while. With "--password" the first control is a one-line
// password field (ES_PASSWORD). Ctrl+A selects all of the first control's text.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "target_window.h"

namespace {

using ks::helpers::kTargetClear;
using ks::helpers::kTargetLogId;
using ks::helpers::kTargetTextId;

HWND g_text = nullptr;
HWND g_log = nullptr;
WNDPROC g_textProc = nullptr;
std::string g_logText;
bool g_logging = true;
bool g_rich = false;
bool g_password = false;
bool g_slowKeys = false;

LRESULT CALLBACK TextProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_slowKeys && msg == WM_KEYDOWN) Sleep(150);
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
  // Ctrl+A selects the whole text, as in most programs: Wine 8's EDIT ignores it.
  if (msg == WM_KEYDOWN && wp == 'A' && (GetKeyState(VK_CONTROL) & 0x8000) &&
      !(GetKeyState(VK_MENU) & 0x8000)) {
    SendMessageW(h, EM_SETSEL, 0, -1);
    return 0;
  }
  if (msg == WM_CHAR && wp == 1) return 0;  // the Ctrl+A character
  return CallWindowProcW(g_textProc, h, msg, wp, lp);
}

LRESULT CALLBACK MainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      HINSTANCE inst = reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance;
      if (g_rich) LoadLibraryW(L"riched20.dll");
      g_text = CreateWindowExW(WS_EX_CLIENTEDGE, g_rich ? L"RichEdit20W" : L"Edit", L"",
                               WS_CHILD | WS_VISIBLE |
                                   (g_password ? ES_PASSWORD | ES_AUTOHSCROLL
                                               : ES_MULTILINE | ES_AUTOVSCROLL),
                               0, 0, 380, 250, h, reinterpret_cast<HMENU>(kTargetTextId), inst, nullptr);
      g_log = CreateWindowExA(0, "Edit", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 10, 10, h,
                              reinterpret_cast<HMENU>(kTargetLogId), inst, nullptr);
      if (!g_text || !g_log) return -1;
      g_textProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(g_text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextProc)));
      return 0;
    }
    case WM_SETFOCUS:
      SetFocus(g_text);
      return 0;
    case kTargetClear:
      g_logText.clear();
      SetWindowTextA(g_log, "");
      SetWindowTextW(g_text, L"");
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(h, msg, wp, lp);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--no-log") == 0)
      g_logging = false;
    else if (std::strcmp(argv[i], "--rich") == 0)
      g_rich = true;
    else if (std::strcmp(argv[i], "--slow-keys") == 0)
      g_slowKeys = true;
    else if (std::strcmp(argv[i], "--password") == 0)
      g_password = true;
  return ks::helpers::RunTargetWindow(ks::helpers::kTypingTargetClass, "Typing target",
                                      &MainProc, &g_text);
}
