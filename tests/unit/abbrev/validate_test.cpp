#include "abbrev/validate.h"

#include "abbrev/store_view.h"

#include <gtest/gtest.h>

namespace ks::abbrev {
namespace {

TEST(Abbreviation, HasAtMost31CharactersAndNoBlanksOrLineBreaks) {
  const std::string tooLong = "An abbreviation can have at most 31 characters.";
  const std::string blanks = "An abbreviation cannot contain blanks or line breaks.";
  struct Case {
    std::string abbreviation;
    std::optional<std::string> fault;
  };
  std::string greek31;
  for (int i = 0; i < 31; ++i) greek31 += "λ";
  const Case cases[] = {
      {"", std::nullopt},
      {";sig", std::nullopt},
      {std::string(31, 'x'), std::nullopt},
      {std::string(32, 'x'), tooLong},
      {greek31, std::nullopt},  // characters, not bytes
      {greek31 + "λ", tooLong},
      {"a b", blanks},
      {" sig", blanks},
      {"a\tb", blanks},
      {"a\r\nb", blanks},
      {"a\nb", blanks},
      {"a\u00A0b", blanks},  // a no-break space
      {"a\u3000b", blanks},  // an ideographic space
  };
  for (const Case& c : cases)
    EXPECT_EQ(AbbreviationFault(c.abbreviation), c.fault) << c.abbreviation;
}

TEST(Abbreviation, IsOneButtonsOnlyAcrossAllGroups) {
  const std::vector<ButtonAbbreviation> buttons = {
      {1, 1, "Hello", "Mail", ""},
      {1, 2, "Signature", "Mail", ";sig"},
      {3, 7, "Address", "Letters", "adr"},
  };
  EXPECT_EQ(RefuseAbbreviation(buttons, 3, 1, ";sig"),
            "\";sig\" is already the abbreviation of the Signature button in the Mail group.\n"
            "Please choose another abbreviation.");
  EXPECT_EQ(RefuseAbbreviation(buttons, 1, 0, "adr"),  // a new button
            "\"adr\" is already the abbreviation of the Address button in the Letters group.\n"
            "Please choose another abbreviation.");
  EXPECT_EQ(RefuseAbbreviation(buttons, 1, 2, ";sig"), std::nullopt) << "its own";
  EXPECT_EQ(RefuseAbbreviation(buttons, 1, 1, ";SIG"), std::nullopt) << "typed otherwise";
  EXPECT_EQ(RefuseAbbreviation(buttons, 1, 1, ""), std::nullopt) << "none, as button 1.1 has";
  EXPECT_EQ(RefuseAbbreviation(buttons, 1, 1, "a b"),
            "An abbreviation cannot contain blanks or line breaks.");
}

// The watch takes the first of two alike, and the editor names the first owner: both in
// store order, groups before buttons.
TEST(Abbreviation, TheStoresListsRunInStoreOrder) {
  Store store;
  store.Groups = {Group{"Mail", 1, "", {Button{"Hello"}, Button{"Sig", "", "", 0, 0, ";sig"}}},
                  Group{"Letters", 1, "pw", {Button{"Adr", "", "", 0, 0, "adr"}}}};
  EXPECT_EQ(AbbreviationsOf(store).size(), 2u);
  EXPECT_EQ(AbbreviationsOf(store)[0].Text, ";sig");
  EXPECT_EQ(AbbreviationsOf(store)[1].Group, 2);
  EXPECT_EQ(AbbreviationsOf(store)[1].Button, 1);
  EXPECT_EQ(RefuseAbbreviation(ButtonAbbreviationsOf(store), 1, 1, "adr"),
            "\"adr\" is already the abbreviation of the Adr button in the Letters group.\n"
            "Please choose another abbreviation.");
  EXPECT_EQ(RefuseAbbreviation(ButtonAbbreviationsOf(store), 1, 2, ";sig"), std::nullopt);
}

}  // namespace
}  // namespace ks::abbrev
