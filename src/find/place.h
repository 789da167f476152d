#pragma once
// Where the find window appears: at the mouse pointer, whole on the pointer's monitor.
namespace ks {

struct ScreenPoint {
  int X = 0, Y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

struct ScreenArea {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The top left corner for a window of `width` x `height` (pixels) with the pointer at
// `pointer` on a monitor whose work area is `work`: centred across the pointer and `gap`
// below it, where the eye already is, or above it when there is no room below; moved
// in whole within the work area, its top left kept in when it is larger than the area.
ScreenPoint PlaceNearPointer(ScreenPoint pointer, int width, int height, int gap,
                             ScreenArea work);

}  // namespace ks
