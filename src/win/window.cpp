#include "win/window.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "contract.h"
#include "win/dpi.h"

namespace ks::win {

Window::~Window() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::CreateWin(const char* className, DWORD exStyle, const char* title, DWORD style, int x,
                       int y, int w, int h, HWND owner, HICON icon, UINT classStyle) {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  if (!GetClassInfoExA(inst, className, &wc)) {
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    wc.hIcon = icon;
    wc.hIconSm = icon;
    if (!RegisterClassExA(&wc)) return false;
  }
  return CreateWindowExA(exStyle, className, title, style, x, y, w, h, owner, nullptr, inst,
                         this) != nullptr;
}

void ReportEscapedException() noexcept {
  const char* what = "unknown exception";
  try {
    throw;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  // Without allocating: the exception may be the lack of memory.
  char text[512];
  snprintf(text, sizeof text, "Keystrum met an unexpected error and carries on: %s\n", what);
  OutputDebugStringA(text);
  // One box: the same fault in a message that comes again would otherwise bury the user.
  static bool shown = false;
  if (shown) return;
  shown = true;
  MessageBoxA(nullptr, text, contract::kTitle, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT CALLBACK Window::StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(h, msg, wp, lp);
  LRESULT r = Guarded([&] { return self->HandleMessage(msg, wp, lp); },
                      [&] { return DefWindowProcA(h, msg, wp, lp); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return r;
}

std::string GetText(HWND h) {
  int n = GetWindowTextLengthA(h);
  if (n <= 0) return {};
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  int got = GetWindowTextA(h, buf.data(), n + 1);
  return std::string(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void SetText(HWND h, const std::string& s) { SetWindowTextA(h, s.c_str()); }

SIZE OuterSizeForClient(HWND h, int clientW, int clientH) {
  return OuterSizeAt(h, clientW, clientH, DpiOf(h));
}

void SetClientSize(HWND h, int clientW, int clientH) {
  SIZE s = OuterSizeForClient(h, clientW, clientH);
  SetWindowPos(h, nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ClientRectOf(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return r;
}

}  // namespace ks::win
