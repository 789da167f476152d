#pragma once
// The store's abbreviations as the watch and the editor's rules take them: plain lists in
// store order, so that neither depends on how the store keeps the field.
#include <vector>

#include "abbrev/validate.h"
#include "abbrev/watch.h"
#include "store/store.h"

namespace ks::abbrev {

// Every button that has an abbreviation, for the watch.
std::vector<Abbreviation> AbbreviationsOf(const Store& store);
// Every button, with its caption and group name, for RefuseAbbreviation.
std::vector<ButtonAbbreviation> ButtonAbbreviationsOf(const Store& store);

}  // namespace ks::abbrev
