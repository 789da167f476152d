#pragma once
// What an abbreviation may be: at most 31 characters, no blanks or line breaks, and one
// button's only, across all groups, neither beginning another nor beginning with one.
// Judged against a plain list of the store's buttons, so that the rules do not depend on
// how the store keeps the field.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ks::abbrev {

inline constexpr int kMaxAbbreviationChars = 31;

// One button of the store as the rules see it.
struct ButtonAbbreviation {
  int Group = 0;
  int Button = 0;
  std::string Caption;
  std::string GroupName;
  std::string Abbreviation;  // UTF-8; empty: none
  // Its group's programs (Group::Programs), where alone the abbreviation works; empty:
  // everywhere.
  std::string Programs;
};

// What is wrong with `abbreviation` on its own, told to the user; nothing when it may be
// kept (an empty one is none, and may).
std::optional<std::string> AbbreviationFault(std::string_view abbreviation);
inline bool IsValidAbbreviation(std::string_view a) { return !AbbreviationFault(a); }

// Done in the editor with `abbreviation` for (`group`, `button`), whose group serves
// `programs` (empty: it works everywhere): the refusal to show, or nothing when the editor
// may close. Beside its own faults, it is refused when another button that works in one
// program with it has it, or when it begins that button's abbreviation or begins with one
// (byte for byte, on whole characters): the watch types the shorter as soon as its last
// character is typed, so the longer could never be used. Buttons of groups whose programs
// do not meet never watch at once, and may share one. Of several such buttons the one with
// the same abbreviation is named, else the first in the list's order. Button 0 stands for a
// button not yet in the store.
std::optional<std::string> RefuseAbbreviation(const std::vector<ButtonAbbreviation>& buttons,
                                              int group, int button, std::string_view abbreviation,
                                              std::string_view programs);

}  // namespace ks::abbrev
