#pragma once
// The one way to type. A press on the bar, a shortcut key, the find window's choice and an
// abbreviation all ask the typing service, which owns the engine, the window a press types
// into (the last one the user worked in, kept by the tracker), the runs under way and what
// Undo takes back. The windows are told when typing begins and ends; the engine calls none
// of them.
#include <functional>
#include <string>

#include "typing/ports.h"
#include "typing/target_tracker.h"
#include "typing/typist.h"

namespace ks {

class TypingService {
 public:
  TypingService(const TypingPorts& ports, const WindowFacts& facts)
      : tracker_(facts, target_), typist_(ports) {}
  TypingService(const TypingService&) = delete;
  TypingService& operator=(const TypingService&) = delete;

  // The window typing goes to: the last one the user worked in; 0 before any.
  WindowId TargetWindow() const { return target_; }
  // Follows the foreground to keep the target; holds it while a question of ours is open.
  TargetTracker& Tracker() { return tracker_; }

  // Types `text` into the target, after `erase` Backspaces (an abbreviation's), as a run of
  // its own or nested in the one under way. False when nothing was typed.
  bool Type(const std::string& text, Erase erase = {});
  // Takes the last run back, in the window it went to and nowhere else.
  void Undo() { typist_.UndoTyping(); }
  // The user pressed a key while a run types: it ends after the character under way.
  void UserKey() {
    if (runs_ > 0) typist_.Stop();
  }
  // Whether a run is under way.
  bool Running() const { return runs_ > 0; }
  // A window of ours took the release of Ctrl and Alt, which the target's thread then never
  // saw: the releases go out with the next run's first keys, Ctrl's first, so that no lone
  // Alt release opens the target's menu.
  void ReleaseCtrlAlt();

  // Told when the first run begins (true) and the last one ends (false).
  std::function<void(bool typing)> onTyping;

 private:
  WindowId target_ = 0;
  TargetTracker tracker_;
  Typist typist_;
  int runs_ = 0;  // a press during a run nests in it
};

}  // namespace ks
