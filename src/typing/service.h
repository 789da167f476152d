#pragma once
// The one way to type. A press on the bar, a shortcut key, the find window's choice and an
// abbreviation all ask the typing service, which owns the engine, the window a press types
// into (the last one the user worked in, kept by the tracker), the runs under way and what
// Undo takes back. The windows are told when typing begins and ends; the engine calls none
// of them.
#include <functional>
#include <string>

#include "store/store.h"
#include "typing/dialogs.h"
#include "typing/ports.h"
#include "typing/target_tracker.h"
#include "typing/typist.h"

namespace ks {

class TypingService {
 public:
  // `boxes` ask a locked group's password.
  TypingService(const TypingPorts& ports, const WindowFacts& facts, Dialogs& boxes)
      : tracker_(facts, target_), typist_(ports), boxes_(boxes) {}
  TypingService(const TypingService&) = delete;
  TypingService& operator=(const TypingService&) = delete;

  // The window typing goes to: the last one the user worked in; 0 before any.
  WindowId TargetWindow() const { return target_; }
  // Follows the foreground to keep the target; holds it while a question of ours is open.
  TargetTracker& Tracker() { return tracker_; }

  // Where a request to type a button comes from: a press on the bar asks the password of
  // the group the user sees; elsewhere the bar may be hidden, and the question names it.
  enum class From { Bar, Elsewhere };
  // Types button `b` of `store` as Type does, once its group's password is given when it
  // asks for one. False when nothing was typed.
  bool TypeButton(const Store& store, ButtonRef b, From from, Erase erase = {});
  // Whether button `b` may type now: its group's password is asked if it asks for one,
  // with the target held meanwhile.
  bool MayType(const Store& store, ButtonRef b, From from);
  // Whether the active group's password was given since it became active; true for a group
  // without one. The group commands lock and unlock it.
  bool& ActiveUnlocked() { return unlocked_; }
  // Whether a run or a question of ours is under way: requests then wait or are dropped.
  bool Busy() const { return runs_ > 0 || questions_ > 0; }
  // A box of ours, open while requests wait: a password, or news for the user.
  void Tell(const std::string& text);

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
  Dialogs& boxes_;
  bool unlocked_ = true;
  int questions_ = 0;  // boxes of ours open
};

}  // namespace ks
