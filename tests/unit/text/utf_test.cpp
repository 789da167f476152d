#include <gtest/gtest.h>

#include <vector>

#include "text/codepages.h"
#include "text/utf.h"

namespace ks {
namespace {

const std::string kGreek = "\xCE\xB1\xCE\xB2\xCE\xB3";          // alpha beta gamma
const std::string kCheck = "\xE2\x9C\x93";                      // U+2713
const std::string kEmoji = "\xF0\x9F\x98\x80";                  // U+1F600
const std::string kFffd = "\xEF\xBF\xBD";

TEST(Utf, ValidTextGoesToUtf16AndBackUnchanged) {
  const std::string text = "a\xC3\xA9" + kGreek + kCheck + kEmoji + std::string("\0z", 2);
  const std::u16string wide = Utf8ToUtf16(text);
  EXPECT_EQ(wide, u"a\u00E9\u03B1\u03B2\u03B3\u2713\U0001F600" + std::u16string(u"\0z", 2));
  EXPECT_EQ(Utf16ToUtf8(wide), text);
  EXPECT_TRUE(IsValidUtf8(text));
  EXPECT_EQ(ValidUtf8(text), text);
  EXPECT_EQ(Utf16Length(text), wide.size());
}

TEST(Utf, EachInvalidPieceBecomesOneReplacementAndNothingElseIsLost) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a\x80z", "a" + kFffd + "z"},                        // a lone continuation byte
      {"a\xE2\x9Cz", "a" + kFffd + "z"},                    // a cut sequence
      {"a\xE2\x9C", "a" + kFffd},                           // cut by the end of the text
      {"\xC0\xAF", kFffd + kFffd},                          // overlong: no lead is valid
      {"\xED\xA0\x80x", kFffd + kFffd + kFffd + "x"},       // a surrogate written in UTF-8
      {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd},  // beyond U+10FFFF
      {"\xF0\x9F\x98" + kGreek, kFffd + kGreek},            // the next character survives
      {"\xFF" + kFffd, kFffd + kFffd},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(IsValidUtf8(c.in)) << c.in;
    EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(c.in)), c.out) << c.in;
  }
  EXPECT_TRUE(IsValidUtf8(kFffd));  // a replacement character already there is text
}

TEST(Utf, LoneSurrogatesFromUtf16BecomeReplacements) {
  EXPECT_EQ(Utf16ToUtf8(u"a\xD83Dz"), "a" + kFffd + "z");
  EXPECT_EQ(Utf16ToUtf8(u"a\xDE00z"), "a" + kFffd + "z");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(u"\xDE00\xD83D")), kFffd + kFffd);
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D"), kFffd);
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xDE00"), kEmoji);
}

TEST(Utf, CodePointsAreWalkedWhole) {
  const std::string text = "a" + kEmoji + "\xE2\x9C" + kCheck;
  std::vector<char32_t> got;
  for (size_t pos = 0; pos < text.size();) got.push_back(NextCodePoint(text, pos));
  EXPECT_EQ(got, (std::vector<char32_t>{U'a', 0x1F600, 0xFFFD, 0x2713}));
}

TEST(Utf, PrefixCountsUtf16UnitsAndNeverSplitsACharacter) {
  const std::string text = "ab" + kEmoji + kGreek;  // units: a b hi lo alpha beta gamma
  EXPECT_EQ(Utf8Prefix(text, 2), "ab");
  EXPECT_EQ(Utf8Prefix(text, 3), "ab");  // the pair would be cut
  EXPECT_EQ(Utf8Prefix(text, 4), "ab" + kEmoji);
  EXPECT_EQ(Utf8Prefix(text, 5), "ab" + kEmoji + "\xCE\xB1");
  EXPECT_EQ(Utf8Prefix(text, 100), text);
  EXPECT_EQ(Utf8Prefix("abc", 2), "ab");
}

TEST(CodePageFakes, ConvertWholeTextsBothWays) {
  test::FakeCp1252 cp1252;
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1252.FromUtf8(cp1252.ToUtf8(all)), all);
  EXPECT_EQ(cp1252.ToUtf8("\x80\xE9"), "\xE2\x82\xAC\xC3\xA9");
  EXPECT_EQ(cp1252.FromUtf8(kGreek), std::nullopt);

  test::FakeDoubleByte dbcs;
  // "nihon{enter}": the second character's trail byte is "{".
  const std::string bytes = "\x93\xFA\x96\x7B{enter}";
  EXPECT_EQ(dbcs.ToUtf8(bytes), "\xE6\x97\xA5\xE6\x9C\xAC{enter}");
  EXPECT_EQ(dbcs.FromUtf8(dbcs.ToUtf8(bytes)), bytes);
  EXPECT_EQ(dbcs.ToUtf8("\x93"), "\xE3\x83\xBB");  // a lead byte at the end
}

}  // namespace
}  // namespace ks
