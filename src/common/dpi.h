#pragma once
// Sizes the program keeps (the cells, the button width, the windows' design sizes, the
// sizes in the settings file) are sizes at 96 dots per inch. A window shows them scaled
// to the DPI of the monitor it is on, so the settings file reads the same on every display.
#include <cstdint>
#include <limits>

namespace ks {

inline constexpr int kBaseDpi = 96;

namespace dpi_detail {
// A size from a hand-edited file may be anything; its scaled value stays an int.
constexpr int ToInt(int64_t v) {
  constexpr int64_t lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
  return static_cast<int>(v < lo ? lo : v > hi ? hi : v);
}
}  // namespace dpi_detail

// A DPI the system cannot have (0 from a failed query, a negative value) counts as 96.
constexpr int SaneDpi(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// `size` at 96 DPI in pixels at `dpi`, rounded half away from zero as the system does.
constexpr int ScaleToDpi(int size, int dpi) {
  const int64_t p = int64_t{size} * SaneDpi(dpi);
  const int64_t half = kBaseDpi / 2;
  return dpi_detail::ToInt(p >= 0 ? (p + half) / kBaseDpi : -((-p + half) / kBaseDpi));
}

// Pixels at `dpi` back in 96-DPI units. At 96 DPI and above the round trip
// ScaleToDpi(UnscaleFromDpi(...)) of a kept size gives that size again, so storing a
// window's size at every exit never makes it creep.
constexpr int UnscaleFromDpi(int pixels, int dpi) {
  const int64_t d = SaneDpi(dpi);
  const int64_t p = int64_t{pixels} * kBaseDpi;
  return dpi_detail::ToInt(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}

}  // namespace ks
