#pragma once
// The type codes, in one table that every part knowing them reads: the typing engine runs
// them, the editor's memo writes and removes them whole, and a unit test holds the user's
// guide to it. A code is "{" up to the first "}" after it; the text between is compared
// upper-cased (ASCII letters only), exactly, without trimming.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "typing/keys.h"

namespace ks {

enum class CodeAction {
  Key,    // presses Key
  Char,   // types the character Char, which a text cannot hold as itself
  Combo,  // presses a key with modifiers held: see ParseCombination
  Wait,   // waits the argument's milliseconds: see WaitMs
  Clipboard,  // types the clipboard's text
  Input,  // types the answer to the question the argument names: see ParseInput
  Cursor,     // leaves the caret here once the text is typed
  Date,   // types the clock's short date
  Day,    // the weekday's full name
  Month,  // the month's full name
  Time,   // the long time
  Run,    // opens the argument "program[,params]" through the shell
  List,   // lets the user pick one of the argument's entries "a,b,c", and types it
};

struct TypeCode {
  // Upper case. A name that ends in a blank takes the rest of the code as its argument; one
  // that ends in "+" (a modifier) is followed by more modifiers and a key.
  std::string_view Name;
  CodeAction Action;
  std::uint8_t Key = 0;
  // Whether Undo takes the key back with a Backspace: keys that move or remove (Home, Del)
  // typed no character, and a Backspace after them would take one of the user's.
  bool Undone = true;
  char Char = 0;
  // An argument that may be left out with its blank: "{input}".
  bool BareToo = false;
  constexpr bool TakesArgument() const { return Name.back() == ' '; }
  constexpr bool IsModifier() const { return Name.back() == '+'; }
};

inline constexpr TypeCode kTypeCodes[] = {
    {"ENTER", CodeAction::Key, vk::Return},
    {"TAB", CodeAction::Key, vk::Tab},
    {"UP", CodeAction::Key, vk::Up},
    {"DOWN", CodeAction::Key, vk::Down},
    {"LEFT", CodeAction::Key, vk::Left},
    {"RIGHT", CodeAction::Key, vk::Right},
    {"HOME", CodeAction::Key, vk::Home, false},
    {"END", CodeAction::Key, vk::End, false},
    {"PGUP", CodeAction::Key, vk::Prior, false},
    {"PGDN", CodeAction::Key, vk::Next, false},
    {"INS", CodeAction::Key, vk::Insert, false},
    {"DEL", CodeAction::Key, vk::Delete, false},
    {"BS", CodeAction::Key, vk::Back, false},
    {"ESC", CodeAction::Key, vk::Escape, false},
    {"SPACE", CodeAction::Key, vk::Space},
    {"APPS", CodeAction::Key, vk::Apps, false},
    {"F1", CodeAction::Key, vk::F1, false},
    {"F2", CodeAction::Key, vk::F1 + 1, false},
    {"F3", CodeAction::Key, vk::F1 + 2, false},
    {"F4", CodeAction::Key, vk::F1 + 3, false},
    {"F5", CodeAction::Key, vk::F1 + 4, false},
    {"F6", CodeAction::Key, vk::F1 + 5, false},
    {"F7", CodeAction::Key, vk::F1 + 6, false},
    {"F8", CodeAction::Key, vk::F1 + 7, false},
    {"F9", CodeAction::Key, vk::F1 + 8, false},
    {"F10", CodeAction::Key, vk::F1 + 9, false},
    {"F11", CodeAction::Key, vk::F1 + 10, false},
    {"F12", CodeAction::Key, vk::F1 + 11, false},
    {"F13", CodeAction::Key, vk::F1 + 12, false},
    {"F14", CodeAction::Key, vk::F1 + 13, false},
    {"F15", CodeAction::Key, vk::F1 + 14, false},
    {"F16", CodeAction::Key, vk::F1 + 15, false},
    {"F17", CodeAction::Key, vk::F1 + 16, false},
    {"F18", CodeAction::Key, vk::F1 + 17, false},
    {"F19", CodeAction::Key, vk::F1 + 18, false},
    {"F20", CodeAction::Key, vk::F1 + 19, false},
    {"F21", CodeAction::Key, vk::F1 + 20, false},
    {"F22", CodeAction::Key, vk::F1 + 21, false},
    {"F23", CodeAction::Key, vk::F1 + 22, false},
    {"F24", CodeAction::Key, vk::F1 + 23, false},
    {"LBRACE", CodeAction::Char, 0, true, '{'},
    {"RBRACE", CodeAction::Char, 0, true, '}'},
    {"CTRL+", CodeAction::Combo, vk::Control},
    {"ALT+", CodeAction::Combo, vk::Menu},
    {"SHIFT+", CodeAction::Combo, vk::Shift},
    {"WIN+", CodeAction::Combo, vk::LWin},
    {"DATE", CodeAction::Date},
    {"DAY", CodeAction::Day},
    {"MONTH", CodeAction::Month},
    {"TIME", CodeAction::Time},
    {"RUN ", CodeAction::Run},
    {"LIST ", CodeAction::List},
    {"WAIT ", CodeAction::Wait},
    {"CLIPBOARD", CodeAction::Clipboard},
    {"INPUT ", CodeAction::Input, 0, true, 0, true},
    {"CURSOR", CodeAction::Cursor},
};

// The longest wait a {wait} code asks for, in milliseconds, and the most characters a
// {clipboard} types.
inline constexpr int kMaxWaitMs = 10000;
inline constexpr std::size_t kMaxClipboardChars = 10000;

// A key pressed with modifiers held: the modifiers' keys in the order they go down, and
// either the key or the character whose key the target's layout gives.
struct Combination {
  std::vector<std::uint8_t> Modifiers;
  std::uint8_t Key = 0;
  char32_t Char = 0;
  bool operator==(const Combination&) const = default;
};
// The combination `inner` names ("ctrl+shift+end", "alt+f4", "ctrl++"): modifiers joined by
// "+" to one key name of the table or one character. Nothing for no key ("ctrl+"), an
// unknown key name, and Ctrl+Alt+Del, which only the system's secure attention can send.
std::optional<Combination> ParseCombination(std::string_view inner);

// The milliseconds of a wait's argument: digits alone, at most kMaxWaitMs (a larger number
// waits that long). Nothing for anything else ("", "-5", "1s").
std::optional<int> WaitMs(std::string_view argument);

// A question of {input Name,default}: the name (the first comma ends it; "Input" for none)
// and the default answer.
struct InputField {
  std::string Name;
  std::string Default;
  bool operator==(const InputField&) const = default;
};
InputField ParseInput(std::string_view argument);
// The questions of `text` in order, each name once, with the default of its first code.
std::vector<InputField> InputFieldsOf(std::string_view text);
// The argument of a code that takes one, as a run hands it on: the text after the name,
// cut to 255 UTF-16 units, never inside a character.
std::string CodeArgument(std::string_view inner, const TypeCode& code);

// The code that `inner`, the text between the braces, names; nullptr for none (such a
// code vanishes with its braces when typed).
const TypeCode* FindTypeCode(std::string_view inner);

// How the editor writes the code that presses `key`: "{enter}", "{left}"; empty when no
// code presses it.
std::string KeyCodeText(std::uint8_t key);

// How the editor writes the code that types character `c`, which a text cannot hold as
// itself: "{lbrace}" for "{"; empty for every other character.
std::string CharCodeText(char c);

// ASCII letters a..z to A..Z; every other byte unchanged, so UTF-8 stays intact.
std::string UpperAscii(std::string s);

// A button's text to type as it may enter the store. The button text file ends a line
// at the first CR, so no CR may reach it: each CR LF pair and each lone CR becomes
// "{enter}" and each tab "{tab}", the same keys the user typed. A lone LF ends no line
// there and stays as it is, so a stored text keeps it through an edit.
std::string CleanButtonText(std::string_view text);

}  // namespace ks
