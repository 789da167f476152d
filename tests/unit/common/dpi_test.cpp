#include "common/dpi.h"

#include <gtest/gtest.h>

#include <climits>

namespace ks {
namespace {

TEST(Dpi, ScalesAndRoundsHalfAwayFromZero) {
  EXPECT_EQ(ScaleToDpi(24, 96), 24);
  EXPECT_EQ(ScaleToDpi(24, 120), 30);
  EXPECT_EQ(ScaleToDpi(24, 144), 36);
  EXPECT_EQ(ScaleToDpi(24, 192), 48);
  EXPECT_EQ(ScaleToDpi(1, 144), 2);     // 1.5
  EXPECT_EQ(ScaleToDpi(89, 120), 111);  // 111.25
  EXPECT_EQ(ScaleToDpi(-100, 144), -150);
  EXPECT_EQ(ScaleToDpi(-1, 144), -2);
  EXPECT_EQ(UnscaleFromDpi(150, 144), 100);
  EXPECT_EQ(UnscaleFromDpi(-150, 144), -100);
  // A failed DPI query counts as 96.
  EXPECT_EQ(ScaleToDpi(24, 0), 24);
  EXPECT_EQ(UnscaleFromDpi(24, -5), 24);
}

TEST(Dpi, AKeptSizeSurvivesEveryShowAndStore) {
  // A window shown at its kept size and stored again at exit keeps that size, on every
  // display at or above 96 DPI, so the file does not creep from run to run.
  for (int dpi : {96, 120, 144, 168, 192, 288})
    for (int v = -300; v <= 3000; ++v)
      ASSERT_EQ(UnscaleFromDpi(ScaleToDpi(v, dpi), dpi), v) << v << " at " << dpi;
}

TEST(Dpi, HugeStoredSizesStayInRange) {
  EXPECT_EQ(ScaleToDpi(INT_MAX, 192), INT_MAX);
  EXPECT_EQ(ScaleToDpi(INT_MIN, 192), INT_MIN);
  EXPECT_EQ(UnscaleFromDpi(INT_MAX, 96), INT_MAX);
}

}  // namespace
}  // namespace ks
