#pragma once
// The type codes, in one table that every part knowing them reads: the typing engine runs
// them, the editor's memo writes and removes them whole, and a unit test holds the user's
// guide to it. A code is "{" up to the first "}" after it; the text between is compared
// upper-cased (ASCII letters only), exactly, without trimming.
#include <cstdint>
#include <string>
#include <string_view>

#include "typing/keys.h"

namespace ks {

enum class CodeAction {
  Key,    // presses Key
  Date,   // types the clock's short date
  Day,    // the weekday's full name
  Month,  // the month's full name
  Time,   // the long time
  Run,    // opens the argument "program[,params]" through the shell
  List,   // lets the user pick one of the argument's entries "a,b,c", and types it
};

struct TypeCode {
  // Upper case. A name that ends in a blank takes the rest of the code as its argument.
  std::string_view Name;
  CodeAction Action;
  std::uint8_t Key = 0;
  constexpr bool TakesArgument() const { return Name.back() == ' '; }
};

inline constexpr TypeCode kTypeCodes[] = {
    {"ENTER", CodeAction::Key, vk::Return},
    {"TAB", CodeAction::Key, vk::Tab},
    {"UP", CodeAction::Key, vk::Up},
    {"DOWN", CodeAction::Key, vk::Down},
    {"LEFT", CodeAction::Key, vk::Left},
    {"RIGHT", CodeAction::Key, vk::Right},
    {"DATE", CodeAction::Date},
    {"DAY", CodeAction::Day},
    {"MONTH", CodeAction::Month},
    {"TIME", CodeAction::Time},
    {"RUN ", CodeAction::Run},
    {"LIST ", CodeAction::List},
};

// The code that `inner`, the text between the braces, names; nullptr for none (such a
// code vanishes with its braces when typed).
const TypeCode* FindTypeCode(std::string_view inner);

// How the editor writes the code that presses `key`: "{enter}", "{left}"; empty when no
// code presses it.
std::string KeyCodeText(std::uint8_t key);

// ASCII letters a..z to A..Z; every other byte unchanged, so UTF-8 stays intact.
std::string UpperAscii(std::string s);

// A button's text to type as it may enter the store. The button text file ends a line
// at the first CR, so no CR may reach it: each CR LF pair and each lone CR becomes
// "{enter}" and each tab "{tab}", the same keys the user typed. A lone LF ends no line
// there and stays as it is, so a stored text keeps it through an edit.
std::string CleanButtonText(std::string_view text);

}  // namespace ks
