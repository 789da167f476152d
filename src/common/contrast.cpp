#include "common/contrast.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace ks {

namespace {

uint8_t Channel(uint32_t rgb, int shift) { return static_cast<uint8_t>((rgb >> shift) & 0xFF); }

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// `k` 64ths of the way from `from` to `to`, per channel.
uint32_t Mix(uint32_t from, uint32_t to, int k) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const int a = Channel(from, shift), b = Channel(to, shift);
    out |= static_cast<uint32_t>(a + ((b - a) * k + 32) / 64) << shift;
  }
  return out;
}

}  // namespace

double RelativeLuminance(uint32_t rgb) {
  return 0.2126 * Linear(Channel(rgb, 0)) + 0.7152 * Linear(Channel(rgb, 8)) +
         0.0722 * Linear(Channel(rgb, 16));
}

double ContrastRatio(uint32_t a, uint32_t b) {
  double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

uint32_t ReadableOn(uint32_t color, uint32_t face) {
  color &= 0xFFFFFF;
  if (ContrastRatio(color, face) >= kMinContrast) return color;
  // Toward the end that stands further from the face: white on a dark one.
  const uint32_t white = Rgb(255, 255, 255), black = 0;
  const uint32_t to = ContrastRatio(white, face) >= ContrastRatio(black, face) ? white : black;
  for (int k = 1; k < 64; ++k)
    if (const uint32_t mixed = Mix(color, to, k); ContrastRatio(mixed, face) >= kMinContrast)
      return mixed;
  return to;
}

}  // namespace ks
