#include <gtest/gtest.h>

#include "bar/commands.h"
#include "bar/fakes.h"
#include "bar/groups.h"
#include "bar/shortcut_fakes.h"
#include "bar/shortcut_wait.h"
#include "bar/shortcuts.h"

namespace ks {
namespace {

using test::FakeDialogs;
using test::FakeHeldKeys;
using test::FakeHotKeys;
using test::FakeShortcutLayout;
using test::Key;
using test::MakeStore;
using Order = std::vector<std::string>;

// Groups "Work" and "Home" of three buttons each (captions Work1.., Home1..), no keys.
std::unique_ptr<Store> TwoGroups() {
  auto s = MakeStore({"Work", "Home"}, 3);
  for (int g = 1; g <= 2; ++g)
    for (int i = 1; i <= 3; ++i) s->ButtonAt(g, i).Shortcut = 0;
  return s;
}

TEST(ShortcutNames, ListLinesAndMessageNames) {
  EXPECT_EQ(ShortcutItemText(0), "None");
  EXPECT_EQ(ShortcutItemText(1), "<ctrl><alt>A");
  EXPECT_EQ(ShortcutItemText(26), "<ctrl><alt>Z");
  EXPECT_EQ(ShortcutItemText(27), "None");
  EXPECT_EQ(ShortcutItemText(-1), "None");
  EXPECT_EQ(ShortcutName(3), "Ctrl+Alt+C");
  EXPECT_EQ(ShortcutLetterKey(26), 'Z');
}

TEST(ShortcutOwner, FirstInStoreOrderAndOnlyAmongButtonsInUse) {
  auto s = TwoGroups();
  s->ButtonAt(2, 1).Shortcut = 3;
  s->ButtonAt(1, 3).Shortcut = 3;
  s->ButtonAt(1, 2).Shortcut = 99;  // out of range: no key
  EXPECT_EQ(ShortcutOwner(*s, 3), (ButtonRef{1, 3}));
  EXPECT_EQ(OtherButtonWith(*s, 3, ButtonRef{1, 3}), (ButtonRef{2, 1}));
  EXPECT_FALSE(OtherButtonWith(*s, 3, ButtonRef{2, 1}) == (ButtonRef{2, 1}));
  EXPECT_FALSE(ShortcutOwner(*s, 99));
  EXPECT_FALSE(ShortcutOwner(*s, 0));
  // A button taken out takes its key with it.
  s->GroupAt(1).Buttons.resize(2);
  EXPECT_EQ(ShortcutOwner(*s, 3), (ButtonRef{2, 1}));
}

TEST(ShortcutRegistrations, PlanTakesTheMissingAndGivesBackTheUnwanted) {
  ShortcutSet wanted, held;
  wanted[1] = wanted[3] = wanted[26] = true;
  held[3] = held[5] = true;
  EXPECT_EQ(PlanRegistrations(wanted, held), (RegistrationPlan{{1, 26}, {5}}));
  EXPECT_EQ(PlanRegistrations(held, held), (RegistrationPlan{}));

  auto s = TwoGroups();
  s->ButtonAt(1, 1).Shortcut = Key('E');
  s->ButtonAt(2, 2).Shortcut = Key('C');
  s->ButtonAt(2, 3).Shortcut = Key('C');
  const ShortcutSet w = WantedShortcuts(*s);
  EXPECT_EQ(w.count(), 2u);
  EXPECT_TRUE(w[Key('C')] && w[Key('E')]);
}

class Shortcuts : public ::testing::Test {
 protected:
  std::unique_ptr<Store> store = TwoGroups();
  FakeHotKeys system;
  FakeShortcutLayout layout;
  ShortcutKeys keys{system, layout};
  FakeDialogs dialogs;
};

TEST_F(Shortcuts, AStartWithEveryKeyFreeTakesThemAllAndSaysNothing) {
  store->ButtonAt(1, 1).Shortcut = Key('A');
  store->ButtonAt(2, 3).Shortcut = Key('Z');
  EXPECT_EQ(keys.Start(*store), "");
  EXPECT_EQ(system.Ours, (std::set<int>{Key('A'), Key('Z')}));
  EXPECT_TRUE(keys.Holds(Key('Z')));
  keys.Stop();
  EXPECT_TRUE(system.Ours.empty());
  EXPECT_FALSE(keys.Holds(Key('Z')));
}

TEST_F(Shortcuts, TheStartMessageListsEveryButtonWhoseKeyDoesNotTypeIt) {
  store->ButtonAt(1, 1).Shortcut = Key('C');  // free
  store->ButtonAt(1, 2).Shortcut = Key('E');  // a character on the layout in front now
  store->ButtonAt(2, 1).Shortcut = Key('H');  // held by another program
  store->ButtonAt(2, 2).Shortcut = Key('C');  // the same key as Work1
  system.HeldByOthers = {Key('H')};
  layout.Characters = {Key('E')};
  EXPECT_EQ(keys.Start(*store),
            "Some shortcut keys do not type their buttons:\n"
            "\nCtrl+Alt+H (the Home1 button in the Home group): another program uses this key."
            "\nCtrl+Alt+C (the Home2 button in the Home group): the Work1 button in the Work "
            "group has it too."
            "\n\nThese buttons type when clicked; the button editor gives them another key.");
  // Each key is tried once; whether one is a character is judged at its press.
  EXPECT_EQ(system.Ours, (std::set<int>{Key('C'), Key('E')}));
  EXPECT_EQ(system.Calls, (Order{"+Ctrl+Alt+C", "+Ctrl+Alt+E", "+Ctrl+Alt+H"}));
}

TEST_F(Shortcuts, AKeyTheLayoutInFrontMakesACharacterOfGoesThroughUntilItIsLetGo) {
  // Started under a layout without AltGr characters, then switched to one where
  // Ctrl+Alt+Q is "@": the key goes to the window, and is taken again afterwards.
  store->ButtonAt(1, 1).Shortcut = Key('Q');
  keys.Start(*store);
  EXPECT_FALSE(keys.LetThrough(Key('Q')));
  EXPECT_TRUE(keys.Holds(Key('Q')));
  layout.Characters = {Key('Q')};
  EXPECT_TRUE(keys.LetThrough(Key('Q')));
  EXPECT_FALSE(system.Ours.count(Key('Q')));
  keys.Update(*store);
  EXPECT_TRUE(system.Ours.count(Key('Q')));
  // Back to the first layout: the key types its button again.
  layout.Characters = {};
  EXPECT_FALSE(keys.LetThrough(Key('Q')));
  EXPECT_FALSE(keys.LetThrough(Key('Z')));  // a key no button carries
}

TEST_F(Shortcuts, AStartMessageOfAHandEditedFileStaysShort) {
  store->GroupAt(1).Buttons.resize(50);
  for (int i = 1; i <= 50; ++i) {
    store->ButtonAt(1, i).Caption = "Work" + std::to_string(i);
    store->ButtonAt(1, i).Shortcut = Key('Q');
  }
  // Work1 takes the key; the 49 after it are listed up to twenty.
  const std::string text = keys.Start(*store);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 20 + 1 + 2);
  EXPECT_NE(text.find("(the Work21 button in the Work group)"), std::string::npos);
  EXPECT_EQ(text.find("(the Work22 button"), std::string::npos);
  EXPECT_NE(text.find("\n... and 29 more.\n"), std::string::npos);
}

TEST_F(Shortcuts, TheEditorRefusesDoneWithAKeyOfAnotherButtonOrACharacter) {
  store->ButtonAt(2, 3).Shortcut = Key('C');
  layout.Characters = {Key('E')};
  keys.Start(*store);
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{1, 1}, Key('C')),
            "Ctrl+Alt+C is already the shortcut key of the Home3 button in the Home group.\n"
            "Please choose another key, or None.");
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{1, 0}, Key('C')).has_value(), true);  // new
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{2, 3}, Key('C')), std::nullopt);      // its own
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{1, 1}, Key('E')),
            "On your keyboard layout Ctrl+Alt+E types a character, which a shortcut key would "
            "take from you.\nPlease choose another key, or None.");
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{1, 1}, Key('D')), std::nullopt);
  EXPECT_EQ(keys.RefuseDone(*store, ButtonRef{1, 1}, 0), std::nullopt);
}

