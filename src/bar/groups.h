#pragma once
// Switching the active group, the group commands of the group list's menu, and group
// passwords. The group list is a sorted control, so its lines are mapped to groups by
// name (Store::FindGroup); the copy/move submenus are rebuilt from the store after
// every change of the groups, so entry k always stands for group k + 1.
#include <string>
#include <vector>

#include "bar/ports.h"
#include "store/store.h"
#include "typing/passwords.h"

namespace ks {

inline constexpr const char* kMsgGroupLimit = "You have reached the limit of 50 groups.";
// There must always be an active group for the bar to show.
inline constexpr const char* kMsgDeleteOnlyGroup =
    "You can not delete the only Group.\nPlease create another Group first.";
inline constexpr const char* kNewGroupButtonCaption = "NewButton";
inline constexpr const char* kNewGroupButtonText = "Default button for a new Group";

// The group list's lines as a sorted list keeps them: a line goes in after every line
// that sorts before it or equal to it without regard to case. The bar keeps its group
// list this way until the list itself is first shown.
struct GroupLines {
  std::vector<std::string> Lines;
  int Selected = -1;  // none

  int Add(const std::string& name);  // its position
  void Delete(int position);
  void Select(int position);  // none when out of range
  std::string SelectedName() const;
};

// The names of the groups in use, in group order: what the two submenus show.
std::vector<std::string> GroupNames(const Store& store);

// Shows `group`'s buttons on controls 1..n (CreateButton), without laying them out.
void FillButtons(const Group& group, BarView& view);

// Shows the group named on the selected line of the group list: hides the controls of
// the group shown so far, makes that group active, fills its controls, locks it when it
// has a password (also when it was active already), lays the bar out and focuses Dummy.
// A selection that names no group leaves the active group as it was.
void ShowChosenGroup(Store& store, BarView& view, bool& unlocked);

// Shows group `group` as if the user chose its line in the group list (ShowChosenGroup):
// a locked group is shown locked. The line selected is the one naming it exactly.
void ShowGroup(Store& store, BarView& view, int group, bool& unlocked);

// Fills the (empty) group list with every group's name and selects the line of the
// active group. The list sorts without regard to case and a hand-edited file may hold
// names that differ only in case ("work" and "Work"): the line selected is the one that
// names the active group exactly, so that the line, the buttons shown and every group
// command agree. Two groups of exactly the same name cannot be told apart by their
// lines; the first of them becomes the active one.
void FillGroupList(Store& store, BarView& view);

// "New Group", "Edit Group" (rename) and "Delete Group". Rename leaves the name as it
// was when the answer is the default unchanged, also for a name longer than the input
// box takes, which the box shows cut.
void NewGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked);
void RenameGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked);
void DeleteGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked);

// "Password Protect" and "Remove Password" on the active group. Neither changes the
// lock: a new password locks at the next switch, a removed one leaves a locked group
// locked until the next press (whose empty answer then matches).
void SetPasswordCommand(Store& store, Dialogs& dialogs);
void RemovePasswordCommand(Store& store, Dialogs& dialogs);

}  // namespace ks
