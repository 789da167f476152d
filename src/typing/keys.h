#pragma once
// Virtual keys the typing engine sends by number.
#include <cstdint>

namespace ks::vk {

inline constexpr std::uint8_t Back = 8;
inline constexpr std::uint8_t Tab = 9;
inline constexpr std::uint8_t Return = 13;
inline constexpr std::uint8_t Shift = 16;
inline constexpr std::uint8_t Control = 17;
inline constexpr std::uint8_t Menu = 18;  // Alt
inline constexpr std::uint8_t Escape = 27;
inline constexpr std::uint8_t Space = 32;
inline constexpr std::uint8_t Prior = 33;  // Page Up
inline constexpr std::uint8_t Next = 34;   // Page Down
inline constexpr std::uint8_t End = 35;
inline constexpr std::uint8_t Home = 36;
inline constexpr std::uint8_t Left = 37;
inline constexpr std::uint8_t Up = 38;
inline constexpr std::uint8_t Right = 39;
inline constexpr std::uint8_t Down = 40;
inline constexpr std::uint8_t Insert = 45;
inline constexpr std::uint8_t Delete = 46;
inline constexpr std::uint8_t LWin = 0x5B;
inline constexpr std::uint8_t Apps = 0x5D;  // the menu key
inline constexpr std::uint8_t F1 = 0x70;

// Keys of the navigation block beside the main keys. Their scan codes collide with
// the numeric keypad's, so without the extended flag an arrow arrives as keypad 8, 2,
// 4 or 6 once Num Lock is on.
// The Windows and menu keys are extended keys too.
constexpr bool IsExtended(std::uint8_t key) {
  return (key >= 33 && key <= 40) || key == 45 || key == 46 ||  // PgUp..Down, Ins, Del
         (key >= LWin && key <= Apps);
}

}  // namespace ks::vk
