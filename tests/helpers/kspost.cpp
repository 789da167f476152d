// Posts one message to the first top-level window of a class: a way to drive a running
// program by hand, e.g. `kspost TTrayIcon 1025 0 514` is a left click on the tray icon.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: kspost CLASS MSG WPARAM LPARAM\n");
    return 2;
  }
  HWND h = FindWindowA(argv[1], nullptr);
  if (!h) {
    std::fprintf(stderr, "no window of class %s\n", argv[1]);
    return 1;
  }
  auto num = [](const char* s) { return static_cast<LONG_PTR>(std::strtoll(s, nullptr, 0)); };
  return PostMessageA(h, static_cast<UINT>(num(argv[2])), static_cast<WPARAM>(num(argv[3])),
                      static_cast<LPARAM>(num(argv[4])))
             ? 0
             : 1;
}
