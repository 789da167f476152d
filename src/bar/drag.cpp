#include "bar/drag.h"

#include <cstdlib>

namespace ks {

bool DragStarted(int dx, int dy) {
  return std::abs(dx) >= kDragThreshold || std::abs(dy) >= kDragThreshold;
}

void MoveButtonWithinGroup(Store& store, int group, int s, int t) {
  if (group < 1 || group > kMaxGroups) return;
  const int n = store.Groups[group].NumCommands;
  if (s < 1 || t < 1 || s > n || t > n || s > kMaxButtons || t > kMaxButtons || s == t) return;
  const Button kept = store.GetButton(group, s);
  if (s < t) {
    for (int i = s; i < t; ++i) store.SetButton(group, i, store.GetButton(group, i + 1));
  } else {
    for (int i = s - 1; i >= t; --i) store.SetButton(group, i + 1, store.GetButton(group, i));
  }
  store.SetButton(group, t, kept);
}

void ButtonDragDrop(Store& store, BarView& view, int s, int t) {
  const int a = store.ActiveGroup;
  MoveButtonWithinGroup(store, a, s, t);
  const DataRec& d = store.Data[a];
  const int n = store.ButtonsIn(a);
  for (int i = 1; i <= n; ++i) view.SetFace(i, d.Caption[i], d.Description[i], d.Color[i]);
}

bool OpensSetupMenu(std::string_view draggedCaption, std::string_view targetCaption) {
  return targetCaption.empty() || draggedCaption == targetCaption;
}

}  // namespace ks
