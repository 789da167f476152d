#include <gtest/gtest.h>

#include "bar/drag.h"
#include "bar/fakes.h"

namespace ks {
namespace {

using test::Captions;
using test::FakeBarView;
using test::MakeStore;

using Order = std::vector<std::string>;

class BarDrag : public ::testing::Test {
 protected:
  void SetUp() override {
    store = MakeStore({"G", "H"}, 5);
    // Captions A..E, each button otherwise keeps its own G<i> fields.
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (int i = 1; i <= 5; ++i) store->ButtonAt(1, i).Caption = names[i - 1];
    view.ShowActive(*store);
  }
  // Drags button `from` onto button `to`: the first group's captions in their new order.
  Order Drag(int from, int to) {
    ButtonDragDrop(*store, view, from, to);
    return Captions(*store, 1);
  }
  std::unique_ptr<Store> store;
  FakeBarView view;
};

TEST_F(BarDrag, DraggedButtonTakesTheTargetsPlace) {
  EXPECT_EQ(Drag(2, 4), (Order{"A", "C", "D", "B", "E"}));
  EXPECT_EQ(Drag(4, 2), (Order{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(Drag(4, 2), (Order{"A", "D", "B", "C", "E"}));
}

TEST_F(BarDrag, FirstOntoLastAndLastOntoFirst) {
  EXPECT_EQ(Drag(1, 5), (Order{"B", "C", "D", "E", "A"}));
  EXPECT_EQ(Drag(5, 1), (Order{"A", "B", "C", "D", "E"}));
  EXPECT_EQ(Drag(5, 1), (Order{"E", "A", "B", "C", "D"}));
}

TEST_F(BarDrag, EveryFieldTravelsWithItsButton) {
  const Button b = store->ButtonAt(1, 2);
  ButtonDragDrop(*store, view, 2, 5);
  EXPECT_EQ(store->ButtonAt(1, 5), b);
  EXPECT_EQ(store->ButtonAt(1, 2).String, "text G3");
  EXPECT_EQ(store->ButtonAt(1, 2).Shortcut, 3);
  // The faces follow, and nothing else of the bar changes.
  EXPECT_EQ(view.VisibleCaptions(), (Order{"A", "C", "D", "E", "B"}));
  EXPECT_EQ(view.Controls[5].Hint, "hint G2");
  EXPECT_EQ(view.Controls[5].Color, 2);
  EXPECT_EQ(view.Displays, 0);
  EXPECT_EQ(store->GroupAt(1).ButtonCount(), 5);
  // The other group is untouched.
  EXPECT_EQ(Captions(*store, 2), (Order{"H1", "H2", "H3", "H4", "H5"}));
}

TEST_F(BarDrag, DropOntoItselfOrOutOfRangeChangesNothing) {
  const Store before = *store;
  ButtonDragDrop(*store, view, 3, 3);
  ButtonDragDrop(*store, view, 3, 6);
  ButtonDragDrop(*store, view, 0, 2);
  EXPECT_EQ(store->Groups, before.Groups);
}

TEST(BarDragEnd, MenuOpensOnEqualOrEmptyTargetCaption) {
  EXPECT_TRUE(OpensSetupMenu("B", ""));    // no button under the mouse
  EXPECT_TRUE(OpensSetupMenu("B", "B"));   // onto itself, or a twin caption
  EXPECT_FALSE(OpensSetupMenu("B", "D"));  // a real reorder
  EXPECT_FALSE(OpensSetupMenu("b", "B"));  // case counts
  EXPECT_TRUE(OpensSetupMenu("", ""));
}

TEST(BarDragEnd, TenPixelsInEitherDirectionStartTheDrag) {
  EXPECT_FALSE(DragStarted(9, 9));
  EXPECT_FALSE(DragStarted(-9, 0));
  EXPECT_TRUE(DragStarted(10, 0));
  EXPECT_TRUE(DragStarted(0, -10));
}

}  // namespace
}  // namespace ks
