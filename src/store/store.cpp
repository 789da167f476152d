#include "store/store.h"

#include <algorithm>

namespace ks {

std::unique_ptr<Store> Store::MakeDefault() {
  auto s = std::make_unique<Store>();
  s->NumGroups = 1;
  s->ActiveGroup = 1;
  s->Groups[1] = GroupRec{kDefaultGroupName, 1, 1, ""};
  s->SetButton(1, 1, Button{kDefaultCaption, "", kDefaultString, 0, 0});
  return s;
}

int Store::FindGroup(std::string_view name) const {
  for (int g = 1; g <= NumGroups && g <= kMaxGroups; ++g)
    if (Groups[g].GroupName == name) return g;
  return 0;
}

int Store::GroupsInUse() const { return std::clamp(NumGroups, 0, kMaxGroups); }

int Store::ButtonsIn(int group) const {
  return std::clamp(Groups[group].NumCommands, 0, kMaxButtons);
}

Button Store::GetButton(int group, int index) const {
  const DataRec& d = Data[group];
  return Button{d.Caption[index], d.Description[index], d.String[index], d.Color[index],
                d.Shortcut[index]};
}

void Store::SetButton(int group, int index, const Button& b) {
  DataRec& d = Data[group];
  d.Caption[index] = b.Caption;
  d.Description[index] = b.Description;
  d.String[index] = b.String;
  d.Color[index] = b.Color;
  d.Shortcut[index] = b.Shortcut;
}

}  // namespace ks
