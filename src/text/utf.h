#pragma once
// Texts in the core are UTF-8. These convert them to and from UTF-16, the form of the
// platform's wide functions, and walk them a code point at a time. Nothing here fails:
// what is not a character (a cut or overlong sequence, a surrogate on its own) becomes
// U+FFFD, one for each maximal piece that could not be read, and everything around it
// is kept.
#include <cstddef>
#include <string>
#include <string_view>

namespace ks {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// The code point starting at `pos`, moving `pos` past it; U+FFFD for an invalid piece,
// which moves `pos` at least one byte on. `pos` must be below s.size().
char32_t NextCodePoint(std::string_view s, std::size_t& pos);

void AppendUtf8(std::string& out, char32_t cp);

// `s` with every invalid piece replaced; valid text comes back unchanged.
std::string ValidUtf8(std::string_view s);
bool IsValidUtf8(std::string_view s);

std::u16string Utf8ToUtf16(std::string_view s);
std::string Utf16ToUtf8(std::u16string_view s);

// How many UTF-16 units the text takes.
std::size_t Utf16Length(std::string_view s);

// The longest start of `s` that takes at most `maxUnits` UTF-16 units and ends on a
// whole character, so a cut never leaves half of one.
std::string_view Utf8Prefix(std::string_view s, std::size_t maxUnits);

}  // namespace ks
