#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

#include "bar/commands.h"
#include "bar/fakes.h"
#include "bar/groups.h"

namespace ks {
namespace {

using test::Captions;
using test::FakeBarView;
using test::FakeDialogs;
using test::MakeStore;
using Order = std::vector<std::string>;

class Groups : public ::testing::Test {
 protected:
  // Groups as named, group g with g buttons, the bar showing `active` as at start.
  void Use(const Order& names, int active = 1) {
    store = MakeStore(names, 1);
    for (int g = 1; g <= store->GroupCount(); ++g) {
      store->GroupAt(g).Buttons.clear();
      store->GroupAt(g).Columns = g + 1;
      for (int i = 1; i <= g; ++i) {
        const std::string id = names[g - 1] + std::to_string(i);
        store->GroupAt(g).Buttons.push_back(Button{id, "hint " + id, "text " + id, i, i});
      }
    }
    store->ActiveGroup = active;
    for (const auto& n : names) view.AddGroupName(n);
    Select(names[active - 1]);
    view.ShowActive(*store);
    view.RebuildGroupMenus(GroupNames(*store));
    view.MenuRebuilds = 0;
    unlocked = store->Active().Password.empty();
  }
  void Select(const std::string& name) {
    for (size_t i = 0; i < view.Lines.size(); ++i)
      if (view.Lines[i] == name) view.SelectGroupItem(static_cast<int>(i));
  }
  void Switch(const std::string& name) {
    Select(name);
    ShowChosenGroup(*store, view, unlocked);
  }
  // Password Protect on group Work, locked with "old", with these answers to its questions.
  void ChangeOldPassword(std::deque<std::optional<std::string>> answers) {
    Use({"Work"});
    store->GroupAt(1).Password = "old";
    dialogs.InputAnswers = std::move(answers);
    SetPasswordCommand(*store, dialogs);
  }
  std::unique_ptr<Store> store;
  FakeBarView view;
  FakeDialogs dialogs;
  bool unlocked = true;
};

// ---- switching ----

TEST_F(Groups, SwitchShowsOnlyTheNewGroupsButtons) {
  Use({"one", "two", "three"}, 3);
  Switch("one");
  EXPECT_EQ(store->ActiveGroup, 1);
  EXPECT_EQ(view.VisibleCaptions(), (Order{"one1"}));
  EXPECT_EQ(view.Displays, 1);
  EXPECT_EQ(view.DummyFocus, 1);
  Switch("two");
  EXPECT_EQ(view.VisibleCaptions(), (Order{"two1", "two2"}));
}

TEST_F(Groups, EverySwitchToAProtectedGroupLocksIt) {
  Use({"open", "closed"});
  store->GroupAt(2).Password = "pw";
  Switch("closed");
  EXPECT_FALSE(unlocked);
  unlocked = true;  // the password was given at a press
  Switch("closed");  // shown again, e.g. after un-rolling
  EXPECT_FALSE(unlocked);
  Switch("open");
  EXPECT_TRUE(unlocked);
}

TEST_F(Groups, SelectionNamingNoGroupKeepsTheActiveGroup) {
  Use({"one", "two"}, 2);
  view.Selected = -1;
  ShowChosenGroup(*store, view, unlocked);
  EXPECT_EQ(store->ActiveGroup, 2);
  EXPECT_EQ(view.VisibleCaptions(), (Order{"two1", "two2"}));
}

// ---- New Group ----

TEST_F(Groups, NewGroupLandsInSortedPlaceAndBecomesActive) {
  Use({"Beta", "alpha"});
  dialogs.InputAnswers = {std::string("Gamma")};
  NewGroupCommand(*store, view, dialogs, unlocked);
  ASSERT_EQ(dialogs.Inputs.size(), 1u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "Create new Group");
  EXPECT_EQ(dialogs.Inputs[0].Prompt, "What would you like to name the new Group?");
  EXPECT_EQ(dialogs.Inputs[0].Default, "");
  EXPECT_EQ(view.Lines, (Order{"alpha", "Beta", "Gamma"}));
  EXPECT_EQ(view.Selected, 2);
  EXPECT_EQ(store->GroupCount(), 3);
  EXPECT_EQ(store->ActiveGroup, 3);
  EXPECT_EQ(store->GroupAt(3).Columns, 1);
  EXPECT_EQ(store->ButtonAt(3, 1), (Button{"NewButton", "Default button for a new Group",
                                            "Default button for a new Group", 0, 0}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"NewButton"}));
  EXPECT_EQ(view.Menus, (Order{"Beta", "alpha", "Gamma"}));  // group order, new one last
  EXPECT_TRUE(unlocked);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(Groups, NewGroupDuplicateEmptyOrCancelledChangesNothing) {
  Use({"Beta", "alpha"});
  dialogs.InputAnswers = {std::string("Beta"), std::string(""), std::nullopt};
  for (int i = 0; i < 3; ++i) NewGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(dialogs.Messages, (Order{"I am sorry, the Beta group already exists!"}));
  EXPECT_EQ(store->GroupCount(), 2);
  EXPECT_EQ(view.Lines, (Order{"alpha", "Beta"}));
  EXPECT_EQ(view.MenuRebuilds, 0);
  // Only an exact match is a duplicate.
  dialogs.InputAnswers = {std::string("beta")};
  NewGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupCount(), 3);
}

TEST_F(Groups, FiftyGroupsRefuseWithoutAsking) {
  Use({"one"});
  store->Groups.resize(50);
  NewGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_TRUE(dialogs.Inputs.empty());
  EXPECT_EQ(dialogs.Messages, (Order{"You have reached the limit of 50 groups."}));
  EXPECT_EQ(store->GroupCount(), 50);
}

// ---- Edit Group (rename) ----

TEST_F(Groups, RenameToTheSameNameOrCancelChangesNothing) {
  Use({"Beta", "alpha"});
  dialogs.InputAnswers = {std::string("Beta"), std::nullopt, std::string("")};
  for (int i = 0; i < 3; ++i) RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(dialogs.Inputs.at(0).Caption, "Rename Group");
  EXPECT_EQ(dialogs.Inputs.at(0).Prompt, "What would you like to rename the Group to?");
  EXPECT_EQ(dialogs.Inputs.at(0).Default, "Beta");
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(store->GroupAt(1).Name, "Beta");
  EXPECT_EQ(view.Lines, (Order{"alpha", "Beta"}));
  EXPECT_EQ(view.Displays, 0);
}

TEST_F(Groups, RenameChangingOnlyCaseSucceedsAndResorts) {
  Use({"abc", "Bcd", "zz"});
  dialogs.InputAnswers = {std::string("ABC")};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, "ABC");
  EXPECT_EQ(view.Lines, (Order{"ABC", "Bcd", "zz"}));
  EXPECT_EQ(view.SelectedGroupName(), "ABC");
  EXPECT_EQ(view.Menus, (Order{"ABC", "Bcd", "zz"}));
  EXPECT_EQ(store->ActiveGroup, 1);
  // Renamed to the end of the list.
  dialogs.InputAnswers = {std::string("zzz")};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(view.Lines, (Order{"Bcd", "zz", "zzz"}));
  EXPECT_EQ(view.SelectedGroupName(), "zzz");
  EXPECT_EQ(view.Menus, (Order{"zzz", "Bcd", "zz"}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"abc1"}));
}

