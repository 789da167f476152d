#include "keys/hook_keys.h"

#include <algorithm>

namespace ks::keys {

namespace {

// Characters that stand in a text, and the three control keys the memo writes as codes.
bool Typeable(char16_t c) { return (c >= 0x20 && c != 0x7F) || c == u'\b' || c == u'\t' || c == u'\r'; }

}  // namespace

std::uint32_t GenericKey(std::uint32_t key) {
  switch (key) {
    case vk::LShift:
    case vk::RShift:
      return vk::Shift;
    case vk::LControl:
    case vk::RControl:
      return vk::Control;
    case vk::LMenu:
    case vk::RMenu:
      return vk::Menu;
    default:
      return key;
  }
}

void SeenKeyboard::Reset(bool capsLock) {
  down_ = {};
  capsLock_ = capsLock;
  deadKeys_.Reset();
}

bool SeenKeyboard::Key(std::uint32_t key, bool up) {
  key &= 0xFF;
  const bool wasDown = down_[key];
  down_[key] = !up;
  if (key == vk::Capital && !up && !wasDown) capsLock_ = !capsLock_;
  return wasDown;
}

bool SeenKeyboard::AnyDown(std::uint32_t generic, std::uint32_t left, std::uint32_t right) const {
  return down_[generic] || down_[left] || down_[right];
}

KeyState SeenKeyboard::StateForLayout(bool ctrl, bool alt) const {
  KeyState state{};
  for (int i = 0; i < 256; ++i) state[i] = down_[i] ? 0x80 : 0;
  if (AnyDown(vk::Shift, vk::LShift, vk::RShift)) state[vk::Shift] = 0x80;
  if (ctrl) state[vk::Control] = 0x80;
  if (alt) state[vk::Menu] = 0x80;
  if (capsLock_) state[vk::Capital] |= 1;
  return state;
}

std::u16string SeenKeyboard::CharsFor(std::uint32_t key, std::uint32_t scanCode,
                                      KeyTranslator& layout) {
  if (key == vk::Packet) {
    const auto unit = static_cast<char16_t>(scanCode);
    return Typeable(unit) ? std::u16string(1, unit) : std::u16string();
  }
  const bool ctrl = AnyDown(vk::Control, vk::LControl, vk::RControl);
  const bool alt = AnyDown(vk::Menu, vk::LMenu, vk::RMenu);
  if (ctrl != alt) return {};
  switch (key) {
    case vk::Back:
      return u"\b";
    case vk::Tab:
      return deadKeys_.Press(LayoutKey{u"\t", false});
    case vk::Return:
      return deadKeys_.Press(LayoutKey{u"\r", false});
    default:
      break;
  }

  char16_t out[8] = {};
  const int n = layout.Translate(key, scanCode, StateForLayout(ctrl, alt), out, 8);
  LayoutKey made;
  made.Dead = n < 0;
  for (int i = 0; i < (made.Dead ? 1 : std::min(n, 8)); ++i) {
    if (out[i] >= 0x20 && out[i] != 0x7F) made.Chars += out[i];
  }
  return deadKeys_.Press(made);
}

}  // namespace ks::keys
