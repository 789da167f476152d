#include "bar/program_groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar/fakes.h"
#include "bar/groups.h"

namespace ks {
namespace {

using test::FakeBarView;
using test::FakeDialogs;
using test::MakeStore;

// What happens, in order, and the group the bar shows after it.
struct Step {
  enum Kind { Target, TargetWhileTyping, TypingEnds, Hand, Follow } kind;
  std::string program;  // Target: the target's program; Follow: "on" or "off"
  int hand = 0;         // Hand: the group the user chooses in the list
  int shown = 0;        // the active group after the step
};

struct Script {
  const char* name;
  std::vector<Step> steps;
};

// Groups: 1 Default (none), 2 Mail (mail.exe), 3 Tickets (tickets.exe, mail.exe: Mail
// comes first for mail.exe), 4 Forms (FORMS.EXE).
std::unique_ptr<Store> FollowedStore() {
  auto store = MakeStore({"Default", "Mail", "Tickets", "Forms"}, 1);
  store->GroupAt(2).Programs = "mail.exe";
  store->GroupAt(3).Programs = "tickets.exe, mail.exe";
  store->GroupAt(4).Programs = "FORMS.EXE";
  return store;
}

TEST(ProgramGroups, TheBarShowsTheGroupTheRulePicks) {
  using S = Step;
  const Script scripts[] = {
      {"a program's first group is shown; one no group serves leaves the bar",
       {{S::Target, "mail.exe", 0, 2}, {S::Target, "tickets.exe", 0, 3},
        {S::Target, "notepad.exe", 0, 3}, {S::Target, "forms.exe", 0, 4},
        {S::Target, "", 0, 4}}},
      {"the hand's choice stays for the program until another one is typed into",
       {{S::Target, "mail.exe", 0, 2}, {S::Hand, "", 1, 1}, {S::Target, "MAIL.exe", 0, 1},
        {S::Target, "notepad.exe", 0, 1}, {S::Target, "mail.exe", 0, 2}}},
      {"a choice by hand in a program no group serves is kept too",
       {{S::Target, "notepad.exe", 0, 1}, {S::Hand, "", 3, 3}, {S::Target, "forms.exe", 0, 4},
        {S::Target, "notepad.exe", 0, 4}}},
      {"a switch while a run types waits for its end; the last program counts",
       {{S::Target, "mail.exe", 0, 2}, {S::TargetWhileTyping, "forms.exe", 0, 2},
        {S::TargetWhileTyping, "tickets.exe", 0, 2}, {S::TypingEnds, "", 0, 3},
        {S::TypingEnds, "", 0, 3}}},
      {"switched off, nothing follows; on again, the program typed into counts",
       {{S::Follow, "off", 0, 1}, {S::Target, "mail.exe", 0, 1}, {S::Follow, "on", 0, 2},
        {S::Follow, "off", 0, 2}, {S::Target, "forms.exe", 0, 2}, {S::Hand, "", 1, 1},
        {S::Follow, "on", 0, 4}}},
  };
  for (const Script& script : scripts) {
    SCOPED_TRACE(script.name);
    auto store = FollowedStore();
    ProgramGroups rule;
    int n = 0;
    for (const Step& s : script.steps) {
      SCOPED_TRACE("step " + std::to_string(++n));
      int show = 0;
      switch (s.kind) {
        case S::Target: show = rule.TargetChanged(*store, s.program, false); break;
        case S::TargetWhileTyping: show = rule.TargetChanged(*store, s.program, true); break;
        case S::TypingEnds: show = rule.TypingEnded(*store); break;
        case S::Hand: store->ActiveGroup = s.hand; break;
        case S::Follow: show = rule.SetFollowing(*store, s.program == "on"); break;
      }
      // The rule never asks to show the group shown already: that would lock it anew.
      EXPECT_NE(show, store->ActiveGroup);
      if (show != 0) store->ActiveGroup = show;
      EXPECT_EQ(store->ActiveGroup, s.shown);
    }
  }
}

TEST(ProgramGroups, AGroupIsShownAsIfChosenInTheListLockedWhenItHasAPassword) {
  // Names alike but for case sort together: the line naming the group exactly is chosen.
  auto store = MakeStore({"work", "Mail", "Work"}, 2);
  store->GroupAt(3).Password = "pw";
  FakeBarView view;
  FillGroupList(*store, view);
  bool unlocked = true;
  for (int g : {3, 1, 2, 3}) {
    ShowGroup(*store, view, g, unlocked);
    EXPECT_EQ(store->ActiveGroup, g);
    EXPECT_EQ(view.SelectedName(), store->GroupAt(g).Name);
    EXPECT_EQ(view.VisibleCaptions(), test::Captions(*store, g));
    EXPECT_EQ(unlocked, g != 3);
  }
}

class ProgramsBox : public ::testing::Test {
 protected:
  std::unique_ptr<Store> store = FollowedStore();
  FakeDialogs dialogs;
  bool unlocked = true;

