#pragma once
// Shortcut keys: a button whose Shortcut is k (1..26) types its text when Ctrl+Alt and
// the k-th letter are pressed anywhere, as a left press on it would. 0 is no shortcut.
//
// Which button a key types, which keys the program takes from the system, and what the
// user is told when a key cannot be taken: two buttons with one key, a key another
// program holds, a key that the keyboard layout turns into a character (AltGr is
// Ctrl+Alt on Windows, so on many layouts Ctrl+Alt+E is how "€" is typed).
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bar/ports.h"
#include "store/button_editor.h"
#include "store/store.h"
#include "typing/passwords.h"

namespace ks {

// How messages name a key: "Ctrl+Alt+A".
std::string ShortcutName(int shortcut);
// The virtual key of its letter ('A'..'Z').
std::uint8_t ShortcutLetterKey(int shortcut);

// The button `shortcut` types: the first in store order (group by group, each from its
// first button) that carries it. A second button can only get the same key from a file
// edited by hand; it is told at start and types nothing.
ButtonRef ShortcutOwner(const Store& store, int shortcut);
// The first button other than `self` that carries `shortcut`.
ButtonRef OtherButtonWith(const Store& store, int shortcut, ButtonRef self);

// The system's hot keys, taken for the bar window with the key's number as id.
class HotKeyRegistry {
 public:
  virtual ~HotKeyRegistry() = default;
  // Takes Ctrl+Alt+letter; false when another program holds it.
  virtual bool Register(int shortcut) = 0;
  virtual void Unregister(int shortcut) = 0;
};

// The keyboard layout the user types with: the one of the window in front, which the
// user may switch at any time.
class ShortcutLayout {
 public:
  virtual ~ShortcutLayout() = default;
  // Whether Ctrl+Alt with the shortcut's letter types a character on this layout now, as
  // the one AltGr rule (keys::CtrlAltMakesCharacter) judges it.
  virtual bool MakesCharacter(int shortcut) const = 0;
};

// Index k stands for Shortcut k; bit 0 is never set.
using ShortcutSet = std::bitset<kNumShortcuts + 1>;

// The keys the store asks for: each key some button carries. One that a layout turns into
// a character (AltGr) is taken too, and let through at the press where it is one: the
// layout in front then decides, not the one of the day the key was taken.
ShortcutSet WantedShortcuts(const Store& store);

struct RegistrationPlan {
  std::vector<int> Register;    // wanted and not held, in key order
  std::vector<int> Unregister;  // held and no longer wanted, in key order
  bool operator==(const RegistrationPlan&) const = default;
};
RegistrationPlan PlanRegistrations(const ShortcutSet& wanted, const ShortcutSet& held);

// Messages of the editor.
std::string ShortcutTakenMessage(const Store& store, int shortcut, ButtonRef other);
std::string ShortcutCharacterMessage(int shortcut);
std::string ShortcutHeldMessage(int shortcut);
// At a copy to another group: the copy is made without the key.
std::string ShortcutNotCopiedMessage(const Store& store, int shortcut, ButtonRef original,
                                     int destination);
// The same for a copy that leaves its abbreviation with the original.
std::string AbbreviationNotCopiedMessage(const Store& store, const std::string& abbreviation,
                                         ButtonRef original, int destination);

// The keys the program holds, kept in step with the store.
class ShortcutKeys {
 public:
  ShortcutKeys(HotKeyRegistry& registry, const ShortcutLayout& layout);
  ShortcutKeys(const ShortcutKeys&) = delete;
  ShortcutKeys& operator=(const ShortcutKeys&) = delete;

  // Takes the keys of the loaded store. Returns the one message to show at start,
  // listing every button whose key does not type it, or an empty string.
  std::string Start(const Store& store);
  // After every change of the store: takes the keys now wanted, gives back the rest. A
  // key another program held is tried again, silently: the user was told already.
  void Update(const Store& store);
  // Gives every key back.
  void Stop();
  bool Holds(int shortcut) const { return IsShortcut(shortcut) && held_[shortcut]; }
  // `shortcut` was pressed. When the layout in front makes a character of it, the key is
  // the user's: it is given back so that it can be sent again to that window, and taken
  // again at the next Update, once the user has let go of it. True then.
  bool LetThrough(int shortcut);

  // The editor's list changed to `shortcut`. A key of another button is told once, by
  // the refusal at Done.
  ShortcutChoice Chosen(int32_t shortcut);
  // Done with `shortcut` for button `self` (Button 0 for a new one): the refusal to
  // show, or nothing when the editor may close.
  std::optional<std::string> RefuseDone(const Store& store, ButtonRef self,
                                        int32_t shortcut) const;

 private:
  // Whether another program holds `shortcut`: one the program holds is free; any
  // other is tried and given back at once.
  bool HeldElsewhere(int shortcut);

  HotKeyRegistry& registry_;
  const ShortcutLayout& layout_;
  ShortcutSet held_;
};

// Whether the button `shortcut` stands for now asks for its group's password first
// (AsksPassword); false when no button carries it.
bool ShortcutAsksPassword(const Store& store, int shortcut, bool unlocked);

}  // namespace ks