TEST_F(Shortcuts, PickingAKeyInTheEditorTellsWhatItWillNotDo) {
  store->ButtonAt(1, 1).Shortcut = Key('A');
  system.HeldByOthers = {Key('H')};
  layout.Characters = {Key('E')};
  keys.Start(*store);
  system.Calls.clear();

  const ShortcutChoice character = keys.Chosen(Key('E'));
  EXPECT_TRUE(character.Refused);
  EXPECT_EQ(character.Message, ShortcutCharacterMessage(Key('E')));

  const ShortcutChoice held = keys.Chosen(Key('H'));
  EXPECT_FALSE(held.Refused);
  EXPECT_EQ(held.Message,
            "Another program already uses Ctrl+Alt+H, so this key will not type the button "
            "while that program holds it.");

  // A free key is tried and given back at once; one the program holds is not tried.
  EXPECT_EQ(keys.Chosen(Key('F')).Message, "");
  EXPECT_EQ(keys.Chosen(Key('A')).Message, "");
  EXPECT_EQ(keys.Chosen(0).Message, "");
  EXPECT_EQ(system.Calls, (Order{"+Ctrl+Alt+H", "+Ctrl+Alt+F", "-Ctrl+Alt+F"}));
  EXPECT_EQ(system.Ours, (std::set<int>{Key('A')}));
}

