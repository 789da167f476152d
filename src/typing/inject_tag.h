#pragma once
// Every key event the program injects carries this value as its extra information,
// so that the program's own keyboard hook can tell its keys from the user's.
#include <cstdint>

namespace ks {

inline constexpr std::uintptr_t kInjectTag = 0x4B53544D;  // "KSTM"

}  // namespace ks
