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

// The watch would type the shorter of two that begin alike before the longer is complete.
TEST(Abbreviation, IsOneButtonsOnlyAndBeginsNoOtherAcrossAllGroups) {
  const std::vector<ButtonAbbreviation> buttons = {
      {1, 1, "Hello", "Mail", ""},
      {1, 2, "Signature", "Mail", ";sig"},
      {2, 4, "Street", "Letters", "adrs"},
      {3, 7, "Address", "Letters", "adr"},
      {3, 8, "Coffee", "Letters", "café"},
  };
  auto clash = [](std::string why) { return why + "\nPlease choose another abbreviation."; };
  struct Case {
    int group, button;
    std::string abbreviation;
    std::optional<std::string> refused;
  };
  const Case cases[] = {
      {3, 1, ";sig",
       clash("\";sig\" is already the abbreviation of the Signature button in the Mail group.")},
      // A new button; the same one is named before "adrs", which "adr" begins.
      {1, 0, "adr",
       clash("\"adr\" is already the abbreviation of the Address button in the Letters group.")},
      {1, 1, ";s",
       clash("\";s\" begins the abbreviation \";sig\" of the Signature button in the Mail group.")},
      {1, 1, ";sig2",
       clash("\";sig2\" begins with the abbreviation \";sig\" of the Signature button in the "
             "Mail group.")},
      {1, 1, "ad",
       clash("\"ad\" begins the abbreviation \"adrs\" of the Street button in the Letters group.")},
      {1, 1, "caf",
       clash("\"caf\" begins the abbreviation \"café\" of the Coffee button in the Letters "
             "group.")},
      // Its own, kept while another it begins has come since.
      {3, 7, "adr",
       clash("\"adr\" begins the abbreviation \"adrs\" of the Street button in the Letters group.")},
      {2, 4, "adrs",
       clash("\"adrs\" begins with the abbreviation \"adr\" of the Address button in the Letters "
             "group.")},
      {1, 2, ";sig", std::nullopt},     // its own
      {1, 1, ";SIG", std::nullopt},     // typed otherwise
      {1, 1, "sig", std::nullopt},      // ends another: the watch takes the longer
      {1, 1, "caf\xC3", std::nullopt},  // half of "é" is no beginning of it
      {1, 1, "", std::nullopt},         // none, as button 1.1 has
      {1, 1, "a b", "An abbreviation cannot contain blanks or line breaks."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RefuseAbbreviation(buttons, c.group, c.button, c.abbreviation, ""), c.refused)
        << c.group << "." << c.button << " " << c.abbreviation;
}

// The watch takes the first of two alike, and the editor names the first owner: both in
// store order, groups before buttons.
TEST(Abbreviation, TheStoresListsRunInStoreOrder) {
  Store store;
  store.Groups = {Group{"Mail", 1, "", {Button{"Hello"}, Button{"Sig", "", "", 0, 0, ";sig"}}},
                  Group{"Letters", 1, "pw", {Button{"Adr", "", "", 0, 0, "adr"}}}};
  EXPECT_EQ(AbbreviationsOf(store, "").size(), 2u);
  EXPECT_EQ(AbbreviationsOf(store, "")[0].Text, ";sig");
  EXPECT_EQ(AbbreviationsOf(store, "")[1].Group, 2);
  EXPECT_EQ(AbbreviationsOf(store, "")[1].Button, 1);
  EXPECT_EQ(RefuseAbbreviation(ButtonAbbreviationsOf(store), 1, 1, "adr", ""),
            "\"adr\" is already the abbreviation of the Adr button in the Letters group.\n"
            "Please choose another abbreviation.");
  EXPECT_EQ(RefuseAbbreviation(ButtonAbbreviationsOf(store), 1, 2, ";sig", ""), std::nullopt);
}

// A group serving programs has its abbreviations in those programs alone; the others'
// work everywhere.
TEST(Abbreviation, OfAGroupServingProgramsWorkOnlyThere) {
  Store store;
  store.Groups = {Group{"All", 1, "", {Button{"Sig", "", "", 0, 0, ";sig"}}},
                  Group{"Mail", 1, "", {Button{"Hi", "", "", 0, 0, ";hi"}}, "mail.exe, x.exe"},
                  Group{"Tickets", 1, "", {Button{"Hi", "", "", 0, 0, ";hi"}}, "tickets.exe"},
                  Group{"Blank", 1, "", {Button{"Bye", "", "", 0, 0, ";bye"}}, " , "}};
  const struct {
    const char* program;
    std::vector<int> groups;  // of the abbreviations watched for, in order
  } cases[] = {
      {"MAIL.exe", {1, 2, 4}}, {"tickets.exe", {1, 3, 4}}, {"notepad.exe", {1, 4}}, {"", {1, 4}},
  };
  for (const auto& c : cases) {
    std::vector<int> groups;
    for (const Abbreviation& a : AbbreviationsOf(store, c.program)) groups.push_back(a.Group);
    EXPECT_EQ(groups, c.groups) << c.program;
  }
}

// Two groups whose programs do not meet may share an abbreviation; a group without
// programs meets every one.
TEST(Abbreviation, IsRefusedOnlyWhereBothWouldWork) {
  const std::vector<ButtonAbbreviation> buttons = {
      {1, 1, "Hi", "Mail", ";hi", "mail.exe, word.exe"},
      {2, 1, "Sig", "All", ";sig", ""},
  };
  const std::string taken =
      "\";hi\" is already the abbreviation of the Hi button in the Mail group.\n"
      "Please choose another abbreviation.";
  const struct {
    const char* abbreviation;
    const char* programs;
    std::optional<std::string> refused;
  } cases[] = {
      {";hi", "tickets.exe", std::nullopt},
      {";hi", "forms.exe, tickets.exe", std::nullopt},
      {";hi", "WORD.EXE", taken},
      {";hi", "", taken},
      {";h", "tickets.exe", std::nullopt},
      {";sig", " , ",
       "\";sig\" is already the abbreviation of the Sig button in the All group.\n"
       "Please choose another abbreviation."},
      {";hi", ",", taken},
      {";sig", "tickets.exe",
       "\";sig\" is already the abbreviation of the Sig button in the All group.\n"
       "Please choose another abbreviation."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RefuseAbbreviation(buttons, 3, 1, c.abbreviation, c.programs), c.refused)
        << c.abbreviation << " in " << c.programs;
}

}  // namespace
}  // namespace ks::abbrev
