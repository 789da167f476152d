#pragma once
// The keyboard layouts of the windows the user types into, as a port: the hooks and the
// shortcut keys implement it with the system's translation (layouts_win.h), the unit
// tests fake it. And what a key makes on a layout, AltGr included, asked once for all.
#include <cstdint>

#include "keys/dead_keys.h"
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

// Whether a UTF-16 unit stands in a text: control characters type nothing.
constexpr bool StandsInText(char16_t c) { return c >= 0x20 && c != 0x7F; }

// What `key` makes on `layout` with the keys of `state` held, asked as KeyLayouts asks:
// the units that stand in a text, or a dead key's spacing accent.
LayoutKey LayoutMakes(KeyLayouts& layouts, LayoutId layout, std::uint32_t key,
                      std::uint32_t scanCode, const KeyState& state);

// AltGr is Ctrl+Alt on Windows, so on many layouts Ctrl+Alt+E is how "€" is typed. The one
// rule: whether Ctrl+Alt+`key` makes a character on `layout`, a dead key counting as a
// character in the making. Such a key is the user's, never a shortcut. The shortcut keys
// ask it at every press and choice; Keyboard judges a Ctrl+Alt chord by the same
// LayoutMakes.
bool CtrlAltMakesCharacter(KeyLayouts& layouts, LayoutId layout, std::uint32_t key);

}  // namespace ks::keys
