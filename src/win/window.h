#pragma once
// The smallest window binding: a base with a static WndProc that stores `this` at
// WM_NCCREATE and hands every message to one virtual member, behind the one barrier that
// keeps C++ exceptions from crossing into the system.
#include <windows.h>

#include <memory>
#include <string>

namespace ks::win {

// Reports the exception being handled: the first one in a message box, every one to the
// debugger. Only inside a catch block.
void ReportEscapedException() noexcept;

// Runs `handle` (a window, subclass, dialog or hook procedure's work) and returns its
// answer. An exception never leaves: it is reported and `fallback` answers instead,
// normally the system's default handling of the message.
template <class Handle, class Fallback>
auto Guarded(Handle&& handle, Fallback&& fallback) noexcept -> decltype(handle()) {
  try {
    return handle();
  } catch (...) {
    ReportEscapedException();
  }
  return fallback();
}

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once (by name) and creates the window with `this` bound to it.
  // Names and title are UTF-8; the class is a wide one, so its window takes any text.
  bool CreateWin(const char* className, DWORD exStyle, const char* title, DWORD style, int x,
                 int y, int w, int h, HWND owner, HICON icon = nullptr,
                 UINT classStyle = CS_DBLCLKS);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }
  // Moved to a display of another DPI (WM_DPICHANGED, `lp` its suggested rectangle): the
  // window takes the place and the size the system suggests for it there.
  void TakeSuggestedRect(LPARAM lp) {
    const RECT* r = reinterpret_cast<const RECT*>(lp);
    SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HWND hwnd_ = nullptr;

 private:
  static LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
};

// Whether `h` is a window of this process.
bool IsOwnWindow(HWND h);

// Text of a window, UTF-8.
std::string GetText(HWND h);
void SetText(HWND h, const std::string& s);

// Client size <-> outer size for a window's current styles.
SIZE OuterSizeForClient(HWND h, int clientW, int clientH);
void SetClientSize(HWND h, int clientW, int clientH);
RECT ClientRectOf(HWND h);

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct GdiDeleter {
  void operator()(HGDIOBJ o) const {
    if (o) DeleteObject(o);
  }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;

}  // namespace ks::win