TEST_F(Groups, RenameOntoAnotherGroupsNameIsRefused) {
  Use({"abc", "Bcd"});
  dialogs.InputAnswers = {std::string("Bcd")};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(dialogs.Messages, (Order{"I am sorry, the Bcd group already exists!"}));
  EXPECT_EQ(store->GroupAt(1).Name, "abc");
  EXPECT_EQ(view.Lines, (Order{"abc", "Bcd"}));
}

TEST_F(Groups, RenameLocksAProtectedGroupAgain) {
  Use({"abc"});
  store->GroupAt(1).Password = "pw";
  unlocked = true;
  dialogs.InputAnswers = {std::string("new")};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_FALSE(unlocked);
}

TEST_F(Groups, RenameOfANameLongerThanTheBoxKeepsItWhenTheAnswerIsUnchanged) {
  const std::string longName(300, 'n');
  Use({longName + "1", "b"});
  const std::string shown = (longName + "1").substr(0, kInputBoxMaxChars);
  dialogs.InputAnswers = {shown};  // OK on what the box showed
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, longName + "1");
  EXPECT_EQ(view.Menus.at(0), longName + "1");
  EXPECT_EQ(view.Displays, 0);
  // A real change still renames, also to a shorter text of the same beginning.
  dialogs.InputAnswers = {std::string(10, 'n')};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, std::string(10, 'n'));
}

