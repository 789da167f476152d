#pragma once
// The keyboard layouts of the windows the user types into, as a port: the hooks implement
// it with the system's translation (layouts_win.h), the unit tests fake it.
#include <cstdint>

#include "keys/key_state.h"

namespace ks::keys {

// A keyboard layout as the system names it: an HKL on Windows, any number in tests.
using LayoutId = std::uintptr_t;

class KeyLayouts {
 public:
  virtual ~KeyLayouts() = default;
  // The UTF-16 units `key` makes on `layout` in `state`, written to `out`; their number, 0
  // for none, negative for a dead key (its spacing accent in out[0]). Asked as the window
  // would be, but without the layout's own pending accent, and leaving it as it was: the
  // user's accent belongs to the window typed into (ToUnicodeEx with flag 4).
  virtual int Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                        const KeyState& state, char16_t* out, int capacity) = 0;
  // The precomposed character of `base` and combining `mark`, 0 when there is none.
  virtual char16_t Compose(char16_t base, char16_t mark) = 0;
};

// Whether Ctrl+Alt+`letterKey` makes a character on `layout` (AltGr; a dead key counts,
// it is a character in the making). Such a key is the user's, never a shortcut.
bool CtrlAltMakesCharacter(KeyLayouts& layouts, LayoutId layout, std::uint32_t letterKey);

}  // namespace ks::keys
