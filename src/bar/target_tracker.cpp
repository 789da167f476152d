#include "bar/target_tracker.h"

#include "bar/target_rule.h"

namespace ks {

bool TargetTracker::MayBeTarget(WindowId w) const {
  // No window: keep the last one, or a press during a switch would type nowhere.
  if (w == 0) return false;
  // Events arrive after the fact: a window that closed meanwhile would leave a target
  // that a press can only skip, while the one before it may still be there.
  if (!facts_.Exists(w)) return false;
  // Typing into our own windows, the desktop or the taskbar helps nobody.
  return !facts_.IsOwn(w) && !facts_.IsDesktop(w) && !IsNeverTargetClass(facts_.ClassName(w));
}

}  // namespace ks
