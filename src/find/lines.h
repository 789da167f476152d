#pragma once
// What a line of the find window shows for a button.
#include <cstddef>
#include <string>
#include <string_view>

#include "store/store.h"

namespace ks {

struct FindLine {
  std::string Caption;
  std::string Group;  // the name of the button's group
  std::string Text;   // the start of its text as written; empty in a locked group
  bool Locked = false;
};

// The line of button `button` of group `group`, its text cut to `maxTextChars`
// characters (TextPreview).
FindLine FindLineOf(const Store& store, int group, int button, std::size_t maxTextChars);

// The start of `text` as written, codes and all, on one line: a line break (CR, LF or
// both) shows as "¶", a tab or another control character as a blank. At most
// `maxChars` characters; a text that does not fit ends in "…" in the last of them. A
// cut never falls inside a character, nor between a letter and the marks on it or the
// parts of an emoji joined into one.
std::string TextPreview(std::string_view text, std::size_t maxChars);

}  // namespace ks
