#include "bar/layout.h"

#include <algorithm>

#include "store/store.h"

namespace ks {

int RowCount(int numButtons, int columns) {
  const int cells = std::clamp(numButtons, 0, kMaxButtons) + 1;
  const int c = std::max(columns, 1);
  return cells / c + (cells % c > 0 ? 1 : 0);
}

BarLayout ComputeLayout(int numButtons, int columns, int buttonWidth) {
  const int n = std::clamp(numButtons, 0, kMaxButtons);
  BarLayout l;
  l.Rows = RowCount(n, columns);
  l.Buttons.resize(n + 1);
  for (int j = 0; j <= n; ++j)
    l.Buttons[j] = CellPos{(j / l.Rows) * buttonWidth, (j % l.Rows) * kCellHeight};
  l.ClientWidth = l.Buttons[n].Left + buttonWidth;
  l.ClientHeight = l.Rows * kCellHeight;
  return l;
}

int ColumnsForWidth(int clientWidth, int buttonWidth) {
  if (buttonWidth <= 0 || clientWidth <= 0) return 1;
  return std::max(clientWidth / buttonWidth, 1);
}

ResizeAction FormResizeRule(bool rolledUp, bool inDisplay, int clientWidth, int buttonWidth,
                            int32_t& columns) {
  if (rolledUp) return ResizeAction::KeepRolledUp;
  if (inDisplay) return ResizeAction::Ignore;
  columns = ColumnsForWidth(clientWidth, buttonWidth);
  return ResizeAction::Relayout;
}

}  // namespace ks
