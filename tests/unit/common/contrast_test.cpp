// The contrast rule that keeps a user's caption colour readable on the dark face.
#include <gtest/gtest.h>

#include "common/contrast.h"

namespace ks {
namespace {

constexpr uint32_t kDarkFace = Rgb(51, 51, 51);
constexpr uint32_t kLightFace = Rgb(240, 240, 240);

uint8_t R(uint32_t c) { return c & 0xFF; }
uint8_t G(uint32_t c) { return (c >> 8) & 0xFF; }
uint8_t B(uint32_t c) { return (c >> 16) & 0xFF; }

TEST(Contrast, RatiosAreThoseOfTheAccessibilityRules) {
  const struct {
    uint32_t a, b;
    double ratio;
  } cases[] = {
      {Rgb(0, 0, 0), Rgb(255, 255, 255), 21.0},
      {Rgb(255, 255, 255), Rgb(0, 0, 0), 21.0},  // either way round
      {Rgb(118, 118, 118), Rgb(255, 255, 255), 4.54},
      {Rgb(255, 0, 0), Rgb(255, 255, 255), 4.0},
      {Rgb(0, 0, 255), Rgb(0, 0, 0), 2.44},
      {kDarkFace, kDarkFace, 1.0},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01) << std::hex << c.a << " on " << c.b;
}

TEST(Contrast, AReadableColourStaysAndAnUnreadableOneIsTheLeastMixThatReads) {
  const struct {
    const char* what;
    uint32_t color, face;
    bool kept;
  } cases[] = {
      {"white on the dark face", Rgb(255, 255, 255), kDarkFace, true},
      {"yellow on the dark face", Rgb(255, 255, 0), kDarkFace, true},
      {"black on the dark face", Rgb(0, 0, 0), kDarkFace, false},
      {"navy on the dark face", Rgb(0, 0, 128), kDarkFace, false},
      {"the dark face's own grey", kDarkFace, kDarkFace, false},
      {"pure blue on the dark face", Rgb(0, 0, 255), kDarkFace, false},
      {"black on the light face", Rgb(0, 0, 0), kLightFace, true},
      {"light grey on the light face", Rgb(200, 200, 200), kLightFace, false},
      {"the system's flag bits are no colour", 0xFF000000u | Rgb(255, 255, 255), kDarkFace, true},
  };
  for (const auto& c : cases) {
    const uint32_t drawn = ReadableOn(c.color, c.face);
    EXPECT_GE(ContrastRatio(drawn, c.face), kMinContrast) << c.what;
    EXPECT_EQ(drawn == (c.color & 0xFFFFFF), c.kept) << c.what;
    if (c.kept) continue;
    // No lighter step than needed: the colour keeps as much of itself as reads.
    const bool lighter = RelativeLuminance(drawn) > RelativeLuminance(c.color);
    EXPECT_EQ(lighter, RelativeLuminance(c.face) < 0.5) << c.what;
  }
  // A hue lifted stays that hue: blue stays the strongest channel.
  const uint32_t blue = ReadableOn(Rgb(0, 0, 255), kDarkFace);
  EXPECT_GT(B(blue), R(blue));
  EXPECT_EQ(R(blue), G(blue));
  EXPECT_LT(ContrastRatio(Rgb(R(blue) - 8, G(blue) - 8, B(blue)), kDarkFace), kMinContrast);
}

}  // namespace
}  // namespace ks
