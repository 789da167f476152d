#include "typing/target_tracker.h"

#include "typing/target_rule.h"

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

namespace {

// The window named as the user knows it: its title in quotes, or a plain description.
std::string Named(const WindowFacts& facts, WindowId w) {
  const std::string title = facts.Exists(w) ? facts.Title(w) : std::string();
  return title.empty() ? std::string("The window to type into") : "\"" + title + "\"";
}

}  // namespace

std::optional<std::string> WhyKeysCannotReach(const WindowFacts& facts, WindowId target) {
  if (target == 0 || !facts.Exists(target))
    return std::string("The window to type into has been closed; nothing was typed.");
  if (facts.IsHung(target)) return Named(facts, target) + " is not responding; nothing was typed.";
  const std::optional<std::uint32_t> theirs = facts.IntegrityLevel(target);
  const std::optional<std::uint32_t> ours = facts.OwnIntegrityLevel();
  // Unknown levels let the keys go: a port that cannot tell must not stop all typing.
  if (theirs && ours && *theirs > *ours)
    return Named(facts, target) +
           " runs with administrator rights; start Keystrum the same way to type into it.";
  return std::nullopt;
}

std::string ForegroundRefusedMessage(const WindowFacts& facts, WindowId target) {
  return Named(facts, target) + " could not be brought to the front; nothing was typed.";
}

}  // namespace ks
