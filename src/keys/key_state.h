#pragma once
// Keys as the system numbers them, and a key state as its translation reads it: what the
// recorder's hook, the abbreviation watch and the layouts share.
#include <array>
#include <cstdint>

namespace ks::keys {

// The virtual-key codes the rules name, as <windows.h> numbers them.
namespace vk {
inline constexpr std::uint32_t Back = 0x08, Tab = 0x09, Return = 0x0D;
inline constexpr std::uint32_t Shift = 0x10, Control = 0x11, Menu = 0x12, Capital = 0x14;
inline constexpr std::uint32_t Escape = 0x1B, Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24,
                               Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
inline constexpr std::uint32_t LWin = 0x5B, RWin = 0x5C;
// The key of a character sent as Unicode input (an on-screen keyboard, an input method, a
// typing tool): the character itself, one UTF-16 unit, comes as the key's scan code.
inline constexpr std::uint32_t Packet = 0xE7;
inline constexpr std::uint32_t LShift = 0xA0, RShift = 0xA1, LControl = 0xA2, RControl = 0xA3,
                               LMenu = 0xA4, RMenu = 0xA5;
}  // namespace vk

// A key state as the system's translation takes it: 256 bytes, 0x80 for a key that is
// down, bit 0 for a toggle that is on.
using KeyState = std::array<std::uint8_t, 256>;

}  // namespace ks::keys
