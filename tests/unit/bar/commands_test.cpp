#include <gtest/gtest.h>

#include "bar/commands.h"
#include "bar/fakes.h"

namespace ks {
namespace {

using test::Captions;
using test::FakeBarView;
using test::FakeDialogs;
using test::FakeEditor;
using test::MakeStore;
using Order = std::vector<std::string>;

class ButtonCommands : public ::testing::Test {
 protected:
  void Use(int groups, int buttons) {
    std::vector<std::string> names;
    for (int g = 1; g <= groups; ++g) names.push_back(std::string(1, static_cast<char>('A' + g - 1)));
    store = MakeStore(names, buttons);
    view.ShowActive(*store);
  }
  std::unique_ptr<Store> store;
  FakeBarView view;
  FakeDialogs dialogs;
  FakeEditor editor;
  ButtonRef editing;
};

// ---- New Button ----

TEST_F(ButtonCommands, NewButtonAppendsTheFiftiethWithTheTemplateColour) {
  Use(1, 49);
  view.Template = 0x0000FF;
  editor.Result = EditorFields{"Fresh", "a hint", "hello{enter}", 0x00FF00, 7};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  ASSERT_EQ(editor.Calls.size(), 1u);
  EXPECT_EQ(editor.Calls[0].Caption, "Create new button");
  EXPECT_EQ(editor.Calls[0].Shown, (EditorFields{"", "", "", 0x0000FF, 0}));
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 50);
  EXPECT_EQ(store->ButtonAt(1, 50), (Button{"Fresh", "a hint", "hello{enter}", 0x00FF00, 7}));
  EXPECT_TRUE(view.Controls[50].Visible);
  EXPECT_EQ(view.Controls[50].Caption, "Fresh");
  EXPECT_EQ(view.Controls[50].Hint, "a hint");
  EXPECT_EQ(view.Controls[50].Color, 0x00FF00);
  EXPECT_EQ(view.Displays, 1);
  EXPECT_EQ(view.TopCount, 1);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ButtonCommands, NewButtonAtTheLimitRefusesWithoutTheEditor) {
  Use(1, 50);
  NewButtonCommand(*store, view, dialogs, editor, editing);
  EXPECT_TRUE(editor.Calls.empty());
  EXPECT_EQ(dialogs.Messages, (Order{"You have reached the 50 button limit for this group."}));
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 50);
  EXPECT_EQ(view.TopCount, 1);  // still brought back to the top
}

TEST_F(ButtonCommands, NewButtonCancelledOrNamelessCreatesNothingButLaysOut) {
  Use(1, 3);
  editor.Done = false;
  editor.Result = EditorFields{"Fresh", "", "x", 0, 0};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  editor.Done = true;
  editor.Result = EditorFields{"", "hint", "text", 0, 0};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 3);
  EXPECT_FALSE(view.Controls[4].Visible);
  EXPECT_EQ(view.Displays, 2);
  EXPECT_EQ(view.TopCount, 2);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ButtonCommands, LineBreaksAndTabsNeverReachTheStore) {
  Use(1, 1);
  editor.Result = EditorFields{"Two\r\nlines", "hint\n", "a\r\nb\rc\nd\te\r", 0, 0};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  const Button b = store->ButtonAt(1, 2);
  EXPECT_EQ(b.String, "a{enter}b{enter}c\nd{tab}e{enter}");  // a lone LF ends no line
  EXPECT_EQ(b.Caption, "Two lines");
  EXPECT_EQ(b.Description, "hint ");
  EXPECT_EQ(view.Controls[2].Caption, "Two lines");
}

TEST_F(ButtonCommands, NewButtonGivesAnEmptyGroupItsFirstButton) {
  Use(1, 1);
  store->GroupAt(1).Buttons.resize(0);
  view.HideButtons(1);
  editor.Result = EditorFields{"First", "hint", "text", 0, 0};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 1);
  EXPECT_EQ(store->ButtonAt(1, 1), (Button{"First", "hint", "text", 0, 0}));
  EXPECT_EQ(view.VisibleCaptions(), (std::vector<std::string>{"First"}));
}

// ---- Edit Button ----

