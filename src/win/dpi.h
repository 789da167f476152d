#pragma once
// The DPI a window is shown at and the system's measures at that DPI. The per-monitor
// entry points are looked up at run time: systems before Windows 10 1607 and older Wine
// lack them, and there every window is at the system DPI.
#include <windows.h>

#include "common/dpi.h"
#include "win/window.h"

namespace ks::win {

// The DPI the process was started at (the primary monitor's, for a per-monitor aware
// process on current Windows).
int SystemDpi();

// The DPI of the monitor `h` is on; the system DPI where windows have no DPI of their own.
int DpiOf(HWND h);

// The DPI of the monitor that holds the screen point `p` (or is nearest to it).
int DpiAt(POINT p);

// GetSystemMetrics at `dpi`.
int MetricAt(int index, int dpi);

// The outer size of a window with `h`'s styles around a client area of cw x ch at `dpi`.
SIZE OuterSizeAt(HWND h, int cw, int ch, int dpi);

// A font of `face` of `points` points for a window at `dpi`.
UniqueFont MakePointFontAt(const char* face, int points, int dpi);

}  // namespace ks::win
