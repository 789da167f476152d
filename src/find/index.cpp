#include "find/index.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "find/fold.h"
#include "store/programs.h"
#include "text/utf.h"

namespace ks {

namespace {

bool IsBlank(std::string_view folded) {
  return folded.find_first_not_of(" \t") == std::string_view::npos;
}

// A folded query, looked for in folded texts. The search runs on the last byte of its
// first character: in Cyrillic or Greek text nearly every other byte is one of the two
// lead bytes the script shares, the last byte tells the letters apart.
class Needle {
 public:
  explicit Needle(std::string_view query) : query_(query) {
    std::size_t end = 0;
    NextCodePoint(query, end);
    anchor_ = end - 1;
  }

  std::size_t FindIn(std::string_view text, std::size_t from = 0) const {
    const char* base = text.data();
    for (std::size_t at = from + anchor_; at < text.size();) {
      const void* found = std::memchr(base + at, query_[anchor_], text.size() - at);
      if (!found) break;
      const std::size_t hit = static_cast<const char*>(found) - base;
      const std::size_t start = hit - anchor_;
      if (text.size() - start >= query_.size() &&
          std::memcmp(base + start, query_.data(), query_.size()) == 0)
        return start;
      at = hit + 1;
    }
    return std::string_view::npos;
  }

  bool StartsWordIn(std::string_view text) const {
    for (std::size_t pos = FindIn(text); pos != std::string_view::npos; pos = FindIn(text, pos + 1))
      if (AtWordStart(text, pos)) return true;
    return false;
  }

 private:
  std::string_view query_;
  std::size_t anchor_;
};

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

// A folded query as the ranking reads it.
struct RankedQuery {
  explicit RankedQuery(std::string_view folded)
      : Text(folded), Find(folded), Letters(LettersOf(folded)) {}

  // How a button with these folded texts answers the query, best rank first; nothing
  // when it does not. `groupNamed`: a word of its group's name starts with the query.
  std::optional<FindRank> RankOf(std::string_view caption, std::string_view hint,
                                 std::string_view text, bool groupNamed) const {
    if (caption == Text) return FindRank::WholeCaption;
    if (caption.starts_with(Text)) return FindRank::CaptionStart;
    if (groupNamed || Find.StartsWordIn(caption) || Find.StartsWordIn(hint))
      return FindRank::WordStart;
    if (HasLettersInOrder(caption, Letters) || HasLettersInOrder(hint, Letters))
      return FindRank::Letters;
    if (Find.FindIn(text) != std::string_view::npos) return FindRank::InText;
    return std::nullopt;
  }

  std::string_view Text;
  Needle Find;
  std::vector<std::string_view> Letters;
};

}  // namespace

FindIndex::FindIndex(const Store& store, std::string_view program)
    : groups_(store.GroupCount() + 1),
      serving_(store.GroupCount() + 1),
      activeGroup_(store.HasGroup(store.ActiveGroup) ? store.ActiveGroup : 0) {
  for (int g = 1; g <= store.GroupCount(); ++g) {
    const Group& group = store.GroupAt(g);
    groups_[g] = FoldForFind(group.Name);
    serving_[g] = Serves(group, program);
    const bool locked = !group.Password.empty();
    for (int b = 1; b <= group.ButtonCount(); ++b) {
      const Button& d = group.ButtonAt(b);
      entries_.push_back(Entry{g, b, FoldForFind(d.Caption), FoldForFind(d.Description),
                               locked ? std::string() : FoldForFind(d.String)});
    }
  }
}

std::vector<FindHit> FindIndex::Filter(std::string_view query) {
  std::vector<FindHit> hits;
  std::string q = FoldForFind(query);
  if (IsBlank(q)) {
    last_.reset();
    for (const Entry& e : entries_)
      if (e.Group == activeGroup_) hits.push_back(FindHit{e.Group, e.Button, FindRank::Listed});
    return hits;
  }
  // A button that answers a query answers every query it starts with, by each rule
  // (the letters of a caption that starts with "cafe" are in order for "caf", and so
  // on): one more letter typed looks only at what the query before it found.
  const bool narrowing = last_ && q.starts_with(last_->Query);
  std::vector<std::size_t> all;
  if (!narrowing) {
    all.resize(entries_.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  }
  const std::vector<std::size_t>& candidates = narrowing ? last_->Found : all;

  const RankedQuery ranked(q);
  // One list per rank, filled in group and button order and joined at the end: the
  // order within a rank is the store's without sorting.
  std::array<std::vector<FindHit>, static_cast<int>(FindRank::InText) + 1> byRank;
  std::vector<std::size_t> found;
  int group = 0;
  bool groupNamed = false;
  for (const std::size_t i : candidates) {
    const Entry& e = entries_[i];
    if (e.Group != group) {
      group = e.Group;
      // A group's name stands for what its buttons are about, as a hint does: a word of
      // it that starts with the query ranks each of its buttons as a word of their hint
      // would. Its letters scattered do not count, or a short query would bring whole
      // groups along.
      groupNamed = ranked.Find.StartsWordIn(groups_[group]);
    }
    const std::optional<FindRank> rank = ranked.RankOf(e.Caption, e.Hint, e.Text, groupNamed);
    if (!rank) continue;
    byRank[static_cast<int>(*rank)].push_back(FindHit{e.Group, e.Button, *rank});
    found.push_back(i);
  }
  last_ = Last{std::move(q), std::move(found)};
  for (const auto& list : byRank)
    for (const bool serving : {true, false})
      for (const FindHit& hit : list)
        if (serving_[hit.Group] == serving) hits.push_back(hit);
  return hits;
}

}  // namespace ks
