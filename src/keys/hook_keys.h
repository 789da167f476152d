#pragma once
// The recorder's view of the keyboard: what the system-wide hook has seen of the keys, the
// key codes it hands on, and which characters a key-down makes. keystrum.dll compiles this
// file in; the keyboard layout is asked through KeyTranslator, which the unit tests fake.
#include <array>
#include <cstdint>
#include <string>

#include "keys/dead_keys.h"
#include "keys/key_state.h"

namespace ks::keys {

// The hook reports left and right modifiers apart; the receiver expects the generic codes
// (Shift is 16 to it, whichever Shift it was).
std::uint32_t GenericKey(std::uint32_t key);

// The keyboard layout of the window the user types into.
class KeyTranslator {
 public:
  virtual ~KeyTranslator() = default;
  // The UTF-16 units key `key` makes in `state`, written to `out`; their number, 0 for
  // none, negative for a dead key (its spacing accent in out[0]). The layout's own pending
  // dead key must stay as it was.
  virtual int Translate(std::uint32_t key, std::uint32_t scanCode, const KeyState& state,
                        char16_t* out, int capacity) = 0;
};

class SeenKeyboard {
 public:
  // `compose` makes a letter and an accent's combining mark one character (DeadKeys).
  explicit SeenKeyboard(DeadKeys::Compose compose) : deadKeys_(std::move(compose)) {}

  // Forgets every key and a waiting accent; Caps Lock as the system has it now.
  void Reset(bool capsLock);
  // One transition of `key`. True when it was down before: a repeat, or its release.
  bool Key(std::uint32_t key, bool up);
  // The characters a key-down makes, with the Shift and Caps Lock state seen so far and the
  // accent of a dead key before it: exactly what the window typed into receives. A chord
  // with Ctrl or Alt alone is a shortcut, not text: it makes none. Control characters
  // other than Backspace, Tab and Enter make none either, so that a Ctrl+V typed elsewhere
  // never reaches an edit control as its paste character. A character sent as Unicode
  // input (Packet) is the UTF-16 unit in `scanCode`, whatever the layout, Shift or Ctrl; a
  // character beyond the Basic Multilingual Plane comes as two such keys, one unit each.
  // It leaves a waiting accent waiting, as the system's translation does.
  std::u16string CharsFor(std::uint32_t key, std::uint32_t scanCode, KeyTranslator& layout);

 private:
  bool AnyDown(std::uint32_t generic, std::uint32_t left, std::uint32_t right) const;
  KeyState StateForLayout(bool ctrl, bool alt) const;

  std::array<bool, 256> down_{};
  bool capsLock_ = false;
  // The layout is asked without its own pending accent, so the accent is followed here.
  DeadKeys deadKeys_;
};

}  // namespace ks::keys
