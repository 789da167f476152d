#include <gtest/gtest.h>

#include "find/place.h"

namespace ks {
namespace {

TEST(PlaceNearPointer, BelowThePointerOrAboveItAlwaysWholeOnItsMonitor) {
  struct Case {
    ScreenPoint pointer;
    ScreenArea work;
    ScreenPoint at;
  };
  const ScreenArea main{0, 0, 1920, 1040};     // a taskbar below
  const ScreenArea left{-1280, -200, 0, 824};  // a second monitor left of it, higher up
  const Case cases[] = {
      {{960, 300}, main, {760, 310}},       // centred across the pointer, below it
      {{1900, 300}, main, {1520, 310}},     // at the right edge
      {{10, 300}, main, {0, 310}},          // at the left edge
      {{960, 900}, main, {760, 590}},       // no room below: above the pointer
      {{960, 20}, {0, 0, 1920, 320}, {760, 20}},  // room neither below nor above: moved up
      {{-20, -190}, left, {-400, -180}},    // on the other monitor, near its corner
      {{-640, 700}, left, {-840, 390}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceNearPointer(c.pointer, 400, 300, 10, c.work), c.at)
        << c.pointer.X << "," << c.pointer.Y;
  // Larger than the work area: its top left stays in, where the query is typed.
  EXPECT_EQ(PlaceNearPointer({100, 100}, 800, 900, 10, {0, 0, 640, 480}), (ScreenPoint{0, 0}));
}

}  // namespace
}  // namespace ks
