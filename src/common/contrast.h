#pragma once
// Whether a text colour can be read on a face, by the contrast ratio of the Web's
// accessibility rules: (L1 + 0.05) / (L2 + 0.05) of the two relative luminances. A user's
// caption colour chosen on the light face (dark blue, black) vanishes on a dark one.
#include <cstdint>

namespace ks {

// Colours as the system keeps them: 0x00BBGGRR.
inline constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return r | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

// Below this, a caption is drawn with a readable colour instead of the chosen one.
inline constexpr double kMinContrast = 3.0;

double RelativeLuminance(uint32_t rgb);
// From 1 (the same) to 21 (black and white), whichever is lighter.
double ContrastRatio(uint32_t a, uint32_t b);

// `color` as a caption on `face`: the colour itself when it reaches kMinContrast; else the
// least mix of it toward white (toward black on a light face) that does, in steps of 1/64,
// so the chosen hue still shows.
uint32_t ReadableOn(uint32_t color, uint32_t face);

}  // namespace ks
