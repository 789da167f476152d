#pragma once
// The user's keyboard as a low-level hook follows it: which keys are held, Caps Lock, an
// accent waiting for its letter, and the characters a key makes in the window in front,
// asked of that window's keyboard layout. The hook feeds it every key.
#include <cstdint>
#include <string>

#include "keys/dead_keys.h"
#include "keys/key_state.h"
#include "keys/layouts.h"

namespace ks::keys {

// One key transition as the low-level hook reports it (KBDLLHOOKSTRUCT).
struct KeyEvent {
  std::uint32_t Vk = 0;
  std::uint32_t Scan = 0;  // for Packet: the UTF-16 unit sent
  bool Up = false;
  std::uint32_t Flags = 0;       // LLKHF_*: kept for the caller, the rules need none of them
  std::uintptr_t ExtraInfo = 0;  // dwExtraInfo: whose input it is, for the caller
};

// The modifiers held now.
struct Held {
  bool Shift = false, Ctrl = false, Alt = false, Win = false;
};

class Keyboard {
 public:
  explicit Keyboard(KeyLayouts& layouts);

  // Takes the keys held and Caps Lock from the system (0x80 down, bit 0 of Capital on)
  // and forgets a waiting accent: at the start, and where keys may have gone by unseen.
  void Sync(const KeyState& state);
  void ForgetAccent() { deadKeys_.Reset(); }
  bool AccentWaiting() const { return deadKeys_.Waiting(); }

  // One transition; true when the key was down before (a repeat, or its release).
  bool Key(const KeyEvent& e);
  // The characters a key-down makes in a window with `layout`, with what is held and a
  // waiting accent: what that window receives. A chord with Ctrl or Alt alone, or with the
  // Windows key, is a shortcut and makes none; Ctrl and Alt together are AltGr, which makes
  // what the layout makes of it (as CtrlAltMakesCharacter judges). Control characters make
  // none. A character sent as Unicode input (Packet) is its unit.
  std::u16string CharsFor(const KeyEvent& e, LayoutId layout);

  Held Modifiers() const;
  bool CapsLock() const { return (state_[vk::Capital] & 1) != 0; }

 private:
  KeyState StateForLayout(const Held& held) const;

  KeyLayouts& layouts_;
  KeyState state_{};
  DeadKeys deadKeys_;
};

}  // namespace ks::keys
