#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "find/index.h"
#include "find/lines.h"

namespace ks {
namespace {

struct TestButton {
  std::string caption, hint, text;
};
struct TestGroup {
  std::string name;
  std::vector<TestButton> buttons;
  std::string password;
};

std::unique_ptr<Store> MakeStore(const std::vector<TestGroup>& groups, int active = 1) {
  auto s = std::make_unique<Store>();
  s->ActiveGroup = active;
  for (const TestGroup& tg : groups) {
    Group& g = s->Groups.emplace_back(Group{tg.name, 1, tg.password, {}});
    for (const TestButton& tb : tg.buttons)
      g.Buttons.push_back(Button{tb.caption, tb.hint, tb.text, 0, 0});
  }
  return s;
}

TEST(FindIndex, CaseAndAccentsDoNotMatterInAnyScript) {
  struct Case {
    const char* query;
    const char* caption;
    std::optional<FindRank> rank;  // none: not found
  };
  using R = FindRank;
  const Case cases[] = {
      {"cafe", "Café", R::WholeCaption},
      {"CAFÉ", "café", R::WholeCaption},
      {"cafe\xCC\x81", "CAFÉ", R::WholeCaption},  // the query written decomposed
      {"creme", "Crème brûlée", R::CaptionStart},
      {"brulee", "Crème brûlée", R::WordStart},
      {"zurich", "Grüße aus Zürich", R::WordStart},
      {"strasse", "Hauptstraße", R::Letters},
      {"lodz", "Łódź", R::WholeCaption},
      {"οδος", "Οδός", R::WholeCaption},
      {"καλησπερα", "Καλησπέρα σας", R::CaptionStart},
      {"σας", "ΚΑΛΗΣΠΈΡΑ ΣΑΣ", R::WordStart},  // final sigma against capital sigma
      {"елка", "Ёлка", R::WholeCaption},
      {"мир", "Привет, МИР", R::WordStart},
      {"првт", "Привет", R::Letters},
      {"\xF0\x9F\x8E\x89", "Party \xF0\x9F\x8E\x89", R::WordStart},
      {"pty", "Party \xF0\x9F\x8E\x89", R::Letters},
      {"cafe", "Caff", std::nullopt},
      {"ελκα", "Ёлка", std::nullopt},  // Greek letters are not Cyrillic ones
  };
  for (const Case& c : cases) {
    const auto store = MakeStore({{"G", {{c.caption, "", ""}}}});
    const std::vector<FindHit> hits = FindIndex(*store).Filter(c.query);
    if (c.rank)
      EXPECT_EQ(hits, (std::vector<FindHit>{{1, 1, *c.rank}})) << c.query << " / " << c.caption;
    else
      EXPECT_TRUE(hits.empty()) << c.query << " / " << c.caption;
  }
}

std::unique_ptr<Store> MailStore() {
  return MakeStore({
      {"Letters",
       {{"Sent text", "", "a mail to me"},       // 1: only in the text
        {"Mobile aisle", "", ""},                // 2: m-a-i-l in order
        {"Mailbox", "", ""},                     // 3: the caption starts with it
        {"Reply", "Mail merge", ""},             // 4: a word of the hint
        {"E-mail signature", "", ""},            // 5: a word of the caption
        {"MAIL", "", ""},                        // 6: the whole caption
        {"Other", "", "nothing"}}},              // 7: none
      {"Mail", {{"Home", "", ""}, {"Mail", "", ""}}},  // its name: a word of each button's
      {"Gmail", {{"Inbox", "", ""}}},                   // not a word start: not found
      {"Locked", {{"Mailing list", "", "my mail password"}}, "pw"},
  });
}

TEST(FindIndex, RanksByWhereTheQueryIsThenByGroupAndButton) {
  const auto store = MailStore();
  using R = FindRank;
  EXPECT_EQ(FindIndex(*store).Filter("mail"), (std::vector<FindHit>{
                                                  {1, 6, R::WholeCaption},
                                                  {2, 2, R::WholeCaption},
                                                  {1, 3, R::CaptionStart},
                                                  {4, 1, R::CaptionStart},
                                                  {1, 4, R::WordStart},
                                                  {1, 5, R::WordStart},
                                                  {2, 1, R::WordStart},
                                                  {1, 2, R::Letters},
                                                  {1, 1, R::InText},
                                              }));
}

// Among equally good matches the buttons of the groups serving the program typed into come
// first; a better match of another group still goes before them.
TEST(FindIndex, TheGroupsOfTheProgramTypedIntoComeFirstWithinARank) {
  auto store = MailStore();
  store->GroupAt(2).Programs = "mail.exe";
  store->GroupAt(4).Programs = "outlook.exe, Mail.exe";
  using R = FindRank;
  const struct {
    const char* program;
    std::vector<FindHit> hits;
  } cases[] = {
      {"MAIL.EXE",
       {{2, 2, R::WholeCaption}, {1, 6, R::WholeCaption}, {4, 1, R::CaptionStart},
        {1, 3, R::CaptionStart}, {2, 1, R::WordStart}, {1, 4, R::WordStart},
        {1, 5, R::WordStart}, {1, 2, R::Letters}, {1, 1, R::InText}}},
      {"outlook.exe",
       {{1, 6, R::WholeCaption}, {2, 2, R::WholeCaption}, {4, 1, R::CaptionStart},
        {1, 3, R::CaptionStart}, {1, 4, R::WordStart}, {1, 5, R::WordStart},
        {2, 1, R::WordStart}, {1, 2, R::Letters}, {1, 1, R::InText}}},
      {"", FindIndex(*store).Filter("mail")},
  };
  for (const auto& c : cases) {
    FindIndex index(*store, c.program);
    index.Filter("ma");  // typing on narrows what this found, in the same order
    EXPECT_EQ(index.Filter("mail"), c.hits) << c.program;
  }
}

TEST(FindIndex, TypingOnFindsWhatAFreshSearchFinds) {
  const auto store = MailStore();
  FindIndex typed(*store);
  for (const char* query : {"m", "ma", "mai", "mail", "mail ", "mail m", "mai", "mail", "e",
                            "e-", "x", "", "mo", "moa", "mobile"})
    EXPECT_EQ(typed.Filter(query), FindIndex(*store).Filter(query)) << query;
}

TEST(FindIndex, LockedGroupShowsCaptionsAndHintsButNeverItsTexts) {
  const auto store = MakeStore({
      {"Open", {{"Note", "", "the secret word is swordfish"}}},
      {"Vault", {{"Bank", "PIN of the card", "swordfish 1234"}}, "pw"},
  });
  FindIndex index(*store);
  EXPECT_EQ(index.Filter("swordfish"), (std::vector<FindHit>{{1, 1, FindRank::InText}}));
  EXPECT_TRUE(index.Filter("1234").empty());
  EXPECT_EQ(index.Filter("bank"), (std::vector<FindHit>{{2, 1, FindRank::WholeCaption}}));
  EXPECT_EQ(index.Filter("card"), (std::vector<FindHit>{{2, 1, FindRank::WordStart}}));
  EXPECT_EQ(index.Filter("vault"), (std::vector<FindHit>{{2, 1, FindRank::WordStart}}));

  const FindLine locked = FindLineOf(*store, 2, 1, 40);
  EXPECT_EQ(locked.Caption, "Bank");
  EXPECT_EQ(locked.Group, "Vault");
  EXPECT_TRUE(locked.Locked);
  EXPECT_EQ(locked.Text, "");
  EXPECT_EQ(FindLineOf(*store, 1, 1, 40).Text, "the secret word is swordfish");
}

TEST(FindIndex, EmptyQueryListsTheActiveGroupAndNoMatchListsNothing) {
  const auto store = MakeStore({{"One", {{"a", "", ""}}}, {"Two", {{"b", "", ""}, {"c", "", ""}}}},
                               /*active=*/2);
  FindIndex index(*store);
  const std::vector<FindHit> active{{2, 1, FindRank::Listed}, {2, 2, FindRank::Listed}};
  EXPECT_EQ(index.Filter(""), active);
  EXPECT_EQ(index.Filter("  "), active);
  EXPECT_TRUE(index.Filter("zz").empty());
}

}  // namespace
}  // namespace ks
