#pragma once
// The mark Keystrum puts into dwExtraInfo of every input event it injects ("KSTM").
// The recorder leaves such events out, so typing a button never records itself.
// Kept free of <windows.h> so core code may share the value.

namespace ks {

inline constexpr unsigned long long kKeystrumInputTag = 0x4B53544D;

}  // namespace ks
