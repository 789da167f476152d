#pragma once
// The layouts as the system translates keys: ToUnicodeEx with flag 4, which leaves the
// layout's pending accent to the window typed into (Windows 10 1607 and later; before, a
// dead key asked is taken out of the layout again).
#include <windows.h>

#include "keys/layouts.h"

namespace ks::keys {

class WinKeyLayouts : public KeyLayouts {
 public:
  int Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                const KeyState& state, char16_t* out, int capacity) override;
  char16_t Compose(char16_t base, char16_t mark) override;
};

}  // namespace ks::keys
