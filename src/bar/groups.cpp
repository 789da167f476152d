#include "bar/groups.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "contract.h"
#include "text/utf.h"

namespace ks {

namespace {

std::string LowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// An input box answer; Cancel counts as the empty answer, as the password rules say.
std::string AnswerOrEmpty(const std::optional<std::string>& answer) {
  return answer ? *answer : std::string();
}

std::string AskPassword(Dialogs& dialogs, const char* caption, const char* prompt) {
  return AnswerOrEmpty(dialogs.Input(caption, prompt, "", false));
}

std::string AlreadyExists(const std::string& name) {
  return "I am sorry, the " + name + " group already exists!";
}

std::string ProtectionRemoved(const std::string& name) {
  return "Password protection for the " + name + " group has been removed.";
}

}  // namespace

int GroupLines::Add(const std::string& name) {
  auto it = std::upper_bound(Lines.begin(), Lines.end(), name,
                             [](const std::string& a, const std::string& b) {
                               return LowerAscii(a) < LowerAscii(b);
                             });
  const int pos = static_cast<int>(it - Lines.begin());
  Lines.insert(it, name);
  if (Selected >= pos) ++Selected;
  return pos;
}

void GroupLines::Delete(int position) {
  if (position < 0 || position >= static_cast<int>(Lines.size())) return;
  Lines.erase(Lines.begin() + position);
  if (Selected == position)
    Selected = -1;
  else if (Selected > position)
    --Selected;
}

void GroupLines::Select(int position) {
  Selected = position >= 0 && position < static_cast<int>(Lines.size()) ? position : -1;
}

std::string GroupLines::SelectedName() const { return Selected >= 0 ? Lines[Selected] : ""; }

std::vector<std::string> GroupNames(const Store& store) {
  std::vector<std::string> names;
  for (const Group& g : store.Groups) names.push_back(g.Name);
  return names;
}

void FillButtons(const Group& group, BarView& view) {
  for (int i = 1; i <= group.ButtonCount(); ++i) {
    const Button& b = group.ButtonAt(i);
    view.CreateButton(i, b.Description, b.Caption, b.String, b.Color);
  }
}

void ShowChosenGroup(Store& store, BarView& view, bool& unlocked) {
  if (store.HasGroup(store.ActiveGroup)) view.HideButtons(store.Active().ButtonCount());
  const int g = store.FindGroup(view.SelectedGroupName());
  if (g != 0) store.ActiveGroup = g;
  if (!store.HasGroup(store.ActiveGroup)) store.ActiveGroup = 1;
  FillButtons(store.Active(), view);
  unlocked = store.Active().Password.empty();
  view.Display();
  view.FocusDummy();
}

void ShowGroup(Store& store, BarView& view, int group, bool& unlocked) {
  if (!store.HasGroup(group)) return;
  const std::string& name = store.GroupAt(group).Name;
  // The sorted list holds the names as they went in, in group order: the line of `group`
  // is where that order put it. A list that renames have ordered otherwise among names
  // alike but for case is searched for the exact one.
  GroupLines lines;
  for (int g = 1; g <= store.GroupCount(); ++g) {
    const int pos = lines.Add(store.GroupAt(g).Name);
    if (g == group) lines.Select(pos);
  }
  view.SelectGroupItem(lines.Selected);
  for (int p = 0; view.SelectedGroupName() != name && p < store.GroupCount(); ++p)
    view.SelectGroupItem(p);
  if (view.SelectedGroupName() != name) return;
  ShowChosenGroup(store, view, unlocked);
}

void FillGroupList(Store& store, BarView& view) {
  if (!store.HasGroup(store.ActiveGroup)) store.ActiveGroup = 1;
  if (const int same = store.FindGroup(store.Active().Name); same != 0)
    store.ActiveGroup = same;
  int selected = -1;
  for (int g = 1; g <= store.GroupCount(); ++g) {
    const int pos = view.AddGroupName(store.GroupAt(g).Name);
    if (g == store.ActiveGroup)
      selected = pos;
    else if (selected >= pos)
      ++selected;
  }
  view.SelectGroupItem(selected < 0 ? 0 : selected);
}

void NewGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked) {
  if (store.GroupCount() >= kMaxGroups) {
    dialogs.Message(kMsgGroupLimit);
    return;
  }
  const std::string name = AnswerOrEmpty(
      dialogs.Input("Create new Group", "What would you like to name the new Group?", "", false));
  if (name.empty()) return;
  if (store.FindGroup(name) != 0) {
    dialogs.Message(AlreadyExists(name));
    return;
  }
  const Button first{kNewGroupButtonCaption, kNewGroupButtonText, kNewGroupButtonText, 0, 0};
  store.Groups.push_back(Group{name, 1, "", {first}});
  view.RebuildGroupMenus(GroupNames(store));
  view.SelectGroupItem(view.AddGroupName(name));
  ShowChosenGroup(store, view, unlocked);
}

void RenameGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked) {
  const std::string current = view.SelectedGroupName();
  const std::optional<std::string> answer =
      dialogs.Input("Rename Group", "What would you like to rename the Group to?", current, true);
  const std::string name = answer ? *answer : current;
  // The box shows a name longer than it takes cut (its length counts UTF-16 units, and it
  // never gives back half a character); OK on that unchanged cut text is no new name.
  const auto boxLength = static_cast<size_t>(kInputBoxMaxChars);
  const bool shownCut =
      Utf16Length(current) > boxLength && name == Utf8Prefix(current, boxLength);
  if (name.empty() || name == current || shownCut) return;
  if (store.FindGroup(name) != 0) {
    dialogs.Message(AlreadyExists(name));
    return;
  }
  const int g = store.FindGroup(current);
  if (g == 0) return;
  store.GroupAt(g).Name = name;
  view.RebuildGroupMenus(GroupNames(store));
  view.DeleteGroupItem(view.SelectedGroupItem());
  view.SelectGroupItem(view.AddGroupName(name));
  ShowChosenGroup(store, view, unlocked);
}

void DeleteGroupCommand(Store& store, BarView& view, Dialogs& dialogs, bool& unlocked) {
  const std::string name = view.SelectedGroupName();
  const int g = store.FindGroup(name);
  if (g == 0) return;
  if (store.GroupCount() <= 1) {
    dialogs.Message(kMsgDeleteOnlyGroup);
    return;
  }
  if (!dialogs.Confirm("Are you sure you want to delete the " + name + " group?", contract::kTitle))
    return;
  view.HideButtons(store.GroupAt(g).ButtonCount());
  store.Groups.erase(store.Groups.begin() + (g - 1));
  view.RebuildGroupMenus(GroupNames(store));
  // The bar's controls are already hidden: nothing of the deleted group is left to hide.
  store.ActiveGroup = 0;
  view.DeleteGroupItem(view.SelectedGroupItem());
  view.SelectGroupItem(0);
  ShowChosenGroup(store, view, unlocked);
}

void SetPasswordCommand(Store& store, Dialogs& dialogs) {
  Group& group = store.Active();
  if (!group.Password.empty() &&
      AskPassword(dialogs, "Existing Group Password", "Please type the CURRENT password:") !=
          group.Password) {
    dialogs.Message(kMsgInvalidPassword);
    return;
  }
  const std::string first =
      AskPassword(dialogs, "New Group Password", "Please type the NEW password:");
  const std::string second =
      AskPassword(dialogs, "New Group Password", "Please re-type the NEW password:");
  if (first.empty() && second.empty()) {
    group.Password.clear();
    dialogs.Message(ProtectionRemoved(group.Name));
  } else if (first == second) {
    group.Password = first;
    dialogs.Message("Password for " + group.Name + " set.");
  }
}

void RemovePasswordCommand(Store& store, Dialogs& dialogs) {
  Group& group = store.Active();
  if (group.Password.empty()) {
    dialogs.Message("The " + group.Name + " group is not password protected.");
    return;
  }
  if (AskPassword(dialogs, "Existing Group Password", "Please type the CURRENT password:") !=
      group.Password) {
    dialogs.Message(kMsgInvalidPassword);
    return;
  }
  if (!dialogs.Confirm("Are you sure you want to remove the password protection for the " +
                           group.Name + " group?",
                       contract::kTitle))
    return;
  group.Password.clear();
  dialogs.Message(ProtectionRemoved(group.Name));
}

}  // namespace ks