  bool Answer(std::optional<std::string> answer) {
    dialogs.InputAnswers.push_back(std::move(answer));
    return ProgramsCommand(*store, dialogs, unlocked);
  }
};

TEST_F(ProgramsBox, TheListIsKeptByFileNamesAndAProgramServedFirstElsewhereIsNamed) {
  store->ActiveGroup = 4;
  EXPECT_TRUE(Answer(" \"C:\\Apps\\Mail.exe\", forms,, notes.exe "));
  EXPECT_EQ(store->GroupAt(4).Programs, "Mail.exe, forms.exe, notes.exe");
  ASSERT_EQ(dialogs.Inputs.size(), 1u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "Programs");
  EXPECT_EQ(dialogs.Inputs[0].Default, "FORMS.EXE");
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0],
            "Mail.exe is served by the Mail group first: the bar shows that group for it.");

  store->ActiveGroup = 1;
  EXPECT_TRUE(Answer("notes"));
  EXPECT_EQ(dialogs.Messages.back(),
            "notes.exe is served by the Forms group too: this group comes first and is shown "
            "for it.");
  EXPECT_TRUE(Answer(""));
  EXPECT_EQ(store->GroupAt(1).Programs, "");
}

TEST_F(ProgramsBox, CancelOrTheSameListChangesNothing) {
  store->ActiveGroup = 2;
  EXPECT_FALSE(Answer(std::nullopt));
  EXPECT_FALSE(Answer("mail"));
  EXPECT_EQ(store->GroupAt(2).Programs, "mail.exe");
  // A hand-edited list longer than the box is shown cut: OK on it keeps it whole.
  const std::string whole = "a.exe, " + std::string(300, 'b') + ".exe";
  store->GroupAt(2).Programs = whole;
  EXPECT_FALSE(Answer(whole.substr(0, 255)));
  EXPECT_EQ(store->GroupAt(2).Programs, whole);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ProgramsBox, ANameBeyondTheBoxsLimitIsLeftOutAndTold) {
  // 25 names of 6 characters and ".exe" fill 25 * 10 + 24 * 2 = 298 units: 255 hold 21.
  std::string typed;
  for (int i = 0; i < 25; ++i) typed += "prog" + std::to_string(10 + i) + ",";
  EXPECT_TRUE(Answer(typed));
  EXPECT_EQ(store->GroupAt(1).Programs.size(), 21u * 10 + 20u * 2);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0],
            "The list is longer than 255 characters; left out: prog31.exe, prog32.exe, "
            "prog33.exe, prog34.exe.");
}

TEST_F(ProgramsBox, ALockedGroupAsksItsPasswordFirst) {
  store->ActiveGroup = 2;
  store->GroupAt(2).Password = "pw";
  unlocked = false;
  dialogs.InputAnswers.push_back("wrong");
  EXPECT_FALSE(ProgramsCommand(*store, dialogs, unlocked));
  EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Invalid Password."});
  EXPECT_EQ(dialogs.Inputs.size(), 1u);  // no list asked
  dialogs.InputAnswers.push_back("pw");
  EXPECT_TRUE(Answer("word"));
  EXPECT_TRUE(unlocked);
  EXPECT_EQ(store->GroupAt(2).Programs, "word.exe");
  // Unlocked, it asks no more.
  EXPECT_TRUE(Answer("mail"));
  EXPECT_EQ(dialogs.Inputs.size(), 4u);
}

}  // namespace
}  // namespace ks