TEST_F(Groups, TheBoxLengthOfARenameCountsCharactersNotBytes) {
  std::string greek;  // 200 letters: 400 bytes, yet the box shows them whole
  for (int i = 0; i < 200; ++i) greek += "\xCE\xB1";
  Use({greek, "b"});
  dialogs.InputAnswers = {greek.substr(0, greek.size() - 2)};  // one letter less
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, greek.substr(0, greek.size() - 2));

  // 300 emoji take 600 units: the box shows 127 whole ones and no half of the 128th.
  std::string emoji;
  for (int i = 0; i < 300; ++i) emoji += "\xF0\x9F\x98\x80";
  Use({emoji, "b"});
  dialogs.InputAnswers = {emoji.substr(0, 127 * 4)};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, emoji);
}

// ---- names that differ only in case ----

TEST_F(Groups, TheListTheButtonsAndTheCommandsAgreeOnGroupsDifferingInCase) {
  // As the bar starts from a hand-edited file whose active group is "Work".
  store = MakeStore({"work", "Work", "other"}, 1);
  store->ActiveGroup = 2;
  FillGroupList(*store, view);
  EXPECT_EQ(view.Lines, (Order{"other", "work", "Work"}));
  EXPECT_EQ(view.SelectedGroupName(), "Work");
  ShowChosenGroup(*store, view, unlocked);
  EXPECT_EQ(store->ActiveGroup, 2);
  EXPECT_EQ(view.VisibleCaptions(), (Order{"Work1"}));
  // Rename and Delete act on the group on screen.
  dialogs.InputAnswers = {std::string("Job")};
  RenameGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupAt(1).Name, "work");
  EXPECT_EQ(store->GroupAt(2).Name, "Job");
  EXPECT_EQ(view.VisibleCaptions(), (Order{"Work1"}));
  dialogs.ConfirmAnswers = {true};
  DeleteGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(dialogs.Confirms.at(0).first, "Are you sure you want to delete the Job group?");
  EXPECT_EQ(GroupNames(*store), (Order{"work", "other"}));
  // Two groups of the very same name: the first one is shown, and its line selected.
  FakeBarView same;
  store = MakeStore({"a", "a"}, 1);
  store->ActiveGroup = 2;
  FillGroupList(*store, same);
  EXPECT_EQ(store->ActiveGroup, 1);
  EXPECT_EQ(same.SelectedGroupName(), "a");
}

// ---- Delete Group ----

TEST_F(Groups, DeletingTheActiveGroupKeepsEveryOtherGroupIntact) {
  Use({"delta", "Beta", "gamma", "alpha"}, 2);
  store->GroupAt(3).Password = "g-pw";
  store->GroupAt(4).Password = "a-pw";
  const Store before = *store;
  dialogs.ConfirmAnswers = {true};
  DeleteGroupCommand(*store, view, dialogs, unlocked);
  ASSERT_EQ(dialogs.Confirms.size(), 1u);
  EXPECT_EQ(dialogs.Confirms[0].first, "Are you sure you want to delete the Beta group?");
  EXPECT_EQ(store->Groups,
            (std::vector<Group>{before.GroupAt(1), before.GroupAt(3), before.GroupAt(4)}));
  // The alphabetically first group is shown, and it is locked.
  EXPECT_EQ(view.Lines, (Order{"alpha", "delta", "gamma"}));
  EXPECT_EQ(view.Selected, 0);
  EXPECT_EQ(store->ActiveGroup, 3);
  EXPECT_EQ(view.VisibleCaptions(), (Order{"alpha1", "alpha2", "alpha3", "alpha4"}));
  EXPECT_FALSE(unlocked);
  EXPECT_EQ(view.Menus, (Order{"delta", "gamma", "alpha"}));
}

