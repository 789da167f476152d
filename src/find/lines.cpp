#include "find/lines.h"

#include "text/utf.h"

namespace ks {

namespace {

constexpr char32_t kLineBreakMark = 0x00B6;  // ¶
constexpr char32_t kEllipsis = 0x2026;
constexpr char32_t kZeroWidthJoiner = 0x200D;

// Whether `c` belongs to the character before it as the user sees it.
bool JoinsPrevious(char32_t c, char32_t previous) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0xFE00 && c <= 0xFE0F) ||
         (c >= 0x1F3FB && c <= 0x1F3FF) ||  // skin tones
         c == kZeroWidthJoiner || previous == kZeroWidthJoiner;
}

// The code point at `pos` as the line shows it, moving `pos` past it (past both of CR LF).
char32_t ShownAt(std::string_view text, std::size_t& pos) {
  const char32_t c = NextCodePoint(text, pos);
  if (c == '\r' || c == '\n') {
    if (c == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    return kLineBreakMark;
  }
  return c < 0x20 || c == 0x7F ? U' ' : c;
}

}  // namespace

std::string TextPreview(std::string_view text, std::size_t maxChars) {
  std::string out;
  std::size_t shown = 0;
  for (std::size_t pos = 0; pos < text.size() && shown < maxChars; ++shown) {
    // One character as the user sees it: a code point and what joins it.
    std::string character;
    char32_t c = ShownAt(text, pos);
    AppendUtf8(character, c);
    while (pos < text.size()) {
      std::size_t next = pos;
      const char32_t d = ShownAt(text, next);
      if (!JoinsPrevious(d, c)) break;
      AppendUtf8(character, d);
      c = d;
      pos = next;
    }
    if (shown + 1 == maxChars && pos < text.size()) {
      AppendUtf8(out, kEllipsis);
      break;
    }
    out += character;
  }
  return out;
}

FindLine FindLineOf(const Store& store, int group, int button, std::size_t maxTextChars) {
  FindLine line;
  const Group& g = store.GroupAt(group);
  line.Caption = g.ButtonAt(button).Caption;
  line.Group = g.Name;
  line.Locked = !g.Password.empty();
  if (!line.Locked) line.Text = TextPreview(g.ButtonAt(button).String, maxTextChars);
  return line;
}

}  // namespace ks
