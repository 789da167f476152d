#include "abbrev/validate.h"

#include "text/utf.h"

namespace ks::abbrev {

namespace {

// Blanks and line breaks of any script, and control characters, which no key types.
bool Blank(char32_t c) {
  return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

}  // namespace

std::optional<std::string> AbbreviationFault(std::string_view abbreviation) {
  int chars = 0;
  bool blank = false;
  for (std::size_t pos = 0; pos < abbreviation.size();) {
    if (Blank(NextCodePoint(abbreviation, pos))) blank = true;
    ++chars;
  }
  if (blank) return "An abbreviation cannot contain blanks or line breaks.";
  if (chars > kMaxAbbreviationChars)
    return "An abbreviation can have at most " + std::to_string(kMaxAbbreviationChars) +
           " characters.";
  return std::nullopt;
}

const ButtonAbbreviation* OtherButtonWithAbbreviation(
    const std::vector<ButtonAbbreviation>& buttons, std::string_view abbreviation, int group,
    int button) {
  if (abbreviation.empty()) return nullptr;
  for (const ButtonAbbreviation& b : buttons)
    if (b.Abbreviation == abbreviation && !(b.Group == group && b.Button == button)) return &b;
  return nullptr;
}

std::optional<std::string> RefuseAbbreviation(const std::vector<ButtonAbbreviation>& buttons,
                                              int group, int button,
                                              std::string_view abbreviation) {
  if (auto fault = AbbreviationFault(abbreviation)) return fault;
  if (const ButtonAbbreviation* other =
          OtherButtonWithAbbreviation(buttons, abbreviation, group, button))
    return "\"" + std::string(abbreviation) + "\" is already the abbreviation of the " +
           other->Caption + " button in the " + other->GroupName +
           " group.\nPlease choose another abbreviation.";
  return std::nullopt;
}

}  // namespace ks::abbrev
