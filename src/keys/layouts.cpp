#include "keys/layouts.h"

#include <algorithm>

namespace ks::keys {

LayoutKey LayoutMakes(KeyLayouts& layouts, LayoutId layout, std::uint32_t key,
                      std::uint32_t scanCode, const KeyState& state) {
  char16_t out[8] = {};
  const int n = layouts.Translate(layout, key, scanCode, state, out, 8);
  LayoutKey made;
  made.Dead = n < 0;
  for (int i = 0; i < (made.Dead ? 1 : std::min(n, 8)); ++i)
    if (StandsInText(out[i])) made.Chars += out[i];
  return made;
}

bool CtrlAltMakesCharacter(KeyLayouts& layouts, LayoutId layout, std::uint32_t key) {
  KeyState state{};
  state[vk::Control] = state[vk::LControl] = 0x80;
  state[vk::Menu] = state[vk::LMenu] = 0x80;
  // Where Ctrl+Alt is no AltGr the layout gives the letter's control character, or nothing.
  const LayoutKey made = LayoutMakes(layouts, layout, key, 0, state);
  return made.Dead || !made.Chars.empty();
}

}  // namespace ks::keys
