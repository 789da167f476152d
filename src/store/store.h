#pragma once
// The button store: every group and every button, in memory for the whole run, one record
// per group and per button. Groups and buttons are numbered from 1, as the settings file
// and the bar's controls number them (control i shows button i of the active group); 0
// means "none" where a search fails.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

inline constexpr int kMaxGroups = 50;
inline constexpr int kMaxButtons = 50;

// A button's Shortcut k (1..26) is Ctrl+Alt and the k-th letter; 0 is none, and so is
// anything else a hand-edited file may hold.
inline constexpr int kNumShortcuts = 26;
constexpr bool IsShortcut(int32_t value) { return value >= 1 && value <= kNumShortcuts; }

struct Button {
  std::string Caption;
  std::string Description;  // the hint
  std::string String;       // the text it types
  int32_t Color = 0;
  int32_t Shortcut = 0;
  // Typed anywhere, it is replaced by String (src/abbrev); empty: none. One button's only.
  std::string Abbreviation;
  bool operator==(const Button&) const = default;
};

struct Group {
  std::string Name;
  int32_t Columns = 1;
  std::string Password;
  std::vector<Button> Buttons;  // at most kMaxButtons
  // The programs it serves, as the file names of their process images separated by ", "
  // (store/programs.h keeps them so); empty for none. While the user types into one of
  // them the bar shows the group, and its abbreviations work there alone.
  std::string Programs;
  bool operator==(const Group&) const = default;

  int ButtonCount() const { return static_cast<int>(Buttons.size()); }
  bool HasButton(int number) const { return number >= 1 && number <= ButtonCount(); }
  // Button `number`, which must be one of the group's.
  Button& ButtonAt(int number) { return Buttons[static_cast<size_t>(number - 1)]; }
  const Button& ButtonAt(int number) const { return Buttons[static_cast<size_t>(number - 1)]; }
};

inline constexpr const char* kDefaultGroupName = "Default";
inline constexpr const char* kDefaultCaption = "Example";
inline constexpr const char* kDefaultString = "This is an example button{enter}";

struct Store {
  std::vector<Group> Groups;  // at most kMaxGroups
  // The group the bar shows, by number; the program keeps it one of Groups.
  int32_t ActiveGroup = 1;

  // The store of a first run: group "Default" with its one "Example" button.
  static std::unique_ptr<Store> MakeDefault();

  // The number of the first group named exactly `name` (byte-wise, with case), or 0.
  int FindGroup(std::string_view name) const;

  int GroupCount() const { return static_cast<int>(Groups.size()); }
  bool HasGroup(int number) const { return number >= 1 && number <= GroupCount(); }
  // Group `number`, which must be one of the store's.
  Group& GroupAt(int number) { return Groups[static_cast<size_t>(number - 1)]; }
  const Group& GroupAt(int number) const { return Groups[static_cast<size_t>(number - 1)]; }
  Button& ButtonAt(int group, int number) { return GroupAt(group).ButtonAt(number); }
  const Button& ButtonAt(int group, int number) const { return GroupAt(group).ButtonAt(number); }

  Group& Active() { return GroupAt(ActiveGroup); }
  const Group& Active() const { return GroupAt(ActiveGroup); }
  bool operator==(const Store&) const = default;
};

// A button of the store; Group 0 is none. Button 0 stands for a button not yet in the
// store (the one the editor is creating).
struct ButtonRef {
  int Group = 0;
  int Button = 0;
  explicit operator bool() const { return Group != 0; }
  bool operator==(const ButtonRef&) const = default;
};

// Whether `b` names a button `store` has now: one asked for before a question may have
// gone since, as the store can change while a box is open.
inline bool HasButton(const Store& store, ButtonRef b) {
  return store.HasGroup(b.Group) && store.GroupAt(b.Group).HasButton(b.Button);
}

}  // namespace ks
