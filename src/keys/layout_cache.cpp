#include "keys/layout_cache.h"

#include <algorithm>
#include <array>

namespace ks::keys {

namespace {

constexpr std::uint32_t kNumLock = 0x90, kScrollLock = 0x91;

constexpr auto kCharacterKeys = [] {
  std::array<std::uint8_t, 66> keys{};
  std::size_t n = 0;
  keys[n++] = 0x20;
  for (int k = 0x30; k <= 0x39; ++k) keys[n++] = static_cast<std::uint8_t>(k);
  for (int k = 0x41; k <= 0x5A; ++k) keys[n++] = static_cast<std::uint8_t>(k);
  for (int k = 0x60; k <= 0x6F; ++k) keys[n++] = static_cast<std::uint8_t>(k);  // keypad
  for (int k = 0xBA; k <= 0xC0; ++k) keys[n++] = static_cast<std::uint8_t>(k);
  for (int k = 0xDB; k <= 0xDF; ++k) keys[n++] = static_cast<std::uint8_t>(k);
  keys[n++] = 0xE2;
  return keys;
}();

}  // namespace

int LayoutCache::StateIndex(std::uint32_t key, const KeyState& state) {
  for (std::uint32_t k = 0; k < 256; ++k) {
    const std::uint8_t b = state[k];
    if (b & 0x80) {
      switch (k) {
        case vk::Shift:
        case vk::LShift:
        case vk::RShift:
        case vk::Control:
        case vk::LControl:
        case vk::RControl:
        case vk::Menu:
        case vk::LMenu:
        case vk::RMenu:
          break;
        default:
          if (k != key) return -1;
      }
    }
    if ((b & 1) && k != vk::Capital && k != kNumLock && k != kScrollLock) return -1;
  }
  // The layout reads the generic modifiers, as the system's translation does.
  const bool shift = state[vk::Shift] & 0x80, ctrl = state[vk::Control] & 0x80,
             alt = state[vk::Menu] & 0x80;
  if (ctrl != alt) return -1;
  return (shift ? 1 : 0) | ((state[vk::Capital] & 1) ? 2 : 0) | (ctrl ? 4 : 0);
}

int LayoutCache::Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                           const KeyState& state, char16_t* out, int capacity) {
  const auto table = tables_.find(layout);
  if (table != tables_.end() && key < 256) {
    const int index = StateIndex(key, state);
    if (index >= 0) {
      const Entry& e = table->second->Entries[key][index];
      if (e.Known) {
        const int n = e.Count < 0 ? 1 : std::min<int>(e.Count, capacity);
        std::copy(e.Chars, e.Chars + n, out);
        return e.Count < 0 ? e.Count : n;
      }
    }
  }
  return system_.Translate(layout, key, scanCode, state, out, capacity);
}

bool LayoutCache::Fill(LayoutId layout, int budget) {
  std::unique_ptr<Table>& table = tables_[layout];
  if (!table) table = std::make_unique<Table>();
  constexpr int kTotal = static_cast<int>(kCharacterKeys.size()) * kStates;
  for (; table->Filled < kTotal && budget > 0; ++table->Filled, --budget) {
    const std::uint8_t key = kCharacterKeys[static_cast<std::size_t>(table->Filled / kStates)];
    const int index = table->Filled % kStates;
    KeyState state{};
    state[key] = 0x80;
    if (index & 1) state[vk::Shift] = state[vk::LShift] = 0x80;
    if (index & 2) state[vk::Capital] = 1;
    if (index & 4)
      state[vk::Control] = state[vk::LControl] = state[vk::Menu] = state[vk::RMenu] = 0x80;
    char16_t chars[8] = {};
    const int n = system_.Translate(layout, key, 0, state, chars, 8);
    if (n > 4) continue;  // a ligature longer than an entry holds stays live
    Entry& e = table->Entries[key][index];
    e.Known = true;
    e.Count = static_cast<std::int8_t>(n);
    std::copy(chars, chars + 4, e.Chars);
  }
  return table->Filled == kTotal;
}

bool LayoutCache::Complete(LayoutId layout) const {
  const auto table = tables_.find(layout);
  return table != tables_.end() &&
         table->second->Filled == static_cast<int>(kCharacterKeys.size()) * kStates;
}

}  // namespace ks::keys