TEST_F(Groups, SubmenuEntriesStillReachTheirGroupsAfterDeleteAndAdd) {
  Use({"one", "two", "three"}, 1);
  dialogs.ConfirmAnswers = {true};
  DeleteGroupCommand(*store, view, dialogs, unlocked);  // "one" goes, "three" active
  dialogs.InputAnswers = {std::string("four")};
  NewGroupCommand(*store, view, dialogs, unlocked);
  Switch("three");
  ASSERT_EQ(view.Menus, (Order{"two", "three", "four"}));
  store->ButtonAt(store->FindGroup("three"), 1).Shortcut = 0;  // a copied key would be told
  for (int entry = 0; entry < 3; ++entry) {
    if (view.Menus[entry] == "three") continue;
    CopyButtonToGroup(*store, dialogs, 1, entry);
    const int g = store->FindGroup(view.Menus[entry]);
    EXPECT_EQ(store->GroupAt(g).Buttons.back().Caption, "three1") << view.Menus[entry];
  }
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(Groups, DeleteAnsweredNoOrOfTheOnlyGroupChangesNothing) {
  Use({"one", "two"});
  dialogs.ConfirmAnswers = {false};
  DeleteGroupCommand(*store, view, dialogs, unlocked);
  EXPECT_EQ(store->GroupCount(), 2);
  EXPECT_EQ(view.Lines, (Order{"one", "two"}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"one1"}));

  FakeDialogs only;
  auto single = MakeStore({"solo"}, 2);
  FakeBarView bar;
  bar.SelectGroupItem(bar.AddGroupName("solo"));
  bar.ShowActive(*single);
  DeleteGroupCommand(*single, bar, only, unlocked);
  EXPECT_TRUE(only.Confirms.empty());
  EXPECT_EQ(only.Messages, (Order{"You can not delete the only Group.\nPlease create another "
                                  "Group first."}));
  EXPECT_EQ(single->GroupCount(), 1);
  EXPECT_EQ(bar.VisibleCaptions(), (Order{"solo1", "solo2"}));
}

// ---- passwords ----

TEST_F(Groups, ProtectWithTwoEmptyAnswersReportsRemoval) {
  Use({"Work"});
  dialogs.InputAnswers = {std::string(""), std::nullopt};
  SetPasswordCommand(*store, dialogs);
  ASSERT_EQ(dialogs.Inputs.size(), 2u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "New Group Password");
  EXPECT_EQ(dialogs.Inputs[0].Prompt, "Please type the NEW password:");
  EXPECT_EQ(dialogs.Inputs[1].Caption, "New Group Password");
  EXPECT_EQ(dialogs.Inputs[1].Prompt, "Please re-type the NEW password:");
  EXPECT_EQ(dialogs.Messages,
            (Order{"Password protection for the Work group has been removed."}));
  EXPECT_EQ(store->GroupAt(1).Password, "");
}

TEST_F(Groups, ProtectSetsThePasswordButLocksOnlyAtTheNextSwitch) {
  Use({"Work", "Home"});
  dialogs.InputAnswers = {std::nullopt, std::string("Secret")};  // first cancelled: still asks
  SetPasswordCommand(*store, dialogs);
  EXPECT_EQ(store->GroupAt(1).Password, "");
  EXPECT_TRUE(dialogs.Messages.empty());  // mismatch: nothing shown
  dialogs.InputAnswers = {std::string("Secret"), std::string("Secret")};
  SetPasswordCommand(*store, dialogs);
  EXPECT_EQ(store->GroupAt(1).Password, "Secret");
  EXPECT_EQ(dialogs.Messages, (Order{"Password for Work set."}));
  EXPECT_TRUE(unlocked);
  EXPECT_TRUE(CheckPassword(*store, unlocked, dialogs));
  EXPECT_EQ(dialogs.Inputs.size(), 4u);  // the press asked nothing
  Switch("Home");
  Switch("Work");
  EXPECT_FALSE(unlocked);
}

