#pragma once
// An INI file held in memory: parsed from bytes once, queried and updated, serialised once.
//
// Reading follows the Windows private-profile functions as Wine implements them, so a file
// written by either side reads the same through both:
//   - lines end at CR, LF or CR LF; blanks (tab, LF, VT, FF, CR, space and ^Z) around a line,
//     a name or a value do not count;
//   - "[name]" opens a section: the name runs to the last "]" of the line and is trimmed;
//   - "name = value" is a key; a line without "=" is an entry without a value, which reads
//     as missing (and, as on the platform, hides a later key of the same name);
//   - a line starting with ";" is a comment; lines before the first section belong to no
//     section that a name can reach;
//   - names match without regard to ASCII case; the first section of a name and the first
//     entry of a name inside it win, later duplicates are never seen;
//   - one outer pair of matching quotes (" or ') is removed from a value, and at most
//     kMaxValue bytes of it are returned.
// Writing keeps every byte it does not have to change, unlike the platform, which rewrites
// the file in its own layout: a value is replaced in place, a new key goes after the last
// entry of its section, a new section goes at the end, and new lines end with CR LF.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ks {

class IniFile {
 public:
  // What one read of the platform returns at most (its buffer of 2048 less the terminator).
  static constexpr size_t kMaxValue = 2047;

  IniFile() = default;  // the empty (or missing) file
  explicit IniFile(std::string_view bytes);
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  IniFile(IniFile&&) = default;
  IniFile& operator=(IniFile&&) = default;

  // The value as the platform would return it, or nothing when the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view def) const;
  int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;

  // Stores `value` exactly as given (a line break in it becomes a blank, since the file
  // could not hold it); see EncodeValue for a value that must read back unchanged.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int32_t value);

  std::string Serialize() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n", "\r", or "" for a last line without one
  };
  using LineIt = std::list<Line>::iterator;
  struct Entry {
    LineIt line;
    size_t valueStart;  // offset of the value in line->text, npos for a line without "="
  };
  struct Section {
    std::string name;
    LineIt last;  // the header or the section's last entry: where a new key goes
    std::unordered_map<std::string, Entry> entries;  // by lower-cased name, first wins
  };

  const Entry* Find(std::string_view section, std::string_view key) const;
  Section& AddSectionRecord(std::string_view name, LineIt header);
  LineIt InsertAfter(LineIt pos, std::string text);

  std::list<Line> lines_;
  std::deque<Section> sections_;  // a deque, so a Section stays put while others are added
  std::unordered_map<std::string, size_t> sectionIndex_;  // lower-cased name -> first section
};

// The blanks of the platform's parser.
bool IsIniBlank(char c);

// A stored number as the program reads it: optional blanks around, an optional sign, then
// decimal digits, or hexadecimal digits after "$" or "0x"/"0X" (hex takes all 32 bits, so
// "$FFFFFFFF" is -1). Anything else, "12abc" or a decimal outside 32 bits included, gives
// `def`.
int32_t ParseIniInt(std::string_view s, int32_t def);

// A text made safe to store as a value: each line break (CR LF, CR or LF) becomes one blank,
// and a value that the reader would change (blanks at either end, or a matching pair of
// outer quotes) is put inside double quotes, so it reads back exactly, through this class
// and through the platform's functions.
std::string EncodeValue(std::string_view text);

}  // namespace ks
