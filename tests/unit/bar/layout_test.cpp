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

// The grid of a layout: its rows, its cells (the group list's first), its client size.
::testing::AssertionResult GridIs(const BarLayout& l, int rows, const std::vector<CellPos>& cells,
                                  int width, int height) {
  if (l.Rows == rows && l.Buttons == cells && l.ClientWidth == width && l.ClientHeight == height)
    return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << l.Rows << " rows, client " << l.ClientWidth << " x " << l.ClientHeight << ", cells";
  for (const CellPos& c : l.Buttons) failure << " (" << c.Left << ", " << c.Top << ")";
  return failure;
}

TEST(BarLayout, OneButtonOneColumnStacksTheGroupListAboveIt) {
  EXPECT_TRUE(GridIs(ComputeLayout(1, 1, W, kBaseDpi), 2, Cells({{0, 0}, {0, 1}}), W, 48));
}

TEST(BarLayout, FiveButtonsTwoColumnsFillColumnByColumn) {
  EXPECT_TRUE(GridIs(ComputeLayout(5, 2, W, kBaseDpi), 3,
                     Cells({{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}), 2 * W, 72));
}

TEST(BarLayout, FiveButtonsThreeColumnsMakeTwoRows) {
  EXPECT_TRUE(GridIs(ComputeLayout(5, 3, W, kBaseDpi), 2,
                     Cells({{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}}), 3 * W, 48));
}

TEST(BarLayout, SpareColumnsAreCutOff) {
  EXPECT_TRUE(GridIs(ComputeLayout(3, 5, W, kBaseDpi), 1,
                     Cells({{0, 0}, {1, 0}, {2, 0}, {3, 0}}), 4 * W, 24));
  // Six columns asked for three buttons: still four cells wide.
  EXPECT_EQ(ComputeLayout(3, 6, W, kBaseDpi).ClientWidth, 4 * W);
}

TEST(BarLayout, WidthFollowsTheLastButtonsColumnNotTheColumnCount) {
  // 4 buttons in 3 columns: R = 2, cells (0,1) (2,3) (4): the last button is in column 2.
  EXPECT_EQ(ComputeLayout(4, 3, W, kBaseDpi).ClientWidth, 3 * W);
  // 3 buttons in 3 columns: R = 2, cells (0,1) (2,3): column 2 stays empty and is cut.
  EXPECT_EQ(ComputeLayout(3, 3, W, kBaseDpi).ClientWidth, 2 * W);
}

TEST(BarLayout, NewWidthKeepsTheColumns) {
  BarLayout l = ComputeLayout(5, 2, 150, kBaseDpi);
  EXPECT_EQ(l.ClientWidth, 300);
  EXPECT_EQ(l.ClientHeight, 72);
}

TEST(BarLayout, EmptyGroupShowsCellZeroAlone) {
  for (int c : {1, 3}) {
    BarLayout l = ComputeLayout(0, c, W, kBaseDpi);
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
  BarLayout l = ComputeLayout(70, 1, W, kBaseDpi);
  EXPECT_EQ(l.Rows, 51);
  EXPECT_EQ(l.Buttons.size(), 51u);
  EXPECT_EQ(ComputeLayout(-2, 1, W, kBaseDpi).ClientHeight, 24);
}

TEST(BarResize, ColumnsFromTheDraggedWidth) {
  int32_t columns = 1;
  EXPECT_EQ(GridResizeRule(false, false, 3 * W, W, kBaseDpi, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 3);
  // Partial cells are dropped.
  EXPECT_EQ(GridResizeRule(false, false, 3 * W + W - 1, W, kBaseDpi, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 3);
  // Narrower than one cell: one column, R = N + 1.
  EXPECT_EQ(GridResizeRule(false, false, W / 2, W, kBaseDpi, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 1);
  EXPECT_EQ(ComputeLayout(5, columns, W, kBaseDpi).Rows, 6);
  EXPECT_EQ(GridResizeRule(false, false, 0, W, kBaseDpi, columns), ResizeAction::Relayout);
  EXPECT_EQ(columns, 1);
}

TEST(BarResize, LargerThanNeededKeepsTheCountUntilTheNextResize) {
  int32_t columns = 1;
  GridResizeRule(false, false, 6 * W, W, kBaseDpi, columns);
  EXPECT_EQ(columns, 6);
  BarLayout l = ComputeLayout(3, columns, W, kBaseDpi);
  EXPECT_EQ(l.Rows, 1);
  EXPECT_EQ(l.ClientWidth, 4 * W);
  // The bar's own resize to four cells then sets the count shown.
  GridResizeRule(false, false, l.ClientWidth, W, kBaseDpi, columns);
  EXPECT_EQ(columns, 4);
}

TEST(BarResize, RolledUpAndDisplayResizesLeaveTheColumns) {
  int32_t columns = 4;
  EXPECT_EQ(GridResizeRule(true, false, W, W, kBaseDpi, columns), ResizeAction::KeepRolledUp);
  EXPECT_EQ(GridResizeRule(true, true, 7 * W, W, kBaseDpi, columns), ResizeAction::KeepRolledUp);
  EXPECT_EQ(GridResizeRule(false, true, W, W, kBaseDpi, columns), ResizeAction::Ignore);
  EXPECT_EQ(columns, 4);
}

// The same grid on every display: cells, Undo and client area scale with the DPI, the
// columns and rows do not.
TEST(BarLayoutDpi, CellsAndClientAreaScaleWithTheDpi) {
  struct Case {
    int dpi, cellW, cellH;
  };
  for (auto [dpi, cellW, cellH] :
       {Case{96, 100, 24}, Case{120, 125, 30}, Case{144, 150, 36}, Case{192, 200, 48}}) {
    BarLayout l = ComputeLayout(5, 2, 100, dpi);
    EXPECT_EQ(l.Cell, (CellSize{cellW, cellH})) << dpi;
    EXPECT_EQ(l.Rows, 3) << dpi;
    EXPECT_EQ(l.Buttons[4], (CellPos{cellW, cellH})) << dpi;
    EXPECT_EQ(l.ClientWidth, 2 * cellW) << dpi;
    EXPECT_EQ(l.ClientHeight, 3 * cellH) << dpi;
    // Undo is a square of the cell's height at the right end of cell 0.
    EXPECT_EQ(l.UndoSize, cellH) << dpi;
    EXPECT_EQ(l.Undo, (CellPos{cellW - cellH, 0})) << dpi;
    EXPECT_EQ(l.GroupListWidth + l.UndoSize, cellW) << dpi;
  }
  // The default bar, one button under cell 0, at 150 %.
  BarLayout d = ComputeLayout(1, 1, 100, 144);
  EXPECT_EQ(d.ClientWidth, 150);
  EXPECT_EQ(d.ClientHeight, 72);
}

TEST(BarLayoutDpi, OddWidthsRoundAndCellsStillAbut) {
  // 89 at 120 DPI is 111.25 pixels, at 144 DPI 133.5: both round to whole cells that
  // follow each other without gaps.
  BarLayout l = ComputeLayout(3, 4, 89, 120);
  EXPECT_EQ(l.Cell.Width, 111);
  EXPECT_EQ(l.Buttons[3].Left, 3 * 111);
  EXPECT_EQ(l.ClientWidth, 4 * 111);
  EXPECT_EQ(ComputeLayout(1, 2, 89, 144).Cell.Width, 134);
}

TEST(BarResizeDpi, ColumnsCountScaledCells) {
  int32_t columns = 1;
  // 450 pixels at 144 DPI are three cells of 150; at 96 DPI four and a half of 100.
  GridResizeRule(false, false, 450, 100, 144, columns);
  EXPECT_EQ(columns, 3);
  GridResizeRule(false, false, 449, 100, 144, columns);
  EXPECT_EQ(columns, 2);
  GridResizeRule(false, false, 450, 100, 96, columns);
  EXPECT_EQ(columns, 4);
  GridResizeRule(false, false, 400, 100, 192, columns);
  EXPECT_EQ(columns, 2);
  EXPECT_EQ(ColumnsForWidth(124, 100, 120), 1);
  EXPECT_EQ(ColumnsForWidth(250, 100, 120), 2);
}

}  // namespace
}  // namespace ks
