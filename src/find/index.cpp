#include "find/index.h"

#include <array>

#include "find/fold.h"
#include "text/utf.h"

namespace ks {

namespace {

bool IsBlank(std::string_view folded) {
  return folded.find_first_not_of(" \t") == std::string_view::npos;
}

bool WordStartsWith(std::string_view text, std::string_view query) {
  for (std::size_t pos = text.find(query); pos != std::string_view::npos;
       pos = text.find(query, pos + 1))
    if (AtWordStart(text, pos)) return true;
  return false;
}

// The query's characters but its blanks, each as its UTF-8 bytes. A whole character's
// bytes found in valid UTF-8 always start a character there, so the letters can be
// looked for byte-wise.
std::vector<std::string_view> LettersOf(std::string_view query) {
  std::vector<std::string_view> letters;
  for (std::size_t pos = 0; pos < query.size();) {
    const std::size_t at = pos;
    NextCodePoint(query, pos);
    if (query[at] != ' ' && query[at] != '\t') letters.push_back(query.substr(at, pos - at));
  }
  return letters;
}

bool HasLettersInOrder(std::string_view text, const std::vector<std::string_view>& letters) {
  std::size_t pos = 0;
  for (std::string_view letter : letters) {
    pos = text.find(letter, pos);
    if (pos == std::string_view::npos) return false;
    pos += letter.size();
  }
  return true;
}

}  // namespace

FindIndex::FindIndex(const Store& store)
    : groups_(store.GroupsInUse() + 1),
      activeGroup_(store.ActiveGroup >= 1 && store.ActiveGroup <= store.GroupsInUse()
                       ? store.ActiveGroup
                       : 0) {
  for (int g = 1; g <= store.GroupsInUse(); ++g) {
    groups_[g] = FoldForFind(store.Groups[g].GroupName);
    const bool locked = !store.Groups[g].Password.empty();
    const DataRec& d = store.Data[g];
    for (int b = 1; b <= store.ButtonsIn(g); ++b)
      entries_.push_back(Entry{g, b, FoldForFind(d.Caption[b]), FoldForFind(d.Description[b]),
                               locked ? std::string() : FoldForFind(d.String[b])});
  }
}

std::vector<FindHit> FindIndex::Filter(std::string_view query) const {
  std::vector<FindHit> hits;
  const std::string q = FoldForFind(query);
  if (IsBlank(q)) {
    for (const Entry& e : entries_)
      if (e.Group == activeGroup_) hits.push_back(FindHit{e.Group, e.Button, FindRank::Listed});
    return hits;
  }
  const std::vector<std::string_view> letters = LettersOf(q);
  // One list per rank, filled in group and button order and joined at the end: the
  // order within a rank is the store's without sorting.
  std::array<std::vector<FindHit>, static_cast<int>(FindRank::InText) + 1> byRank;
  int group = 0;
  bool groupNamed = false;
  for (const Entry& e : entries_) {
    if (e.Group != group) {
      group = e.Group;
      // A group's name stands for what its buttons are about, as a hint does: a word of
      // it that starts with the query ranks each of its buttons as a word of their hint
      // would. Its letters scattered do not count, or a short query would bring whole
      // groups along.
      groupNamed = WordStartsWith(groups_[group], q);
    }
    FindRank rank;
    if (e.Caption == q) {
      rank = FindRank::WholeCaption;
    } else if (e.Caption.starts_with(q)) {
      rank = FindRank::CaptionStart;
    } else if (groupNamed || WordStartsWith(e.Caption, q) || WordStartsWith(e.Hint, q)) {
      rank = FindRank::WordStart;
    } else if (HasLettersInOrder(e.Caption, letters) || HasLettersInOrder(e.Hint, letters)) {
      rank = FindRank::Letters;
    } else if (e.Text.find(q) != std::string::npos) {
      rank = FindRank::InText;
    } else {
      continue;
    }
    byRank[static_cast<int>(rank)].push_back(FindHit{e.Group, e.Button, rank});
  }
  for (const auto& list : byRank) hits.insert(hits.end(), list.begin(), list.end());
  return hits;
}

}  // namespace ks
