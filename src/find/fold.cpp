#include "find/fold.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

#include "text/utf.h"

namespace ks {

namespace {

// Base letters of U+00C0..U+00FF; '.' keeps the character (the signs × and ÷), '*' is
// one of the letters written with two (Æ æ Þ þ ß), which FoldChar spells out.
constexpr std::string_view kLatin1 =
    "aaaaaa*c" "eeeeiiii" "dnooooo." "ouuuuy**"   // capitals, then ß
    "aaaaaa*c" "eeeeiiii" "dnooooo." "ouuuuy*y";  // small letters
// Base letters of Latin Extended-A, U+0100..U+017F; '*' for Ĳ ĳ Œ œ.
constexpr std::string_view kLatinExtA =
    "aaaaaa" "cccccccc" "dddd" "eeeeeeeeee" "gggggggg" "hhhh" "iiiiiiiiii" "**" "jj" "kkk"
    "llllllllll" "nnnnnnnnn" "oooooo" "**" "rrrrrr" "ssssssss" "tttttt" "uuuuuuuuuuuu" "ww"
    "yyy" "zzzzzz" "s";
// Base letters of the Vietnamese letters of Latin Extended Additional, U+1EA0..U+1EF9.
constexpr std::string_view kVietnamese =
    "aaaaaaaaaaaaaaaaaaaaaaaa" "eeeeeeeeeeeeeeee" "iiii" "oooooooooooooooooooooooo"
    "uuuuuuuuuuuuuu" "yyyyyyyy";
static_assert(kLatin1.size() == 0x40 && kLatinExtA.size() == 0x80 && kVietnamese.size() == 90);

// Single characters that fold to another, applied after the small letter is taken: the
// Greek and Cyrillic letters with marks to their base letters, the Greek symbol forms
// and final sigma to the letters, and a few Latin letters outside the tables above.
// Й folds to И as Ñ does to N: the search finds more, never less, than the user meant.
constexpr std::pair<char16_t, char16_t> kSingles[] = {
    {0x00A0, 0x0020},  // no-break space
    {0x00B5, 0x03BC},  // micro sign: mu
    {0x01A0, 'o'}, {0x01A1, 'o'}, {0x01AF, 'u'}, {0x01B0, 'u'},
    {0x0218, 's'}, {0x0219, 's'}, {0x021A, 't'}, {0x021B, 't'},
    {0x0386, 0x03B1}, {0x0388, 0x03B5}, {0x0389, 0x03B7}, {0x038A, 0x03B9},
    {0x038C, 0x03BF}, {0x038E, 0x03C5}, {0x038F, 0x03C9}, {0x0390, 0x03B9},
    {0x03AC, 0x03B1}, {0x03AD, 0x03B5}, {0x03AE, 0x03B7}, {0x03AF, 0x03B9},
    {0x03B0, 0x03C5}, {0x03C2, 0x03C3}, {0x03CA, 0x03B9}, {0x03CB, 0x03C5},
    {0x03CC, 0x03BF}, {0x03CD, 0x03C5}, {0x03CE, 0x03C9},
    {0x03D0, 0x03B2}, {0x03D1, 0x03B8}, {0x03D5, 0x03C6}, {0x03D6, 0x03C0},
    {0x03F0, 0x03BA}, {0x03F1, 0x03C1}, {0x03F2, 0x03C3}, {0x03F4, 0x03B8},
    {0x03F5, 0x03B5}, {0x03F9, 0x03C3},
    {0x0439, 0x0438},  // й
    {0x0450, 0x0435}, {0x0451, 0x0435}, {0x0453, 0x0433}, {0x0457, 0x0456},
    {0x045C, 0x043A}, {0x045D, 0x0438}, {0x045E, 0x0443}, {0x0477, 0x0475},
    {0x04C2, 0x0436}, {0x04D1, 0x0430}, {0x04D3, 0x0430}, {0x04D7, 0x0435},
    {0x04DB, 0x04D9}, {0x04DD, 0x0436}, {0x04DF, 0x0437}, {0x04E3, 0x0438},
    {0x04E5, 0x0438}, {0x04E7, 0x043E}, {0x04EB, 0x04E9}, {0x04ED, 0x044D},
    {0x04EF, 0x0443}, {0x04F1, 0x0443}, {0x04F3, 0x0443}, {0x04F5, 0x0447},
    {0x04F9, 0x044B},
};
static_assert(std::is_sorted(std::begin(kSingles), std::end(kSingles)));

// The small letter of a capital in the Greek and Cyrillic blocks (simple case folding).
constexpr char32_t SmallLetter(char32_t c) {
  if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return c + 0x20;
  if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
  // Capitals and small letters alternate from here on, the capital first...
  if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) ||
      (c >= 0x04D0 && c <= 0x04FF))
    return c | 1;
  // ...but for a stretch where the capital comes second.
  if (c == 0x04C0) return 0x04CF;
  if (c >= 0x04C1 && c <= 0x04CE && (c & 1)) return c + 1;
  return c;
}

