#include "keys/layouts_win.h"

#include <algorithm>

namespace ks::keys {

int WinKeyLayouts::Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                             const KeyState& state, char16_t* out, int capacity) {
  const HKL hkl = reinterpret_cast<HKL>(layout);
  if (scanCode == 0) scanCode = MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, hkl);
  wchar_t chars[8] = {};
  // Flag 4: the pending accent stays the window's; Keyboard follows it itself.
  const int n = ToUnicodeEx(key, scanCode, state.data(), chars, std::min(capacity, 8), 4, hkl);
  if (n < 0) {
    // Where the flag is not known the accent now waits, and would go with the user's next
    // key: asked again, it comes out twice and waits no more.
    wchar_t again[8] = {};
    for (int i = 0; i < 2 && ToUnicodeEx(key, scanCode, state.data(), again, 8, 4, hkl) < 0; ++i) {
    }
  }
  for (int i = 0; i < (n < 0 ? 1 : std::min(n, 8)); ++i) out[i] = static_cast<char16_t>(chars[i]);
  return n;
}

char16_t WinKeyLayouts::Compose(char16_t base, char16_t mark) {
  const wchar_t pair[2] = {static_cast<wchar_t>(base), static_cast<wchar_t>(mark)};
  wchar_t out[4] = {};
  if (FoldStringW(MAP_PRECOMPOSED, pair, 2, out, 4) != 1) return 0;
  return static_cast<char16_t>(out[0]);
}

}  // namespace ks::keys
