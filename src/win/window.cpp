#include "win/window.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "contract.h"
#include "text/codepage_win.h"
#include "win/dpi.h"

namespace ks::win {

Window::~Window() {
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::CreateWin(const char* className, DWORD exStyle, const char* title, DWORD style, int x,
                       int y, int w, int h, HWND owner, HICON icon, UINT classStyle) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  const std::wstring wideClass = Wide(className);
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(inst, wideClass.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = wideClass.c_str();
    wc.hIcon = icon;
    wc.hIconSm = icon;
    if (!RegisterClassExW(&wc)) return false;
  }
  return CreateWindowExW(exStyle, wideClass.c_str(), Wide(title ? title : "").c_str(), style, x,
                         y, w, h, owner, nullptr, inst, this) != nullptr;
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
  wchar_t wide[512];
  if (!MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 512)) wide[0] = L'\0';
  wide[511] = L'\0';
  OutputDebugStringW(wide);
  // One box: the same fault in a message that comes again would otherwise bury the user.
  static bool shown = false;
  if (shown) return;
  shown = true;
  wchar_t title[64];
  if (!MultiByteToWideChar(CP_UTF8, 0, contract::kTitle, -1, title, 64)) title[0] = L'\0';
  MessageBoxW(nullptr, wide, title, MB_OK | MB_ICONERROR | MB_TOPMOST);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT CALLBACK Window::StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(h, msg, wp, lp);
  LRESULT r = Guarded([&] { return self->HandleMessage(msg, wp, lp); },
                      [&] { return DefWindowProcW(h, msg, wp, lp); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return r;
}

bool IsOwnWindow(HWND h) {
  DWORD pid = 0;
  return h && GetWindowThreadProcessId(h, &pid) && pid == GetCurrentProcessId();
}

std::string GetText(HWND h) {
  int n = GetWindowTextLengthW(h);
  if (n <= 0) return {};
  std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
  int got = GetWindowTextW(h, buf.data(), n + 1);
  return Utf8(std::wstring_view(buf.data(), static_cast<size_t>(got > 0 ? got : 0)));
}

void SetText(HWND h, const std::string& s) { SetWindowTextW(h, Wide(s).c_str()); }

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
