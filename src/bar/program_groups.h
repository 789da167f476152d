#pragma once
// The bar follows the program the user types into: a group names the programs it serves
// (Group::Programs), and when the target window becomes one of such a program's, the bar
// shows the first group that serves it, as if the user chose it in the group list. The
// Windows side tells the rule the target's program each time the target changes; the rule
// answers which group to show, and the bar shows it.
#include <string>
#include <string_view>

#include "store/store.h"
#include "typing/dialogs.h"

namespace ks {

class ProgramGroups {
 public:
  // The target became a window of `program`, its process image's file name (empty when
  // it cannot be read). Our own windows and the desktop never become targets, so they
  // never come here. The group to show now, or 0 to leave the bar as it is: a program no
  // group serves leaves the bar where it is, another window of the same program keeps
  // the group shown (the user's choice by hand in that program), and a switch while a run
  // types waits for TypingEnded, so that the run is not disturbed.
  int TargetChanged(const Store& store, std::string_view program, bool typing);
  // The last run ended: the group a switch during it waits to show, or 0.
  int TypingEnded(const Store& store);
  // The tray's "Follow Programs". Turned on, the program typed into counts again: the
  // group to show for it, or 0.
  int SetFollowing(const Store& store, bool on);

  // The program of the target, as last told.
  const std::string& Program() const { return program_; }

 private:
  int Pick(const Store& store) const;

  std::string program_;
  bool told_ = false;     // a program was told at all
  bool waiting_ = false;  // a switch waits for the run's end
  bool following_ = true;
};

// "Programs..." of the group menu, on the active group: a locked group asks its password
// first, as a press would (a right one unlocks it). The input box titled "Programs" shows
// the list; the answer is kept as NormalizePrograms takes it, and the user is told of
// names left out at the box's limit and of programs another group serves as well (the
// first group serving a program is the one shown for it). Cancel, or the list shown cut
// and left unchanged, changes nothing. True when the programs changed.
bool ProgramsCommand(Store& store, Dialogs& dialogs, bool& unlocked);

}  // namespace ks
