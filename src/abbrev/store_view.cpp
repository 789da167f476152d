#include "abbrev/store_view.h"

#include "store/programs.h"

namespace ks::abbrev {

std::vector<Abbreviation> AbbreviationsOf(const Store& store, std::string_view program) {
  std::vector<Abbreviation> list;
  for (int g = 1; g <= store.GroupCount(); ++g) {
    // A hand-edited list of blanks and commas names no program: the group's work everywhere.
    const Group& group = store.GroupAt(g);
    if (!ProgramNames(group.Programs).empty() && !Serves(group, program)) continue;
    for (int i = 1; i <= store.GroupAt(g).ButtonCount(); ++i)
      if (const std::string& a = store.ButtonAt(g, i).Abbreviation; !a.empty())
        list.push_back(Abbreviation{g, i, a, !store.GroupAt(g).Password.empty()});
  }
  return list;
}

std::vector<ButtonAbbreviation> ButtonAbbreviationsOf(const Store& store) {
  std::vector<ButtonAbbreviation> list;
  for (int g = 1; g <= store.GroupCount(); ++g)
    for (int i = 1; i <= store.GroupAt(g).ButtonCount(); ++i) {
      const Button& b = store.ButtonAt(g, i);
      list.push_back(ButtonAbbreviation{g, i, b.Caption, store.GroupAt(g).Name, b.Abbreviation,
                                        store.GroupAt(g).Programs});
    }
  return list;
}

}  // namespace ks::abbrev
