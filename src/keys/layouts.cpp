#include "keys/layouts.h"

namespace ks::keys {

bool CtrlAltMakesCharacter(KeyLayouts& layouts, LayoutId layout, std::uint32_t letterKey) {
  KeyState state{};
  state[vk::Control] = state[vk::LControl] = 0x80;
  state[vk::Menu] = state[vk::LMenu] = 0x80;
  char16_t out[8] = {};
  const int n = layouts.Translate(layout, letterKey, 0, state, out, 8);
  // Ctrl+letter alone gives a control character below the space, which types nothing.
  return n < 0 || (n > 0 && out[0] >= 0x20 && out[0] != 0x7F);
}

}  // namespace ks::keys
