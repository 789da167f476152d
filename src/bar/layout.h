#pragma once
// The bar's grid: cells ButtonWidth wide and 24 high, numbered column by column from 0.
// Cell 0 holds the group list and the Undo button, cell j (1..N) button j. ButtonWidth and
// the 24 are sizes at 96 DPI; the grid is laid out in pixels at the bar's DPI.
#include <cstdint>
#include <vector>

#include "common/dpi.h"

namespace ks {

inline constexpr int kCellHeight = 24;
// The Undo button is a square at the right end of cell 0; the group list takes the rest.
inline constexpr int kUndoSize = 24;

struct CellPos {
  int Left = 0;
  int Top = 0;
  bool operator==(const CellPos&) const = default;
};

// One cell in pixels at a DPI.
struct CellSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const CellSize&) const = default;
};
CellSize CellAt(int buttonWidth, int dpi);

struct BarLayout {
  int Rows = 1;
  CellSize Cell;
  // Buttons[j] is the place of button j for j in 1..N; Buttons[0] is cell 0.
  std::vector<CellPos> Buttons;
  // Cell 0 split: the group list from the left edge, the Undo square at the right end.
  int GroupListWidth = 0;
  CellPos Undo;
  int UndoSize = 0;
  // The client area: up to the right edge of the column holding the last button
  // (cell 0 alone for an empty group), R cells high.
  int ClientWidth = 0;
  int ClientHeight = 0;
};

// R = ceil((N + 1) / C). A column count below 1 counts as 1 so a damaged settings
// file cannot make the bar divide by zero.
int RowCount(int numButtons, int columns);

// The grid of `numButtons` buttons (clamped to 0..50) in `columns` columns, in pixels at
// `dpi`, for a ButtonWidth kept at 96 DPI.
BarLayout ComputeLayout(int numButtons, int columns, int buttonWidth, int dpi);

// The number of columns a client area of this width (pixels at `dpi`) holds: whole
// cells, at least 1.
int ColumnsForWidth(int clientWidth, int buttonWidth, int dpi);

// What a change of the bar's size calls for.
enum class ResizeAction {
  KeepRolledUp,  // rolled up: client width one cell, window height 0 (only the caption)
  Ignore,        // the size change comes from the layout itself
  Relayout,      // `columns` now holds the user's choice: lay the grid out again
};

// The bar's resize rule. Writes the active group's new column count into `columns`
// only for Relayout.
ResizeAction GridResizeRule(bool rolledUp, bool inDisplay, int clientWidth, int buttonWidth,
                            int dpi, int32_t& columns);

}  // namespace ks
