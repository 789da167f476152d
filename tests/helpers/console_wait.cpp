// A console program for {RUN ...}: started from a program without a console it opens a
// console window of its own, which takes the foreground. At its start it notes what the
// typing target held then, in the target's title ("started after: <text>"), so a test
// can tell whether the keys typed before it had arrived; then it ends after a moment.
#include <windows.h>

#include <cstdio>
#include <string>

#include "target_window.h"

int main() {
  if (HWND target = FindWindowA(ks::helpers::kTypingTargetClass, nullptr)) {
    char text[256] = {};
    SendMessageA(GetDlgItem(target, ks::helpers::kTargetTextId), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    const std::string title = std::string("started after: ") + text;
    SendMessageA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
  }
  std::puts("console_wait: ending in a moment");
  Sleep(1500);
  return 0;
}
