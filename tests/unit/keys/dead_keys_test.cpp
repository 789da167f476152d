#include <gtest/gtest.h>

#include "keys/dead_keys.h"

namespace ks::keys {
namespace {

// A few precomposed letters, as the system's normalisation would give them.
char16_t Compose(char16_t base, char16_t mark) {
  struct Pair { char16_t base, mark, composed; };
  static constexpr Pair kTable[] = {{u'e', 0x0302, u'\u00EA'}, {u'E', 0x0302, u'\u00CA'},
                                    {u'u', 0x0308, u'\u00FC'}, {u'a', 0x0301, u'\u00E1'},
                                    {u'n', 0x0303, u'\u00F1'}, {u'c', 0x0327, u'\u00E7'}};
  for (const Pair& p : kTable)
    if (p.base == base && p.mark == mark) return p.composed;
  return 0;
}

LayoutKey Dead(char16_t accent) { return LayoutKey{std::u16string(1, accent), true}; }
LayoutKey Chars(std::u16string s) { return LayoutKey{std::move(s), false}; }

TEST(DeadKeys, AnAccentWaitsAndComposesWithTheNextLetter) {
  DeadKeys keys(Compose);
  EXPECT_EQ(keys.Press(Dead(u'^')), u"");
  EXPECT_EQ(keys.Press(Chars(u"e")), u"\u00EA");
  EXPECT_EQ(keys.Press(Chars(u"e")), u"e");  // the accent was used up
  // Shift (no character) between the accent and the letter keeps it waiting.
  EXPECT_EQ(keys.Press(Dead(u'^')), u"");
  EXPECT_EQ(keys.Press(Chars(u"")), u"");
  EXPECT_EQ(keys.Press(Chars(u"E")), u"\u00CA");
  EXPECT_EQ(keys.Press(Dead(0x00A8)), u"");
  EXPECT_EQ(keys.Press(Chars(u"u")), u"\u00FC");
  EXPECT_EQ(keys.Press(Dead(0x00B4)), u"");
  EXPECT_EQ(keys.Press(Chars(u"a")), u"\u00E1");
  EXPECT_EQ(keys.Press(Dead(0x00B8)), u"");
  EXPECT_EQ(keys.Press(Chars(u"c")), u"\u00E7");
}

TEST(DeadKeys, WhatDoesNotComposeComesAfterTheAccent) {
  DeadKeys keys(Compose);
  keys.Press(Dead(u'^'));
  EXPECT_EQ(keys.Press(Chars(u"x")), u"^x");
  keys.Press(Dead(u'~'));
  EXPECT_EQ(keys.Press(Chars(u" ")), u"~");  // a space gives the accent alone
  keys.Press(Dead(u'^'));
  EXPECT_EQ(keys.Press(Dead(0x00A8)), u"^\u00A8");  // a second accent: both, none waits
  EXPECT_EQ(keys.Press(Chars(u"u")), u"u");
  keys.Press(Dead(u'`'));
  EXPECT_EQ(keys.Press(Chars(u"1")), u"`1");
  keys.Press(Dead(u'`'));
  keys.Reset();
  EXPECT_EQ(keys.Press(Chars(u"a")), u"a");
}

TEST(DeadKeys, AccentsOfTheCommonLayoutsHaveTheirMarks) {
  EXPECT_EQ(CombiningMarkFor(u'^'), 0x0302);
  EXPECT_EQ(CombiningMarkFor(u'`'), 0x0300);
  EXPECT_EQ(CombiningMarkFor(0x00B4), 0x0301);
  EXPECT_EQ(CombiningMarkFor(0x00A8), 0x0308);
  EXPECT_EQ(CombiningMarkFor(u'~'), 0x0303);
  EXPECT_EQ(CombiningMarkFor(0x02C7), 0x030C);
  EXPECT_EQ(CombiningMarkFor(u'a'), 0);
}

}  // namespace
}  // namespace ks::keys
