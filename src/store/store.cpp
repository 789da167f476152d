#include "store/store.h"

namespace ks {

std::unique_ptr<Store> Store::MakeDefault() {
  auto s = std::make_unique<Store>();
  s->Groups.push_back(
      Group{kDefaultGroupName, 1, "", {Button{kDefaultCaption, "", kDefaultString, 0, 0}}});
  s->ActiveGroup = 1;
  return s;
}

int Store::FindGroup(std::string_view name) const {
  for (int g = 1; g <= GroupCount(); ++g)
    if (GroupAt(g).Name == name) return g;
  return 0;
}

}  // namespace ks
