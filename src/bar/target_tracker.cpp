#include "bar/target_tracker.h"

namespace ks {

bool TargetTracker::MayBeTarget(WindowId w) const {
  // No window: keep the last one, or a press during a switch would type nowhere.
  if (w == 0) return false;
  // Events arrive after the fact: a window that closed meanwhile would leave a target
  // that a press can only skip, while the one before it may still be there.
  if (!facts_.Exists(w)) return false;
  // Typing into our own windows or the desktop helps nobody.
  return !facts_.IsOwn(w) && !facts_.IsDesktop(w);
}

}  // namespace ks
