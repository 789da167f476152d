#include "win/dpi.h"

#include "win/controls.h"

namespace ks::win {
namespace {

template <typename F>
F UserEntry(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    HDC dc = GetDC(nullptr);
    int d = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kBaseDpi;
    if (dc) ReleaseDC(nullptr, dc);
    return SaneDpi(d);
  }();
  return dpi;
}

int DpiOf(HWND h) {
  static const auto getDpiForWindow = UserEntry<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && h) {
    if (UINT d = getDpiForWindow(h)) return static_cast<int>(d);
  }
  return SystemDpi();
}

int DpiAt(POINT p) {
  // The monitor's own DPI comes from the shell's scaling library (Windows 8.1 on).
  static const auto forMonitor = [] {
    HMODULE shcore = LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  if (forMonitor && forMonitor(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), 0, &x, &y) == S_OK &&
      y > 0)
    return static_cast<int>(y);
  return SystemDpi();
}

int MetricAt(int index, int dpi) {
  static const auto forDpi = UserEntry<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(SaneDpi(dpi)));
  return MulDiv(GetSystemMetrics(index), SaneDpi(dpi), SystemDpi());
}

SIZE OuterSizeAt(HWND h, int cw, int ch, int dpi) {
  static const auto adjust = UserEntry<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, cw, ch};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(h, GWL_EXSTYLE));
  if (!adjust || !adjust(&r, style, FALSE, exStyle, static_cast<UINT>(SaneDpi(dpi))))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

UniqueFont MakePointFontAt(const char* face, int points, int dpi) {
  // From the points directly: scaling a height rounded at 96 DPI would round twice.
  return MakeFont(face, -MulDiv(points, SaneDpi(dpi), 72));
}

}  // namespace ks::win
