#include "bar/drag.h"

#include <algorithm>
#include <cstdlib>

namespace ks {

bool DragStarted(int dx, int dy) {
  return std::abs(dx) >= kDragThreshold || std::abs(dy) >= kDragThreshold;
}

void MoveButtonWithinGroup(Store& store, int group, int s, int t) {
  if (!store.HasGroup(group)) return;
  Group& g = store.GroupAt(group);
  if (!g.HasButton(s) || !g.HasButton(t) || s == t) return;
  auto at = [&](int i) { return g.Buttons.begin() + (i - 1); };
  if (s < t)
    std::rotate(at(s), at(s + 1), at(t + 1));
  else
    std::rotate(at(t), at(s), at(s + 1));
}

void ButtonDragDrop(Store& store, BarView& view, int s, int t) {
  MoveButtonWithinGroup(store, store.ActiveGroup, s, t);
  const Group& g = store.Active();
  for (int i = 1; i <= g.ButtonCount(); ++i) {
    const Button& b = g.ButtonAt(i);
    view.SetFace(i, b.Caption, b.Description, b.Color);
  }
}

bool OpensSetupMenu(std::string_view draggedCaption, std::string_view targetCaption) {
  return targetCaption.empty() || draggedCaption == targetCaption;
}

}  // namespace ks
