#pragma once
// Reordering the active group by dragging a button onto another with the right mouse
// button, and telling a drag from a right click when it ends.
#include <string_view>

#include "bar/ports.h"
#include "store/store.h"

namespace ks {

// A right press becomes a drag once the mouse has moved this far in either direction.
inline constexpr int kDragThreshold = 10;

bool DragStarted(int dx, int dy);

// Button s of `group` takes the place of button t; the buttons in between move one
// place towards s's old place, each with all five of its fields. Numbers that name no
// button of the group leave it as it is.
void MoveButtonWithinGroup(Store& store, int group, int s, int t);

// The drop of control s on control t: reorders the active group and refreshes the
// faces of its controls. Positions, visibility and widths stay.
void ButtonDragDrop(Store& store, BarView& view, int s, int t);

// Whether the button menu opens when a drag ends: the caption now on the dragged
// control equals the target's, or the target's is empty. With no button under the
// mouse pass an empty target caption.
bool OpensSetupMenu(std::string_view draggedCaption, std::string_view targetCaption);

}  // namespace ks
