#include "keys/keyboard.h"

namespace ks::keys {

namespace {

constexpr std::uint8_t kDown = 0x80;
constexpr std::uint8_t kToggled = 0x01;

}  // namespace

Keyboard::Keyboard(KeyLayouts& layouts)
    : layouts_(layouts),
      deadKeys_([&layouts](char16_t base, char16_t mark) { return layouts.Compose(base, mark); }) {}

void Keyboard::Sync(const KeyState& state) {
  state_ = state;
  deadKeys_.Reset();
}

bool Keyboard::Key(const KeyEvent& e) {
  std::uint8_t& key = state_[e.Vk & 0xFF];
  const bool wasDown = (key & kDown) != 0;
  if (e.Up) {
    key &= static_cast<std::uint8_t>(~kDown);
  } else {
    key |= kDown;
    if ((e.Vk & 0xFF) == vk::Capital && !wasDown) key ^= kToggled;
  }
  return wasDown;
}

Held Keyboard::Modifiers() const {
  auto down = [&](std::uint32_t generic, std::uint32_t left, std::uint32_t right) {
    return ((state_[generic] | state_[left] | state_[right]) & kDown) != 0;
  };
  Held h;
  h.Shift = down(vk::Shift, vk::LShift, vk::RShift);
  h.Ctrl = down(vk::Control, vk::LControl, vk::RControl);
  h.Alt = down(vk::Menu, vk::LMenu, vk::RMenu);
  h.Win = ((state_[vk::LWin] | state_[vk::RWin]) & kDown) != 0;
  return h;
}

KeyState Keyboard::StateForLayout(const Held& held) const {
  // The hook sees left and right keys; the layout reads the generic ones as well.
  KeyState state = state_;
  auto set = [&](std::uint32_t key, bool on) {
    state[key] = static_cast<std::uint8_t>((state[key] & kToggled) | (on ? kDown : 0));
  };
  set(vk::Shift, held.Shift);
  set(vk::Control, held.Ctrl);
  set(vk::Menu, held.Alt);
  return state;
}

std::u16string Keyboard::CharsFor(const KeyEvent& e, LayoutId layout) {
  if (e.Vk == vk::Packet) {
    const auto unit = static_cast<char16_t>(e.Scan);
    return StandsInText(unit) ? std::u16string(1, unit) : std::u16string();
  }
  const Held held = Modifiers();
  if (held.Win || held.Ctrl != held.Alt) return {};
  return deadKeys_.Press(LayoutMakes(layouts_, layout, e.Vk, e.Scan, StateForLayout(held)));
}

}  // namespace ks::keys
