#pragma once
// The abbreviation watch: follows the characters the user types anywhere and tells when
// they end with a button's abbreviation. It keeps no more of them than the longest
// abbreviation has, only in memory, wipes what it lets go of, and keeps none while the
// focus is in a password field, while the program records keys or types.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "abbrev/keyboard.h"

namespace ks::abbrev {

// A button's abbreviation, UTF-8 as the store keeps it.
struct Abbreviation {
  int Group = 0;
  int Button = 0;
  std::string Text;
  bool Locked = false;  // its group has a password
};

// The button whose abbreviation was just typed, and what to take back before its text.
struct Match {
  int Group = 0;
  int Button = 0;
  // Backspaces that take the abbreviation out of an edit control: one per UTF-16 unit, as
  // EDIT and RichEdit remove them. A character beyond the Basic Multilingual Plane is two
  // units there, one character in a browser or a word processor: `Characters` counts those.
  int Backspaces = 0;
  int Characters = 0;
  // The abbreviation's last character when its key is kept from the window (0 when it
  // goes through): one character and one Backspace less for the window to handle before
  // the text. Not counted above. Whoever then types nothing gives it back.
  char16_t Kept = 0;
  bool operator==(const Match&) const = default;
};

// What one key event means to the caller.
struct Seen {
  std::optional<Match> Typed;  // an abbreviation ends here
  bool StopRun = false;        // the program types, and the user pressed a key
};

class AbbreviationWatch {
 public:
  explicit AbbreviationWatch(KeyLayouts& layouts) : keyboard_(layouts) {}
  // Its map views the texts it holds.
  AbbreviationWatch(const AbbreviationWatch&) = delete;
  AbbreviationWatch& operator=(const AbbreviationWatch&) = delete;

  // The abbreviations to watch for; after every change of the store, and an empty list
  // when abbreviations are switched off. One that is not valid (too long, blanks) is left
  // out; of two alike, the first in the list (store order) types.
  void SetAbbreviations(const std::vector<Abbreviation>& list);

  // One key event as the hook saw it, with the layout of the window in front.
  Seen Key(const KeyEvent& e, LayoutId layout);

  // Forgets what was typed and a waiting accent: a mouse click, a change of the foreground
  // window or of the focus.
  void Reset();
  // Keys held and Caps Lock as the system has them (Keyboard::Sync), and Reset.
  void Sync(const KeyState& state);

  // While any of these is on nothing is watched, and what was typed before is forgotten.
  void SetPasswordField(bool on) { SetPause(kPasswordField, on); }
  void SetRecording(bool on) { SetPause(kRecording, on); }
  void SetTyping(bool on) { SetPause(kTyping, on); }
  // The focus is in a window of the program: what is typed there is meant for it, and no
  // key is kept from it.
  void SetFocusOurs(bool on) { focusOurs_ = on; }

  // Whether there is an abbreviation to watch for: without, a key costs next to nothing.
  bool Watching() const { return longest_ > 0; }
  const Keyboard& Keys() const { return keyboard_; }
  // What is kept now, for the tests: never more units than the longest abbreviation.
  std::u16string_view Kept() const { return {typed_.data(), length_}; }

 private:
  // 31 characters, each at most two UTF-16 units.
  static constexpr std::size_t kCapacity = 62;
  enum Pause : unsigned { kPasswordField = 1, kRecording = 2, kTyping = 4 };

  void SetPause(Pause which, bool on);
  void Forget(std::size_t keep);
  void Append(std::u16string_view chars);
  void TakeLastOff();
  // Backspace, the keys the window takes as characters of their own, and the caret's moves:
  // true when `key` was one of them, and what was typed is changed accordingly.
  bool EditingKey(std::uint32_t key, const Held& held);
  std::optional<Match> MatchAtEnd(bool mayKeepLast);

  Keyboard keyboard_;
  unsigned paused_ = 0;
  bool focusOurs_ = false;

  std::vector<std::u16string> texts_;  // owns what the map's keys view
  struct Entry {
    int Group, Button, Characters;
    bool Locked;
  };
  std::unordered_map<std::u16string_view, Entry> byText_;
  std::vector<std::size_t> lengths_;  // the lengths in units there are, longest first
  std::size_t longest_ = 0;

  std::array<char16_t, kCapacity> typed_{};
  std::size_t length_ = 0;
};

}  // namespace ks::abbrev
