#include <gtest/gtest.h>

#include "find/fold.h"
#include "text/utf.h"

namespace ks {
namespace {

std::string Utf8(char32_t c) {
  std::string s;
  AppendUtf8(s, c);
  return s;
}

TEST(Fold, LettersWithMarksBecomeSmallBaseLetters) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"Café CRÈME", "cafe creme"},
      {"Hauptstraße GROẞ", "hauptstrasse gross"},
      {"Æsir Œuvre Þing Ĳssel", "aesir oeuvre thing ijssel"},
      {"Łódź Ğüş İı Ñ ſ", "lodz gus ii n s"},
      {"Șțefan Ơn Việt", "stefan on viet"},
      {"e\xCC\x81te\xCC\x81", "ete"},  // written decomposed: e and a combining acute
      {"Οδός ΆΈΉΊΌΎΏ ΐΰ Ϊϋ", "οδοσ αεηιουω ιυ ιυ"},  // tonos, dialytika, final sigma
      {"ΣΟΦΟΣ σοφός", "σοφοσ σοφοσ"},
      {"Ёлка ЙОД Ї Ў Ѓ Ќ", "елка иод і у г к"},
      {"µ", "μ"},  // the micro sign is the Greek letter
      {"Ӑӓ Ӝ Ѣѣ Ѳ", "аа ж ѣѣ ѳ"},
      // Emoji (but the variation selector of the heart), Han and Hebrew stay.
      {"\xE2\x9D\xA4\xEF\xB8\x8F \xF0\x9F\x8E\x89 \xE4\xB8\xAD \xD7\xA9",
       "\xE2\x9D\xA4 \xF0\x9F\x8E\x89 \xE4\xB8\xAD \xD7\xA9"},
      {"2 × 3 ÷ 1\xC2\xA0%", "2 × 3 ÷ 1 %"},
      {"a\xE2\x9C", "a\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) EXPECT_EQ(FoldForFind(c.in), c.out) << c.in;
}

// Every capital of the blocks folded must fold as its small letter does: a slip in an
// offset or a table would leave a whole row of letters unfound by the other case.
TEST(Fold, EveryCapitalFoldsAsItsSmallLetter) {
  struct Range {
    char32_t first, last, smallOffset;
    bool alternating;  // capital and small letter side by side, the capital even
  };
  const Range ranges[] = {
      {U'A', U'Z', 0x20, false},   {0xC0, 0xDE, 0x20, false},   {0x100, 0x137, 1, true},
      {0x14A, 0x177, 1, true},     {0x391, 0x3AB, 0x20, false}, {0x400, 0x40F, 0x50, false},
      {0x410, 0x42F, 0x20, false}, {0x460, 0x481, 1, true},     {0x48A, 0x4BF, 1, true},
      {0x4D0, 0x4FF, 1, true},     {0x1EA0, 0x1EF9, 1, true},
  };
  for (const Range& r : ranges)
    for (char32_t c = r.first; c <= r.last; c += r.alternating ? 2 : 1) {
      if (c == 0xD7 || c == 0x3A2) continue;  // the sign ×, and no letter
      EXPECT_EQ(FoldForFind(Utf8(c)), FoldForFind(Utf8(c + r.smallOffset)))
          << std::hex << static_cast<unsigned>(c);
    }
  // The stretches where the small letter is the even one.
  for (char32_t c : {0x139, 0x13B, 0x13D, 0x13F, 0x141, 0x143, 0x145, 0x147, 0x179, 0x17B,
                     0x17D, 0x4C1, 0x4C3, 0x4C5, 0x4C7, 0x4C9, 0x4CB, 0x4CD})
    EXPECT_EQ(FoldForFind(Utf8(c)), FoldForFind(Utf8(c + 1))) << std::hex << static_cast<unsigned>(c);
  EXPECT_EQ(FoldForFind("\xC5\xB8"), "y");                   // Ÿ, away from its ÿ
  EXPECT_EQ(FoldForFind("\xD3\x80"), FoldForFind("\xD3\x8F"));  // Ӏ and ӏ
}

TEST(Fold, WordsStartAfterAnythingButLettersAndDigits) {
  struct Case {
    const char* text;
    std::size_t pos;
    bool start;
  };
  const Case cases[] = {
      {"mail", 0, true},        {"e-mail", 2, true},     {"email", 1, false},
      {"l'ete", 2, true},       {"(tel)", 1, true},      {"a2b", 2, false},
      {"\xCE\xB1\xCE\xB2", 2, false},                     // inside a Greek word
      {"\xE2\x80\x9Cquote", 3, true},                     // after a typographic quote
      {"\xF0\x9F\x8E\x89party", 4, true},                  // after an emoji
      {"\xC2\xAB\xD0\xBC\xD0\xB8\xD1\x80", 2, true},      // after a guillemet
  };
  for (const Case& c : cases) EXPECT_EQ(AtWordStart(c.text, c.pos), c.start) << c.text;
}

}  // namespace
}  // namespace ks
