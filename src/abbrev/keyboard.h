#pragma once
// The user's keyboard as the abbreviation watch follows it: which keys are held, Caps Lock,
// an accent waiting for its letter, and the characters a key makes in the window in front,
// asked of that window's keyboard layout. The low-level hook feeds it every key; the
// layouts are a port the hook implements with ToUnicodeEx and the unit tests fake.
#include <cstdint>
#include <string>

#include "keys/dead_keys.h"
#include "keys/key_state.h"

namespace ks::abbrev {

namespace vk = keys::vk;
using keys::KeyState;

// A keyboard layout as the system names it: an HKL on Windows, any number in tests.
using LayoutId = std::uintptr_t;

// One key transition as the low-level hook reports it (KBDLLHOOKSTRUCT).
struct KeyEvent {
  std::uint32_t Vk = 0;
  std::uint32_t Scan = 0;  // for Packet: the UTF-16 unit sent
  bool Up = false;
  std::uint32_t Flags = 0;       // LLKHF_*: kept for the caller, the rules need none of them
  std::uintptr_t ExtraInfo = 0;  // dwExtraInfo: the program's tag on its own input
};

// Input the program injected itself: never watched, never a reason to stop a run.
bool IsOwnInput(const KeyEvent& e);

// A key the user pressed while the program types ends the run. Only a fresh press counts:
// the release of the key that finished an abbreviation, or the repeats of a key held
// since before the run, are no wish to stop.
bool StopsRun(const KeyEvent& e, bool wasDown);

// The keyboard layouts of the windows the user types into.
class KeyLayouts {
 public:
  virtual ~KeyLayouts() = default;
  // The UTF-16 units `key` makes on `layout` in `state`, written to `out`; their number, 0
  // for none, negative for a dead key (its spacing accent in out[0]). Asked as the window
  // would be, but without the layout's own pending accent, and leaving it as it was: the
  // user's accent belongs to the window typed into (ToUnicodeEx with flag 4).
  virtual int Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                        const KeyState& state, char16_t* out, int capacity) = 0;
  // The precomposed character of `base` and combining `mark`, 0 when there is none.
  virtual char16_t Compose(char16_t base, char16_t mark) = 0;
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
  // Windows key, is a shortcut and makes none; Ctrl and Alt together are AltGr. Control
  // characters make none. A character sent as Unicode input (Packet) is its unit.
  std::u16string CharsFor(const KeyEvent& e, LayoutId layout);

  Held Modifiers() const;
  bool CapsLock() const { return (state_[vk::Capital] & 1) != 0; }
  KeyLayouts& Layouts() const { return layouts_; }

 private:
  KeyState StateForLayout(const Held& held) const;

  KeyLayouts& layouts_;
  KeyState state_{};
  keys::DeadKeys deadKeys_;
};

// Whether Ctrl+Alt+`letterKey` makes a character on `layout` (AltGr; a dead key counts,
// it is a character in the making). Such a key is the user's, never a shortcut.
bool CtrlAltMakesCharacter(KeyLayouts& layouts, LayoutId layout, std::uint32_t letterKey);

// The shortcut (1..26, Ctrl+Alt+A..Z) a key-down stands for, judged at the press with the
// layout of the window in front; 0 when it is no Ctrl+Alt+letter (Shift or the Windows
// key held too, a release, another key), or when that layout makes a character of it:
// then it must pass through untouched.
int ShortcutAtPress(const Keyboard& keyboard, const KeyEvent& e, LayoutId layout);

}  // namespace ks::abbrev