TEST_F(Shortcuts, AKeyFreedByAnotherProgramIsTakenAtTheNextChange) {
  store->ButtonAt(1, 1).Shortcut = Key('H');
  system.HeldByOthers = {Key('H')};
  EXPECT_NE(keys.Start(*store), "");
  keys.Update(*store);
  EXPECT_FALSE(keys.Holds(Key('H')));
  system.HeldByOthers.clear();
  keys.Update(*store);
  EXPECT_TRUE(keys.Holds(Key('H')));
}

TEST_F(Shortcuts, CopyToGroupLeavesTheKeyAndTheAbbreviationWithTheOriginal) {
  store->ButtonAt(1, 2).Shortcut = Key('C');
  store->ButtonAt(1, 2).Abbreviation = ";w2";
  CopyButtonToGroup(*store, dialogs, 2, 1);
  EXPECT_EQ(store->ButtonAt(2, 4), (Button{"Work2", "hint Work2", "text Work2", 2, 0, ""}));
  EXPECT_EQ(dialogs.Messages,
            (Order{"The copy in the Home group has no shortcut key: Ctrl+Alt+C stays with the "
                   "Work2 button in the Work group.\nThe copy in the Home group has no "
                   "abbreviation: ;w2 stays with the Work2 button in the Work group."}));
  EXPECT_EQ(ShortcutOwner(*store, Key('C')), (ButtonRef{1, 2}));
  EXPECT_EQ(store->ButtonAt(1, 2).Abbreviation, ";w2");

  store->ButtonAt(1, 2).Shortcut = 0;  // the abbreviation alone is told alone
  dialogs.Messages.clear();
  CopyButtonToGroup(*store, dialogs, 2, 1);
  EXPECT_EQ(dialogs.Messages, (Order{"The copy in the Home group has no abbreviation: ;w2 stays "
                                     "with the Work2 button in the Work group."}));
}

// ---- a shortcut pressed ----

