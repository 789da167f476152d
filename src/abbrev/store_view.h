#pragma once
// The store's abbreviations as the watch and the editor's rules take them: plain lists in
// store order, so that neither depends on how the store keeps the field.
#include <string_view>
#include <vector>

#include "abbrev/validate.h"
#include "abbrev/watch.h"
#include "store/store.h"

namespace ks::abbrev {

// Every button that has an abbreviation working in `program` (the file name of the
// program typed into), for the watch: those of groups without programs, and those of the
// groups that serve it (store/programs.h).
std::vector<Abbreviation> AbbreviationsOf(const Store& store, std::string_view program);
// Every button, with its caption, group name and group's programs, for RefuseAbbreviation.
std::vector<ButtonAbbreviation> ButtonAbbreviationsOf(const Store& store);

}  // namespace ks::abbrev
