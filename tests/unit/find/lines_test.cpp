#include <gtest/gtest.h>

#include "find/lines.h"

namespace ks {
namespace {

TEST(TextPreview, ShowsTheStartAsWrittenOnOneLineCutBetweenCharacters) {
  struct Case {
    const char* text;
    std::size_t maxChars;
    const char* shown;
  };
  const Case cases[] = {
      {"Dear {list Sir,Madam}{enter}", 40, "Dear {list Sir,Madam}{enter}"},
      {"abcdef", 6, "abcdef"},
      {"abcdefg", 6, "abcde…"},
      {"line one\r\nline\rtwo\nthree\tend", 40, "line one¶line¶two¶three end"},
      {"Καλησπέρα", 4, "Καλ…"},
      {"\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89", 2, "\xF0\x9F\x8E\x89…"},
      {"ee\xCC\x81\xCC\x82xy", 3, "ee\xCC\x81\xCC\x82…"},                 // marks stay on e
      {"ee\xCC\x81\xCC\x82", 2, "ee\xCC\x81\xCC\x82"},                    // and fit whole
      // A family emoji: man, joiner, woman, joiner, girl is one character.
      {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7!", 1, "…"},
      {"\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7!!", 2,
       "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7…"},
      {"a\xE2\x9C", 5, "a\xEF\xBF\xBD"},
      {"anything", 0, ""},
      {"", 5, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TextPreview(c.text, c.maxChars), c.shown) << c.text;
}

}  // namespace
}  // namespace ks