// The button a shortcut types, once its group's password is given, as the typing service
// asks it for a shortcut.
std::optional<ButtonRef> PressedShortcut(const Store& store, int shortcut, bool& unlocked,
                                         Dialogs& dialogs) {
  const ButtonRef b = ShortcutOwner(store, shortcut);
  if (!b || !AskPasswordFor(store, b, unlocked, dialogs)) return std::nullopt;
  return b;
}

TEST_F(Shortcuts, APressTypesTheButtonOfAnyGroupWithoutAQuestionWhenUnlocked) {
  store->ButtonAt(2, 3).Shortcut = Key('C');
  bool unlocked = true;
  EXPECT_EQ(PressedShortcut(*store, Key('C'), unlocked, dialogs), (ButtonRef{2, 3}));
  EXPECT_EQ(PressedShortcut(*store, Key('D'), unlocked, dialogs), std::nullopt);
  EXPECT_TRUE(dialogs.Inputs.empty());
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(Shortcuts, ALockedGroupAsksForItsOwnPasswordNamingIt) {
  store->GroupAt(2).Password = "pw";
  store->ButtonAt(2, 1).Shortcut = Key('H');
  bool unlocked = true;  // the active group, Work, has no password
  EXPECT_TRUE(ShortcutAsksPassword(*store, Key('H'), unlocked));
  EXPECT_FALSE(ShortcutAsksPassword(*store, Key('Q'), unlocked));  // no button carries it
  dialogs.InputAnswers = {std::string("PW"), std::nullopt, std::string("pw"), std::string("pw")};
  EXPECT_EQ(PressedShortcut(*store, Key('H'), unlocked, dialogs), std::nullopt);
  EXPECT_EQ(PressedShortcut(*store, Key('H'), unlocked, dialogs), std::nullopt);
  EXPECT_EQ(dialogs.Messages, (Order{kMsgInvalidPassword, kMsgInvalidPassword}));
  EXPECT_EQ(PressedShortcut(*store, Key('H'), unlocked, dialogs), (ButtonRef{2, 1}));
  // Another group stays locked: the next press asks again.
  EXPECT_EQ(PressedShortcut(*store, Key('H'), unlocked, dialogs), (ButtonRef{2, 1}));
  ASSERT_EQ(dialogs.Inputs.size(), 4u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "Group Password");
  EXPECT_EQ(dialogs.Inputs[0].Prompt, "Please type the password for the Home group:");
  EXPECT_EQ(dialogs.Inputs[0].Default, "");
  EXPECT_TRUE(unlocked);
}

TEST_F(Shortcuts, TheActiveGroupsRightPasswordUnlocksItAsAPressWould) {
  store->GroupAt(1).Password = "pw";
  store->ButtonAt(1, 2).Shortcut = Key('B');
  bool unlocked = false;
  dialogs.InputAnswers = {std::string("pw")};
  EXPECT_TRUE(ShortcutAsksPassword(*store, Key('B'), unlocked));
  EXPECT_EQ(PressedShortcut(*store, Key('B'), unlocked, dialogs), (ButtonRef{1, 2}));
  EXPECT_TRUE(unlocked);
  EXPECT_FALSE(ShortcutAsksPassword(*store, Key('B'), unlocked));
  EXPECT_EQ(PressedShortcut(*store, Key('B'), unlocked, dialogs), (ButtonRef{1, 2}));
  EXPECT_EQ(dialogs.Inputs.size(), 1u);
  // A password removed while locked asks nothing more and unlocks.
  store->GroupAt(1).Password.clear();
  unlocked = false;
  EXPECT_EQ(PressedShortcut(*store, Key('B'), unlocked, dialogs), (ButtonRef{1, 2}));
  EXPECT_TRUE(unlocked);
  EXPECT_EQ(dialogs.Inputs.size(), 1u);
}

// ---- the keys still held when a shortcut fires ----

class HeldAtFire : public ::testing::Test {
 protected:
  // Ctrl+Alt+`letter` goes down and the system reports the shortcut.
  void Press(char letter) {
    held.Down.insert({17, 18, letter});
    queue.Fired(Key(letter), now);
  }
  ShortcutQueue::Step Poll(bool busy = false) { return queue.Poll(held, busy, now); }
  void Later(int ms) { now += ms; }

  FakeHeldKeys held;
  ShortcutQueue queue;
  std::int64_t now = 1000;
};

using Step = ShortcutQueue::Step;

TEST_F(HeldAtFire, TypingWaitsUntilCtrlAltAndTheLetterAreLetGo) {
  Press('C');
  EXPECT_EQ(Poll(), Step{});
  held.Down.erase('C');
  EXPECT_EQ(Poll(), Step{});
  held.Down.erase(17);
  EXPECT_EQ(Poll(), Step{});
  held.Down.insert(16);  // Shift, pressed meanwhile, would change the text as well
  held.Down.erase(18);
  Later(2000);
  EXPECT_EQ(Poll(), Step{});
  held.Down.erase(16);
  EXPECT_EQ(Poll(), (Step{{Key('C')}, {}}));
  EXPECT_FALSE(queue.Waiting());
  EXPECT_EQ(Poll(), Step{});
}

TEST_F(HeldAtFire, TheLetterRepeatingIsOnePressAndTwoTapsAreTwo) {
  Press('C');
  queue.Fired(Key('C'), now);  // repeat: C never went up
  held.Down.erase('C');
  Poll();
  Press('C');  // a second tap, Ctrl and Alt still held
  Press('D');
  held.Down.clear();
  EXPECT_EQ(Poll(), (Step{{Key('C'), Key('C'), Key('D')}, {}}));
}

TEST_F(HeldAtFire, ARunOrQuestionUnderWayKeepsThemWaitingAndRestartsTheWait) {
  Press('C');
  held.Down.clear();
  Later(5000);
  EXPECT_EQ(Poll(true), Step{});
  Later(10);
  EXPECT_EQ(Poll(), (Step{{Key('C')}, {}}));
}

TEST_F(HeldAtFire, KeysStillHeldAfterTheWaitDropTheShortcutAndItsRepeats) {
  Press('C');
  Later(kReleaseWaitMs - 1);
  EXPECT_EQ(Poll(), Step{});
  Later(1);
  EXPECT_EQ(Poll(), (Step{{}, {Key('C')}}));
  EXPECT_EQ(ShortcutsDroppedMessage({Key('C'), Key('D'), Key('C')}),
            "Nothing was typed for Ctrl+Alt+C, Ctrl+Alt+D: keys were still held down 3 seconds "
            "later.\nA shortcut key types its text once Ctrl, Alt and the letter are let go.");
  // The user keeps holding: the repeats are not new presses.
  queue.Fired(Key('C'), now);
  EXPECT_FALSE(queue.Waiting());
  // Let go and pressed again, it counts.
  held.Down.erase('C');
  Poll();
  Press('C');
  EXPECT_TRUE(queue.Waiting());
}

TEST_F(HeldAtFire, APressWhosePasswordWasRefusedIsGoneAndTheNextOneCounts) {
  // The password is asked when the key fires; its repeats meanwhile are no new presses.
  Press('L');
  EXPECT_FALSE(queue.Fired(Key('L'), now));
  queue.DropLast();
  EXPECT_FALSE(queue.Waiting());
  EXPECT_TRUE(queue.Fired(Key('L'), now));  // pressed again after the refusal
  held.Down.clear();
  EXPECT_EQ(Poll(), (Step{{Key('L')}, {}}));
}

TEST_F(HeldAtFire, EachPressExtendsTheWait) {
  Press('C');
  Later(kReleaseWaitMs - 100);
  held.Down.erase('C');
  Poll();
  Press('D');
  Later(kReleaseWaitMs - 100);
  EXPECT_EQ(Poll(), Step{});
  held.Down.clear();
  EXPECT_EQ(Poll(), (Step{{Key('C'), Key('D')}, {}}));
}

}  // namespace
}  // namespace ks