TEST_F(Groups, ChangingAPasswordAsksThreeQuestions) {
  ChangeOldPassword({std::string("old"), std::string("New"), std::string("New")});
  ASSERT_EQ(dialogs.Inputs.size(), 3u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "Existing Group Password");
  EXPECT_EQ(dialogs.Inputs[0].Prompt, "Please type the CURRENT password:");
  EXPECT_EQ(dialogs.Inputs[0].Default, "");
  EXPECT_EQ(store->GroupAt(1).Password, "New");
  EXPECT_EQ(dialogs.Messages, (Order{"Password for Work set."}));
}

TEST_F(Groups, WrongCurrentPasswordEndsAfterTheFirstQuestion) {
  ChangeOldPassword({std::string("OLD")});
  dialogs.InputAnswers = {std::nullopt};
  SetPasswordCommand(*store, dialogs);
  EXPECT_EQ(dialogs.Inputs.size(), 2u);
  EXPECT_EQ(dialogs.Messages, (Order{"Invalid Password.", "Invalid Password."}));
  EXPECT_EQ(store->GroupAt(1).Password, "old");
}

TEST_F(Groups, RetypeDifferingInCaseChangesNothingAndShowsNothing) {
  ChangeOldPassword({std::string("old"), std::string("secret"), std::string("Secret")});
  EXPECT_EQ(dialogs.Inputs.size(), 3u);
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_EQ(store->GroupAt(1).Password, "old");
}

TEST_F(Groups, RemovePasswordRefusalsAndQuestions) {
  Use({"Work"});
  RemovePasswordCommand(*store, dialogs);
  EXPECT_TRUE(dialogs.Inputs.empty());
  store->GroupAt(1).Password = "pw";
  dialogs.InputAnswers = {std::string("PW"), std::string("pw")};
  dialogs.ConfirmAnswers = {false};
  RemovePasswordCommand(*store, dialogs);  // wrong
  RemovePasswordCommand(*store, dialogs);  // right, then No
  EXPECT_EQ(dialogs.Messages,
            (Order{"The Work group is not password protected.", "Invalid Password."}));
  ASSERT_EQ(dialogs.Confirms.size(), 1u);
  EXPECT_EQ(dialogs.Confirms[0].first,
            "Are you sure you want to remove the password protection for the Work group?");
  EXPECT_EQ(store->GroupAt(1).Password, "pw");
}

TEST_F(Groups, RemovingAPasswordLeavesALockedGroupLockedUntilAnEmptyAnswer) {
  Use({"Work", "Other"});
  store->GroupAt(1).Password = "pw";
  Switch("Work");
  ASSERT_FALSE(unlocked);
  dialogs.InputAnswers = {std::string("pw")};
  dialogs.ConfirmAnswers = {true};
  RemovePasswordCommand(*store, dialogs);
  EXPECT_EQ(store->GroupAt(1).Password, "");
  EXPECT_EQ(dialogs.Messages,
            (Order{"Password protection for the Work group has been removed."}));
  EXPECT_FALSE(unlocked);
  // The next press still asks; Cancel gives the empty answer, which now matches.
  dialogs.InputAnswers = {std::nullopt};
  EXPECT_TRUE(CheckPassword(*store, unlocked, dialogs));
  EXPECT_TRUE(unlocked);
}

TEST_F(Groups, PressOnALockedGroupAsksUntilTheRightAnswer) {
  Use({"Work"});
  store->GroupAt(1).Password = "Pw";
  unlocked = false;
  dialogs.InputAnswers = {std::string("pw"), std::string("Pw")};
  EXPECT_FALSE(CheckPassword(*store, unlocked, dialogs));
  EXPECT_FALSE(unlocked);
  EXPECT_EQ(dialogs.Messages, (Order{"Invalid Password."}));
  EXPECT_TRUE(CheckPassword(*store, unlocked, dialogs));
  EXPECT_TRUE(unlocked);
  EXPECT_EQ(dialogs.Inputs.at(0).Caption, "Group Password");
  EXPECT_EQ(dialogs.Inputs.at(0).Prompt, "Please type the password for this group:");
  EXPECT_EQ(dialogs.Inputs.at(0).Default, "");
  EXPECT_TRUE(CheckPassword(*store, unlocked, dialogs));  // asks no more
  EXPECT_EQ(dialogs.Inputs.size(), 2u);
}

}  // namespace
}  // namespace ks
