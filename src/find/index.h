#pragma once
// Finding a button of any group by a few letters of it: what the find window lists for
// what the user has typed so far.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace ks {

// How a button answers a query, best first.
enum class FindRank {
  Listed,        // no query: a button of the active group
  WholeCaption,  // the caption is the query
  CaptionStart,  // the caption starts with it
  WordStart,     // a word of the caption, the hint or the group's name starts with it
  Letters,       // the query's letters in order, anywhere in the caption or the hint
  InText,        // the text to type holds it
};

struct FindHit {
  int Group = 0;
  int Button = 0;
  FindRank Rank = FindRank::Listed;
  bool operator==(const FindHit&) const = default;
};

// The captions, hints, group names and texts of a store in their folded form
// (find/fold.h), made once when the find window opens so that each typed letter only
// compares. It keeps no reference to the store; made again after the store changes.
//
// A locked group's captions, hints and name are found, its texts never: they are not
// even kept here, so nothing the search answers tells what a locked text holds.
class FindIndex {
 public:
  // `program`: the file name of the program the user types into; the buttons of the
  // groups that serve it (store/programs.h) come first among equally good ones.
  explicit FindIndex(const Store& store, std::string_view program = {});

  // Every button that answers `query`, best rank first, within a rank the buttons of the
  // groups serving the program first, ties in group and button order; none when nothing
  // does. A query of blanks only is no query: the buttons of the
  // active group in bar order. A query that goes on from the one before is answered
  // from what that one found.
  std::vector<FindHit> Filter(std::string_view query);

 private:
  struct Entry {
    int Group, Button;
    std::string Caption, Hint, Text;  // folded; Text empty in a locked group
  };
  std::vector<Entry> entries_;         // in group and button order
  std::vector<std::string> groups_;    // folded names, [0] unused
  std::vector<bool> serving_;          // the groups serving the program, [0] unused
  int activeGroup_ = 0;

  struct Last {
    std::string Query;               // folded
    std::vector<std::size_t> Found;  // indexes into entries_, in their order
  };
  std::optional<Last> last_;
};

}  // namespace ks
