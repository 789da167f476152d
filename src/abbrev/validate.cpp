#include "abbrev/validate.h"

#include "store/programs.h"
#include "text/utf.h"

namespace ks::abbrev {

namespace {

// Blanks and line breaks of any script, and control characters, which no key types.
bool Blank(char32_t c) {
  return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// Whether `start` is the beginning of the longer `text`, up to a character's end: a lead
// byte cut from its continuation is not a character of its own.
bool Begins(std::string_view start, std::string_view text) {
  return text.size() > start.size() && text.starts_with(start) &&
         (static_cast<unsigned char>(text[start.size()]) & 0xC0) != 0x80;
}

// Whether abbreviations of groups serving `a` and `b` can be watched for at once: a group
// without programs works everywhere.
bool WorkTogether(std::string_view a, std::string_view b) {
  // A hand-edited list of blanks and commas names no program either.
  const std::vector<std::string> mine = ProgramNames(a), theirs = ProgramNames(b);
  if (mine.empty() || theirs.empty()) return true;
  for (const std::string& m : mine)
    for (const std::string& other : theirs)
      if (SameProgram(m, other)) return true;
  return false;
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

std::optional<std::string> RefuseAbbreviation(const std::vector<ButtonAbbreviation>& buttons,
                                              int group, int button,
                                              std::string_view abbreviation,
                                              std::string_view programs) {
  if (auto fault = AbbreviationFault(abbreviation)) return fault;
  if (abbreviation.empty()) return std::nullopt;
  auto firstOther = [&](auto clashes) -> const ButtonAbbreviation* {
    for (const ButtonAbbreviation& b : buttons)
      if (!b.Abbreviation.empty() && !(b.Group == group && b.Button == button) &&
          WorkTogether(programs, b.Programs) && clashes(std::string_view(b.Abbreviation)))
        return &b;
    return nullptr;
  };
  auto refusal = [&](const std::string& how, const ButtonAbbreviation& other) {
    return "\"" + std::string(abbreviation) + "\" " + how + " of the " + other.Caption +
           " button in the " + other.GroupName + " group.\nPlease choose another abbreviation.";
  };
  if (const ButtonAbbreviation* same =
          firstOther([&](std::string_view a) { return a == abbreviation; }))
    return refusal("is already the abbreviation", *same);
  if (const ButtonAbbreviation* other = firstOther([&](std::string_view a) {
        return Begins(abbreviation, a) || Begins(a, abbreviation);
      })) {
    const std::string quoted = "the abbreviation \"" + other->Abbreviation + "\"";
    return refusal(Begins(abbreviation, other->Abbreviation) ? "begins " + quoted
                                                             : "begins with " + quoted,
                   *other);
  }
  return std::nullopt;
}

}  // namespace ks::abbrev
