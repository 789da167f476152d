#pragma once
// What an abbreviation may be: at most 31 characters, no blanks or line breaks, and one
// button's only, across all groups. Judged against a plain list of the store's buttons,
// so that the rules do not depend on how the store keeps the field.
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
};

// What is wrong with `abbreviation` on its own, told to the user; nothing when it may be
// kept (an empty one is none, and may).
std::optional<std::string> AbbreviationFault(std::string_view abbreviation);
inline bool IsValidAbbreviation(std::string_view a) { return !AbbreviationFault(a); }

// The first button other than (`group`, `button`) that has `abbreviation`, in the list's
// order; nullptr when none has. Button 0 stands for a button not yet in the store.
const ButtonAbbreviation* OtherButtonWithAbbreviation(
    const std::vector<ButtonAbbreviation>& buttons, std::string_view abbreviation, int group,
    int button);

// Done in the editor with `abbreviation` for (`group`, `button`): the refusal to show, or
// nothing when the editor may close.
std::optional<std::string> RefuseAbbreviation(const std::vector<ButtonAbbreviation>& buttons,
                                              int group, int button, std::string_view abbreviation);

}  // namespace ks::abbrev
