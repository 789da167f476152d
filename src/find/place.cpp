#include "find/place.h"

#include <algorithm>

namespace ks {

namespace {

// `start` moved so that [start, start + length) lies within [low, high) where it can;
// at `low` when it is longer.
int Within(int start, int length, int low, int high) {
  return std::max(low, std::min(start, high - length));
}

}  // namespace

ScreenPoint PlaceNearPointer(ScreenPoint pointer, int width, int height, int gap,
                             ScreenArea work) {
  int y = pointer.Y + gap;
  if (y + height > work.Bottom && pointer.Y - gap - height >= work.Top)
    y = pointer.Y - gap - height;
  return ScreenPoint{Within(pointer.X - width / 2, width, work.Left, work.Right),
                     Within(y, height, work.Top, work.Bottom)};
}

}  // namespace ks