TEST_F(ButtonCommands, EditShowsTheButtonAndWritesBackOnDone) {
  Use(2, 3);
  editor.Result = EditorFields{"", "new hint", "new text\r\n", 5, 26};
  EditButtonCommand(*store, view, editor, 2, editing);
  ASSERT_EQ(editor.Calls.size(), 1u);
  EXPECT_EQ(editor.Calls[0].Caption, "Edit button");
  EXPECT_EQ(editor.Calls[0].Shown, (EditorFields{"A2", "hint A2", "text A2", 2, 2}));
  // An empty caption is accepted on edit.
  EXPECT_EQ(store->ButtonAt(1, 2), (Button{"", "new hint", "new text{enter}", 5, 26}));
  EXPECT_EQ(view.Controls[2].Caption, "");
  EXPECT_EQ(view.Controls[2].Hint, "new hint");
  EXPECT_EQ(view.Controls[2].Color, 5);
  EXPECT_EQ(view.Displays, 0);
  EXPECT_EQ(view.DummyFocus, 1);
  EXPECT_EQ(view.TopCount, 1);
}

TEST_F(ButtonCommands, EditClosedWithoutDoneChangesNothing) {
  Use(1, 3);
  const Store before = *store;
  editor.Done = false;
  editor.Result = EditorFields{"X", "Y", "Z", 1, 1};
  EditButtonCommand(*store, view, editor, 3, editing);
  EXPECT_EQ(store->ButtonAt(1, 3), before.ButtonAt(1, 3));
  EXPECT_EQ(view.Controls[3].Caption, "A3");
  EXPECT_EQ(view.TopCount, 1);
}

// ---- Delete Button ----

TEST_F(ButtonCommands, DeleteSecondOfFourClosesTheGap) {
  Use(1, 4);
  dialogs.ConfirmAnswers = {true};
  DeleteButtonCommand(*store, view, dialogs, 2);
  ASSERT_EQ(dialogs.Confirms.size(), 1u);
  EXPECT_EQ(dialogs.Confirms[0].first, "Are you sure you want to delete the A2 button?");
  EXPECT_EQ(dialogs.Confirms[0].second, "Confirm");
  EXPECT_EQ(Captions(*store, 1), (Order{"A1", "A3", "A4"}));
  EXPECT_EQ(store->ButtonAt(1, 2), (Button{"A3", "hint A3", "text A3", 3, 3}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"A1", "A3", "A4"}));
  EXPECT_FALSE(view.Controls[4].Visible);
  EXPECT_EQ(view.Displays, 1);
}

TEST_F(ButtonCommands, DeleteAsksWithTheCaptionAfterAnEdit) {
  Use(1, 2);
  editor.Result = EditorFields{"Renamed", "", "", 0, 0};
  EditButtonCommand(*store, view, editor, 1, editing);
  dialogs.ConfirmAnswers = {false};
  DeleteButtonCommand(*store, view, dialogs, 1);
  EXPECT_EQ(dialogs.Confirms.at(0).first, "Are you sure you want to delete the Renamed button?");
  EXPECT_EQ(dialogs.Confirms.at(0).first,
            "Are you sure you want to delete the " + view.Controls[1].Caption + " button?");
  // No keeps everything.
  EXPECT_EQ(Captions(*store, 1), (Order{"Renamed", "A2"}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"Renamed", "A2"}));
}

TEST_F(ButtonCommands, DeleteRefusesTheLastButton) {
  Use(1, 1);
  DeleteButtonCommand(*store, view, dialogs, 1);
  EXPECT_TRUE(dialogs.Confirms.empty());
  EXPECT_EQ(dialogs.Messages,
            (Order{"You can not delete the last button in a Group.\nPlease use the Delete Group "
                   "option or\nthe Edit button option to change the button."}));
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 1);
}

// ---- Copy and Move to Group ----

TEST_F(ButtonCommands, CopyAppendsToTheOtherGroupWithAllItsFields) {
  Use(3, 2);
  store->ButtonAt(1, 1).Shortcut = 0;  // a key stays with the original (see shortcuts_test)
  CopyButtonToGroup(*store, dialogs, 1, 1);  // entry 1 = group 2
  EXPECT_EQ(Captions(*store, 2), (Order{"B1", "B2", "A1"}));
  EXPECT_EQ(store->ButtonAt(2, 3), store->ButtonAt(1, 1));
  EXPECT_EQ(Captions(*store, 1), (Order{"A1", "A2"}));
  EXPECT_EQ(Captions(*store, 3), (Order{"C1", "C2"}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"A1", "A2"}));
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(ButtonCommands, CopyIntoTheActiveGroupOrAFullGroupIsRefused) {
  Use(2, 2);
  store->GroupAt(2).Buttons.resize(50);
  CopyButtonToGroup(*store, dialogs, 1, 0);
  CopyButtonToGroup(*store, dialogs, 1, 1);
  EXPECT_EQ(dialogs.Messages,
            (Order{"You can not copy a button within the same group.",
                   "You have reached the 50 button limit for the destination group."}));
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 2);
  EXPECT_EQ(store->GroupAt(2).ButtonCount(), 50);
}

