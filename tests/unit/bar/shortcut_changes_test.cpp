// The shortcut keys the program holds follow every command that changes the store, and
// a key always types the button that carries it now.
#include <gtest/gtest.h>

#include "bar/commands.h"
#include "bar/drag.h"
#include "bar/fakes.h"
#include "bar/groups.h"
#include "bar/shortcut_fakes.h"
#include "bar/shortcuts.h"

namespace ks {
namespace {

using test::FakeBarView;
using test::FakeDialogs;
using test::FakeEditor;
using test::FakeHotKeys;
using test::FakeShortcutLayout;
using test::Key;
using test::MakeStore;
using Keys = std::set<int>;

class ShortcutsFollow : public ::testing::Test {
 protected:
  // Groups "Work" (active) and "Home", three buttons each; Work2 has Ctrl+Alt+W and
  // Home3 Ctrl+Alt+H.
  void SetUp() override {
    store = MakeStore({"Work", "Home"}, 3);
    for (int g = 1; g <= 2; ++g)
      for (int i = 1; i <= 3; ++i) store->ButtonAt(g, i).Shortcut = 0;
    store->ButtonAt(1, 2).Shortcut = Key('W');
    store->ButtonAt(2, 3).Shortcut = Key('H');
    for (const char* n : {"Work", "Home"}) view.AddGroupName(n);
    view.SelectGroupItem(1);  // "Work" sorts after "Home"
    view.ShowActive(*store);
    ASSERT_EQ(keys.Start(*store), "");
  }
  // What the bar does after each command.
  Keys After() {
    keys.Update(*store);
    return system.Ours;
  }
  std::string TextOf(int shortcut) {
    const ButtonRef b = ShortcutOwner(*store, shortcut);
    return b ? store->ButtonAt(b.Group, b.Button).String : "";
  }

  std::unique_ptr<Store> store;
  FakeBarView view;
  FakeDialogs dialogs;
  FakeEditor editor;
  FakeHotKeys system;
  FakeShortcutLayout layout;
  ShortcutKeys keys{system, layout};
  bool unlocked = true;
  ButtonRef editing;  // as the bar keeps it for the editor's check of a key
};

TEST_F(ShortcutsFollow, NewEditAndDeleteOfAButton) {
  editor.Result = EditorFields{"Sig", "", "Regards", 0, Key('S')};
  NewButtonCommand(*store, view, dialogs, editor, editing);
  EXPECT_EQ(After(), (Keys{Key('H'), Key('S'), Key('W')}));
  EXPECT_EQ(TextOf(Key('S')), "Regards");

  editor.Result = EditorFields{"Work2", "", "changed", 0, Key('X')};
  EditButtonCommand(*store, view, editor, 2, editing);
  EXPECT_EQ(After(), (Keys{Key('H'), Key('S'), Key('X')}));
  EXPECT_EQ(TextOf(Key('X')), "changed");

  dialogs.ConfirmAnswers = {true};
  DeleteButtonCommand(*store, view, dialogs, 2);
  EXPECT_EQ(After(), (Keys{Key('H'), Key('S')}));
  EXPECT_EQ(TextOf(Key('S')), "Regards");  // now button 3 of Work
  EXPECT_EQ(ShortcutOwner(*store, Key('S')), (ButtonRef{1, 3}));
}

// The editor's check of a key skips only the button it is open on, whichever menu opened
// it: after an edit of Work2, "New Button" in an empty group (from the group menu, the only
// one there) refuses Work2's key.
TEST_F(ShortcutsFollow, TheEditorsKeyCheckSkipsOnlyTheButtonItIsOpenOn) {
  std::vector<std::optional<std::string>> refusals;
  editor.WhileShown = [&] { refusals.push_back(keys.RefuseDone(*store, editing, Key('W'))); };
  EditButtonCommand(*store, view, editor, 2, editing);
  store->Groups.push_back(Group{"Empty", 1, "", {}});
  store->ActiveGroup = store->GroupCount();
  NewButtonCommand(*store, view, dialogs, editor, editing);
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_EQ(refusals[0], std::nullopt);
  EXPECT_EQ(refusals[1], ShortcutTakenMessage(*store, Key('W'), ButtonRef{1, 2}));
}

TEST_F(ShortcutsFollow, CopyMoveAndReorder) {
  CopyButtonToGroup(*store, dialogs, 2, 1);
  EXPECT_EQ(After(), (Keys{Key('H'), Key('W')}));
  EXPECT_EQ(ShortcutOwner(*store, Key('W')), (ButtonRef{1, 2}));

  ButtonDragDrop(*store, view, 2, 1);
  EXPECT_EQ(ShortcutOwner(*store, Key('W')), (ButtonRef{1, 1}));

  MoveButtonToGroup(*store, view, dialogs, 1, 1);
  EXPECT_EQ(After(), (Keys{Key('H'), Key('W')}));
  EXPECT_EQ(ShortcutOwner(*store, Key('W')), (ButtonRef{2, 5}));
  EXPECT_EQ(TextOf(Key('W')), "text Work2");
  // Nothing was given back and taken again on the way: the start took both.
  EXPECT_EQ(system.Calls, (std::vector<std::string>{"+Ctrl+Alt+H", "+Ctrl+Alt+W"}));
}

TEST_F(ShortcutsFollow, DeletingAGroupGivesBackItsKeys) {
  dialogs.ConfirmAnswers = {true};
  DeleteGroupCommand(*store, view, dialogs, unlocked);  // the selected "Work"
  EXPECT_EQ(After(), (Keys{Key('H')}));
  EXPECT_EQ(ShortcutOwner(*store, Key('H')), (ButtonRef{1, 3}));
  EXPECT_EQ(TextOf(Key('H')), "text Home3");
}

}  // namespace
}  // namespace ks
