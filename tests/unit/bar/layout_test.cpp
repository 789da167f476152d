#include <gtest/gtest.h>

#include "bar/layout.h"

namespace ks {
namespace {

constexpr int W = 100;

std::vector<CellPos> Cells(std::initializer_list<std::pair<int, int>> colRow) {
  std::vector<CellPos> out;
  for (auto [c, r] : colRow) out.push_back(CellPos{c * W, r * kCellHeight});
  return out;
}

TEST(BarLayout, OneButtonOneColumnStacksTheGroupListAboveIt) {
  BarLayout l = ComputeLayout(1, 1, W);
  EXPECT_EQ(l.Rows, 2);
  EXPECT_EQ(l.Buttons, Cells({{0, 0}, {0, 1}}));
  EXPECT_EQ(l.ClientWidth, W);
  EXPECT_EQ(l.ClientHeight, 48);
}

TEST(BarLayout, FiveButtonsTwoColumnsFillColumnByColumn) {
  BarLayout l = ComputeLayout(5, 2, W);
  EXPECT_EQ(l.Rows, 3);
  EXPECT_EQ(l.Buttons, Cells({{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));
  EXPECT_EQ(l.ClientWidth, 2 * W);
  EXPECT_EQ(l.ClientHeight, 72);
}

TEST(BarLayout, FiveButtonsThreeColumnsMakeTwoRows) {
  BarLayout l = ComputeLayout(5, 3, W);
  EXPECT_EQ(l.Rows, 2);
  EXPECT_EQ(l.Buttons, Cells({{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}));
  EXPECT_EQ(l.ClientWidth, 3 * W);
  EXPECT_EQ(l.ClientHeight, 48);
}

TEST(BarLayout, SpareColumnsAreCutOff) {
  BarLayout l = ComputeLayout(3, 5, W);
  EXPECT_EQ(l.Rows, 1);
  EXPECT_EQ(l.Buttons, Cells({{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
  EXPECT_EQ(l.ClientWidth, 4 * W);
  EXPECT_EQ(l.ClientHeight, 24);
  // Six columns asked for three buttons: still four cells wide.
  EXPECT_EQ(ComputeLayout(3, 6, W).ClientWidth, 4 * W);
}

TEST(BarLayout, WidthFollowsTheLastButtonsColumnNotTheColumnCount) {
  // 4 buttons in 3 columns: R = 2, cells (0,1) (2,3) (4): the last button is in column 2.
  EXPECT_EQ(ComputeLayout(4, 3, W).ClientWidth, 3 * W);
  // 3 buttons in 3 columns: R = 2, cells (0,1) (2,3): column 2 stays empty and is cut.
  EXPECT_EQ(ComputeLayout(3, 3, W).ClientWidth, 2 * W);
}

TEST(BarLayout, NewWidthKeepsTheColumns) {
  BarLayout l = ComputeLayout(5, 2, 150);
  EXPECT_EQ(l.ClientWidth, 300);
  EXPECT_EQ(l.ClientHeight, 72);
}

TEST(BarLayout, EmptyGroupShowsCellZeroAlone) {
  for (int c : {1, 3}) {
    BarLayout l = ComputeLayout(0, c, W);
    EXPECT_EQ(l.Rows, 1);
    EXPECT_EQ(l.Buttons, Cells({{0, 0}}));
    EXPECT_EQ(l.ClientWidth, W);
    EXPECT_EQ(l.ClientHeight, 24);
  }
}

TEST(BarLayout, DamagedCountsDoNotBreakTheGrid) {
  // Columns below 1 count as 1; more than 50 buttons count as 50.
  EXPECT_EQ(RowCount(5, 0), 6);
  EXPECT_EQ(RowCount(5, -3), 6);
  BarLayout l = ComputeLayout(70, 1, W);
  EXPECT_EQ(l.Rows, 51);
  EXPECT_EQ(l.Buttons.size(), 51u);
  EXPECT_EQ(ComputeLayout(-2, 1, W).ClientHeight, 24);
}

TEST(BarResize, ColumnsFromTheDraggedWidth) {
  int32_t columns = 1;
  EXPECT_EQ(FormResizeRule(false, false, 3 * W, W, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 3);
  // Partial cells are dropped.
  EXPECT_EQ(FormResizeRule(false, false, 3 * W + W - 1, W, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 3);
  // Narrower than one cell: one column, R = N + 1.
  EXPECT_EQ(FormResizeRule(false, false, W / 2, W, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 1);
  EXPECT_EQ(ComputeLayout(5, columns, W).Rows, 6);
  EXPECT_EQ(FormResizeRule(false, false, 0, W, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 1);
}

TEST(BarResize, LargerThanNeededKeepsTheCountUntilTheNextResize) {
  int32_t columns = 1;
  FormResizeRule(false, false, 6 * W, W, columns);
  EXPECT_EQ(columns, 6);
  BarLayout l = ComputeLayout(3, columns, W);
  EXPECT_EQ(l.Rows, 1);
  EXPECT_EQ(l.ClientWidth, 4 * W);
  // The bar's own resize to four cells then sets the count shown.
  FormResizeRule(false, false, l.ClientWidth, W, columns);
  EXPECT_EQ(columns, 4);
}

TEST(BarResize, RolledUpAndDisplayResizesLeaveTheColumns) {
  int32_t columns = 4;
  EXPECT_EQ(FormResizeRule(true, false, W, W, columns), ResizeAction::KeepRolledUp);
  EXPECT_EQ(FormResizeRule(true, true, 7 * W, W, columns), ResizeAction::KeepRolledUp);
  EXPECT_EQ(FormResizeRule(false, true, W, W, columns), ResizeAction::Ignore);
  EXPECT_EQ(columns, 4);
}

}  // namespace
}  // namespace ks