TEST_F(ButtonCommands, MoveTakesTheButtonOutAndShortensTheBar) {
  Use(2, 3);
  store->ButtonAt(1, 2).Abbreviation = ";a2";  // moved, the button keeps its key and its word
  MoveButtonToGroup(*store, view, dialogs, 2, 1);
  EXPECT_EQ(Captions(*store, 1), (Order{"A1", "A3"}));
  EXPECT_EQ(Captions(*store, 2), (Order{"B1", "B2", "B3", "A2"}));
  EXPECT_EQ(store->ButtonAt(2, 4), (Button{"A2", "hint A2", "text A2", 2, 2, ";a2"}));
  EXPECT_EQ(view.VisibleCaptions(), (Order{"A1", "A3"}));
  EXPECT_EQ(view.Displays, 1);
  EXPECT_TRUE(dialogs.Confirms.empty());  // moving asks nothing
}

TEST_F(ButtonCommands, MoveIntoTheActiveGroupAFullGroupOrOfTheLastButtonIsRefused) {
  Use(3, 1);
  store->GroupAt(3).Buttons.resize(50);
  MoveButtonToGroup(*store, view, dialogs, 1, 0);
  MoveButtonToGroup(*store, view, dialogs, 1, 2);
  MoveButtonToGroup(*store, view, dialogs, 1, 1);
  EXPECT_EQ(dialogs.Messages,
            (Order{"You can not move a button to the same group.",
                   "You have reached the 50 button limit for the destination group.",
                   "You can not move the last button out of a Group.\nPlease use the Copy to "
                   "Group option instead."}));
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 1);
  EXPECT_EQ(store->GroupAt(2).ButtonCount(), 1);
  EXPECT_EQ(view.VisibleCaptions(), (Order{"A1"}));
  EXPECT_EQ(view.Displays, 0);
}

TEST_F(ButtonCommands, EntriesBeyondTheGroupsInUseDoNothing) {
  Use(2, 2);
  const std::vector<Group> before = store->Groups;
  CopyButtonToGroup(*store, dialogs, 1, 2);
  MoveButtonToGroup(*store, view, dialogs, 1, -1);
  EXPECT_EQ(store->Groups, before);
  EXPECT_TRUE(dialogs.Messages.empty());
}

// ---- Button Width ----

TEST(ButtonWidthAnswer, OnlyWholeNumbersFrom88To200) {
  EXPECT_EQ(ParseButtonWidth("88"), 88);
  EXPECT_EQ(ParseButtonWidth("200"), 200);
  EXPECT_EQ(ParseButtonWidth(" 150\t"), 150);
  EXPECT_EQ(ParseButtonWidth("0120"), 120);
  for (const char* bad : {"87", "201", "", "   ", "abc", "12a", "1 20", "+120", "-100", "0x64",
                          "1e2", "120.0", "99999999999999999999"})
    EXPECT_EQ(ParseButtonWidth(bad), std::nullopt) << bad;
}

TEST(ButtonWidthCommand, AsksWithTheCurrentWidthAndAppliesIt) {
  FakeBarView view;
  FakeDialogs dialogs;
  int32_t width = 120;
  dialogs.InputAnswers = {std::string("150")};
  ButtonWidthCommand(width, view, dialogs);
  ASSERT_EQ(dialogs.Inputs.size(), 1u);
  EXPECT_EQ(dialogs.Inputs[0].Caption, "Button Width");
  EXPECT_EQ(dialogs.Inputs[0].Prompt, "How wide would you like the buttons to be?");
  EXPECT_EQ(dialogs.Inputs[0].Default, "120");
  EXPECT_TRUE(dialogs.Inputs[0].Preselect);
  EXPECT_EQ(width, 150);
  EXPECT_EQ(view.Controls[1].Width, 150);
  EXPECT_EQ(view.Controls[50].Width, 150);
  EXPECT_EQ(view.Displays, 1);
}

TEST(ButtonWidthCommand, RefusedOrCancelledAnswersKeepTheWidth) {
  FakeBarView view;
  FakeDialogs dialogs;
  int32_t width = 120;
  dialogs.InputAnswers = {std::string("87"), std::string("201"), std::string("wide"),
                          std::string(""), std::nullopt};
  for (int i = 0; i < 5; ++i) ButtonWidthCommand(width, view, dialogs);
  const std::string msg = "Please select a button width between 88 and 200 pixels.";
  EXPECT_EQ(dialogs.Messages, (Order{msg, msg, msg, msg}));
  EXPECT_EQ(width, 120);
  EXPECT_EQ(view.Displays, 0);
}

}  // namespace
}  // namespace ks
