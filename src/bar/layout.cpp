#include "bar/layout.h"

#include <algorithm>

#include "store/store.h"

namespace ks {

CellSize CellAt(int buttonWidth, int dpi) {
  return CellSize{ScaleToDpi(buttonWidth, dpi), ScaleToDpi(kCellHeight, dpi)};
}

int RowCount(int numButtons, int columns) {
  const int cells = std::clamp(numButtons, 0, kMaxButtons) + 1;
  const int c = std::max(columns, 1);
  return cells / c + (cells % c > 0 ? 1 : 0);
}

BarLayout ComputeLayout(int numButtons, int columns, int buttonWidth, int dpi) {
  const int n = std::clamp(numButtons, 0, kMaxButtons);
  BarLayout l;
  l.Rows = RowCount(n, columns);
  l.Cell = CellAt(buttonWidth, dpi);
  l.Buttons.resize(n + 1);
  for (int j = 0; j <= n; ++j)
    l.Buttons[j] = CellPos{(j / l.Rows) * l.Cell.Width, (j % l.Rows) * l.Cell.Height};
  l.UndoSize = ScaleToDpi(kUndoSize, dpi);
  l.GroupListWidth = l.Cell.Width - l.UndoSize;
  l.Undo = CellPos{l.GroupListWidth, 0};
  l.ClientWidth = l.Buttons[n].Left + l.Cell.Width;
  l.ClientHeight = l.Rows * l.Cell.Height;
  return l;
}

int ColumnsForWidth(int clientWidth, int buttonWidth, int dpi) {
  const int cell = ScaleToDpi(buttonWidth, dpi);
  if (cell <= 0 || clientWidth <= 0) return 1;
  return std::max(clientWidth / cell, 1);
}

ResizeAction GridResizeRule(bool rolledUp, bool inDisplay, int clientWidth, int buttonWidth,
                            int dpi, int32_t& columns) {
  if (rolledUp) return ResizeAction::KeepRolledUp;
  if (inDisplay) return ResizeAction::Ignore;
  columns = ColumnsForWidth(clientWidth, buttonWidth, dpi);
  return ResizeAction::Relayout;
}

}  // namespace ks
