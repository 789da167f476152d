#pragma once
// The button store: every group and every button, in memory for the whole run.
// Indexes are 1-based as everywhere in the program; slot 0 of every table is unused,
// and 0 means "none" where a search fails.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ks {

inline constexpr int kMaxGroups = 50;
inline constexpr int kMaxButtons = 50;

// A button's Shortcut k (1..26) is Ctrl+Alt and the k-th letter; 0 is none, and so is
// anything else a hand-edited file may hold.
inline constexpr int kNumShortcuts = 26;
constexpr bool IsShortcut(int32_t value) { return value >= 1 && value <= kNumShortcuts; }

// The buttons of one group, as parallel arrays indexed 1..kMaxButtons.
struct DataRec {
  std::array<std::string, kMaxButtons + 1> Description;
  std::array<std::string, kMaxButtons + 1> Caption;
  std::array<std::string, kMaxButtons + 1> String;
  std::array<int32_t, kMaxButtons + 1> Color{};
  std::array<int32_t, kMaxButtons + 1> Shortcut{};
};

struct GroupRec {
  std::string GroupName;
  int32_t NumCommands = 0;
  int32_t Columns = 1;
  std::string Password;
};

// One button's five fields together, for the commands that move buttons around.
struct Button {
  std::string Caption;
  std::string Description;
  std::string String;
  int32_t Color = 0;
  int32_t Shortcut = 0;
  bool operator==(const Button&) const = default;
};

inline constexpr const char* kDefaultGroupName = "Default";
inline constexpr const char* kDefaultCaption = "Example";
inline constexpr const char* kDefaultString = "This is an example button{enter}";

struct Store {
  std::array<DataRec, kMaxGroups + 1> Data;
  std::array<GroupRec, kMaxGroups + 1> Groups;
  int32_t NumGroups = 1;
  int32_t ActiveGroup = 1;

  // The store of a first run: group "Default" with its one "Example" button.
  static std::unique_ptr<Store> MakeDefault();

  // Index of the first group in use named exactly `name` (byte-wise, with case), or 0.
  int FindGroup(std::string_view name) const;

  // The counts in use, within the tables whatever a file said: 0..kMaxGroups groups,
  // 0..kMaxButtons buttons in `group`.
  int GroupsInUse() const;
  int ButtonsIn(int group) const;

  GroupRec& Active() { return Groups[ActiveGroup]; }
  const GroupRec& Active() const { return Groups[ActiveGroup]; }
  DataRec& ActiveData() { return Data[ActiveGroup]; }
  const DataRec& ActiveData() const { return Data[ActiveGroup]; }

  Button GetButton(int group, int index) const;
  void SetButton(int group, int index, const Button& b);
};

}  // namespace ks