// The folded form of one character: `n` characters in `out`, 0 when it is dropped.
constexpr int FoldChar(char32_t c, char32_t out[2]) {
  if (c >= 'A' && c <= 'Z') {
    out[0] = c + ('a' - 'A');
    return 1;
  }
  auto two = [&](char a, char b) {
    out[0] = static_cast<unsigned char>(a);
    out[1] = static_cast<unsigned char>(b);
    return 2;
  };
  // Combining marks: text written decomposed ("e" followed by an acute) folds as the
  // composed letter does. Variation selectors only choose how an emoji is drawn.
  if ((c >= 0x0300 && c <= 0x036F) || (c >= 0xFE00 && c <= 0xFE0F)) return 0;
  if (c >= 0xC0 && c <= 0xFF) {
    const char base = kLatin1[c - 0xC0];
    if (base == '*') {
      if (c == 0xC6 || c == 0xE6) return two('a', 'e');
      if (c == 0xDE || c == 0xFE) return two('t', 'h');
      return two('s', 's');
    }
    out[0] = base == '.' ? c : static_cast<unsigned char>(base);
    return 1;
  }
  if (c >= 0x0100 && c <= 0x017F) {
    const char base = kLatinExtA[c - 0x0100];
    if (base == '*') return c < 0x0140 ? two('i', 'j') : two('o', 'e');
    out[0] = static_cast<unsigned char>(base);
    return 1;
  }
  if (c == 0x1E9E) return two('s', 's');  // capital sharp s
  if (c >= 0x1EA0 && c <= 0x1EF9) {
    out[0] = static_cast<unsigned char>(kVietnamese[c - 0x1EA0]);
    return 1;
  }
  c = SmallLetter(c);
  if (c <= 0xFFFF) {
    const auto it = std::lower_bound(std::begin(kSingles), std::end(kSingles),
                                     std::pair<char16_t, char16_t>{static_cast<char16_t>(c), 0});
    if (it != std::end(kSingles) && it->first == c) c = it->second;
  }
  out[0] = c;
  return 1;
}

// FoldChar's answers for U+0000..U+04FF, where nearly every character of a Latin, Greek
// or Cyrillic text falls, looked up instead of worked out: a full store is folded when
// the find window opens. 0 for a dropped mark, kSpelled for two letters.
constexpr char16_t kSpelled = 0xFFFF;
constexpr auto kFoldedBelow0500 = [] {
  std::array<char16_t, 0x500> table{};
  for (char32_t c = 0; c < table.size(); ++c) {
    char32_t out[2] = {};
    const int n = FoldChar(c, out);
    table[c] = n == 0 ? 0 : n == 2 ? kSpelled : static_cast<char16_t>(out[0]);
  }
  return table;
}();

}  // namespace

std::string FoldForFind(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      // A run of ASCII at once, into room made for all of it: a full store is mostly
      // ASCII, and appending it a byte at a time took most of the index's making.
      std::size_t end = pos + 1;
      while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
      const std::size_t at = out.size();
      out.resize(at + (end - pos));
      for (std::size_t i = pos; i < end; ++i)
        out[at + i - pos] =
            static_cast<char>(kFoldedBelow0500[static_cast<unsigned char>(text[i])]);
      pos = end;
      continue;
    }
    const char32_t c = NextCodePoint(text, pos);
    if (c < kFoldedBelow0500.size() && kFoldedBelow0500[c] != kSpelled) {
      if (kFoldedBelow0500[c] != 0) AppendUtf8(out, kFoldedBelow0500[c]);
      continue;
    }
    char32_t folded[2] = {};
    const int n = FoldChar(c, folded);
    for (int i = 0; i < n; ++i) AppendUtf8(out, folded[i]);
  }
  return out;
}

bool IsWordChar(char32_t c) {
  if (c < 0x80)
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;      // Latin-1 signs, no-break space
  if (c >= 0x2000 && c <= 0x2BFF) return false;              // punctuation, arrows, symbols
  if (c >= 0x3000 && c <= 0x303F) return false;              // CJK punctuation
  if (c >= 0x1F000 && c <= 0x1FAFF) return false;            // emoji and pictographs
  return c != kReplacementChar;
}

bool AtWordStart(std::string_view text, std::size_t pos) {
  if (pos == 0) return true;
  std::size_t at = pos - 1;
  while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) --at;
  return !IsWordChar(NextCodePoint(text, at));
}

}  // namespace ks
