#pragma once
// What the windows and the core both know of the forms' design: the font they were drawn
// in, which is also the button font of a first run, and how much the input box takes.
#include <cstdint>

namespace ks {

inline constexpr const char* kDesignFontName = "MS Sans Serif";
inline constexpr int32_t kDesignFontSize = 8;  // points: 13 pixels at 120 dots per inch

// The input box's field takes at most this many characters (UTF-16 units); the group
// commands know it, since a longer name shows there cut.
inline constexpr int kInputBoxMaxChars = 255;

}  // namespace ks
