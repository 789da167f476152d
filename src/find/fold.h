#pragma once
// The form texts are compared in when the user looks for a button: letter case and
// accents dropped, so that "cafe" finds "Café", "οδος" finds "Οδός" and "елка" finds
// "Ёлка". Latin (with Latin-1, Latin Extended-A and the Vietnamese letters), Greek and
// Cyrillic letters with marks become their base letters, capitals small ones; combining
// marks are dropped; every other character (other scripts, emoji) stays as it is.
#include <string>
#include <string_view>

namespace ks {

// `text` (UTF-8) in its folded form, also UTF-8. Invalid pieces become U+FFFD.
std::string FoldForFind(std::string_view text);

// Whether a folded character belongs to a word: letters and digits of any script do;
// blanks, punctuation, symbols and emoji part words.
bool IsWordChar(char32_t c);

// Whether a word starts at byte `pos` of the folded `text`: the text starts there, or the
// character before it is no word character.
bool AtWordStart(std::string_view text, std::size_t pos);

}  // namespace ks
