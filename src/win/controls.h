#pragma once
// Small free helpers for building forms out of standard controls.
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "win/window.h"

namespace ks::win {

// A child control with the given font; WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS are added,
// so overlapping siblings paint in their z-order.
HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
                   int x, int y, int w, int h, int id, HFONT font);

// A font by face and height in logical units (negative: character height, as LOGFONT).
UniqueFont MakeFont(const char* face, int height);
// The forms' own font: the design face (the settings' default button font) at a height
// in pixels at 96 DPI, made for a window at `dpi`.
inline constexpr int kFormFontHeight = -13;   // lists, edits, labels
inline constexpr int kSmallFontHeight = -11;  // the bar's Undo button
UniqueFont MakeDesignFont(int dpi, int height = kFormFontHeight);
// A point size as a font height at the system DPI (negative: character height), and back:
// the font dialog's measures.
int PointsToHeight(int points);
int HeightToPoints(int height);

// Places the controls in the given order at the top of their siblings' z-order, which
// is also the order the Tab key walks.
void StackInOrder(std::initializer_list<HWND> controls);

// Screen position and outer size of a top-level window, as the settings file keeps them:
// the position in screen pixels, the size in pixels at 96 DPI.
struct Placement {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const Placement&) const = default;
};
Placement GetPlacement(HWND h);
void SetPlacement(HWND h, const Placement& p);
// A stored place is kept as read, also partly off an edge, while some of the window's
// caption (`width` pixels wide) is on a monitor; beyond that it takes `fallback`.
void KeepWithinReach(Placement& p, int32_t width, POINT fallback);

// Balloon-less tooltips showing each control's hint while the mouse rests on it.
class Tooltips {
 public:
  Tooltips() = default;
  Tooltips(const Tooltips&) = delete;
  Tooltips& operator=(const Tooltips&) = delete;
  ~Tooltips();
  bool Create(HWND owner);
  void Add(HWND control, const std::string& hint);
  void Update(HWND control, const std::string& hint);
  HWND hwnd() const { return tip_; }

 private:
  HWND owner_ = nullptr;
  HWND tip_ = nullptr;
};

}  // namespace ks::win
