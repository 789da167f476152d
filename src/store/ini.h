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
//     kMaxValue UTF-16 units of it are returned, never half a character.
// Texts are UTF-8; a file in another form is converted before and after (encoding.h).
// Writing keeps every byte it does not have to change, unlike the platform, which rewrites
// the file in its own layout: a value is replaced in place, a new key goes after the last
// entry of its section, a new section goes at the end, and new lines end with CR LF.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ks {

// `s` as a file line can hold it: each line break (CR LF, a lone CR or LF) becomes a blank.
// The platform would write a break raw and split the line.
std::string OneLine(std::string_view s);

class IniFile {
 public:
  // What one read of the platform returns at most (its buffer of 2048 less the terminator),
  // in UTF-16 units.
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
  // Every key of `section` with its value, in the file's order, each as Get reads it: the
  // first entry of a name only, names as written (trimmed); an entry without "=", which
  // reads as missing, is left out, and so is a later one of its name that it hides.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

  // Stores `value` exactly as given (a line break in it becomes a blank, since the file
  // could not hold it); see EncodeValue for a value that must read back unchanged.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void SetInt(std::string_view section, std::string_view key, int32_t value);

  std::string Serialize() const;
  // The same without the lines that no Set has written since the load (keys of removed
  // groups and buttons, comments, other programs' keys) and that `keep` refuses. A refused
  // section header takes its section's lines along, which would otherwise join the section
  // before it.
  std::string Serialize(const std::function<bool(std::string_view line)>& keep) const;

 private:
  // Loading a whole settings file must stay in the low milliseconds, also where every
  // allocation is dear: lines point into the original bytes until they are changed, and
  // one open-addressing table holds the sections and the entries under case-blind hashes.
  static constexpr uint32_t kNoValue = 0xFFFFFFFF;
  struct Line {
    uint32_t off = 0, len = 0;  // the text in src_, unless `owned`
    int32_t next = -1;          // lines form a chain, so an insertion costs nothing
    int32_t owned = -1;         // once changed or added: the text's index in texts_
    uint8_t eol = 0;            // 0 none, 1 CR LF, 2 LF, 3 CR
    bool header = false;        // opens a section
    bool written = false;       // set since the load (a header: a key of its section was)
  };
  struct Slot {
    const char* name = nullptr;  // nullptr: an empty slot
    uint32_t nameLen = 0;
    uint32_t hash = 0;
    int32_t section = -1;  // the entry's section; -1 for a slot that names a section
    int32_t line = -1;     // the entry's line
    uint32_t value = 0;    // offset of the entry's value (kNoValue without "="), or the
                           // section's index for a section slot
  };

  // Takes the loaded line `index` as a header, an entry of section `current` or neither;
  // returns the section the lines after it belong to.
  int32_t ReadLine(int32_t index, int32_t current);
  std::string_view Text(const Line& l) const;
  // The slot of the first section of that name, nullptr when there is none.
  const Slot* FindSection(std::string_view section) const;
  std::string_view Value(const Slot& entry) const;
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
  size_t Probe(int32_t section, std::string_view name, uint32_t hash) const;
  void Insert(int32_t section, std::string_view name, int32_t line, uint32_t value);
  int32_t AddSection(std::string_view name, int32_t header);
  int32_t InsertAfter(int32_t pos, std::string text);
  std::string_view Keep(std::string_view name);

  std::vector<char> src_;  // a vector: its bytes stay put when the object moves
  size_t bom_ = 0;         // bytes of a UTF-8 mark at the start, written back as they were
  std::vector<Line> lines_;
  int32_t tail_ = -1;
  std::vector<int32_t> sectionLast_;  // per section: the header or its last entry's line
  std::vector<Slot> slots_;
  size_t used_ = 0;
  std::vector<std::string> texts_;  // the lines' own texts
  std::deque<std::string> names_;   // names that are not in src_, at stable addresses
};

// The blanks of the platform's parser.
bool IsIniBlank(char c);
// Whether two names are one to the reader: ASCII letters match in either case, every other
// byte only itself.
bool SameIniName(std::string_view a, std::string_view b);

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
