#pragma once
// Fuzz entries of the store: the INI engine, the button text file, and the settings load
// and save over both files. Each checks the rules a user's files depend on, not just that
// nothing crashes: what is written reads back, and a save of a loaded store loads again
// into the same store.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "entries/input.h"
#include "store/encoding.h"
#include "store/ini.h"
#include "store/settings.h"
#include "store/textfile.h"
#include "text/codepages.h"
#include "text/utf.h"

namespace ks::fuzz {

namespace detail {

// Section and key names from a small alphabet with both letter cases, so that names of
// different cases meet; arbitrary bytes would mostly make names the file format cannot hold.
inline std::string Name(Input& in) {
  static constexpr std::string_view kAlphabet = "abcABC01_ .xyXY";
  const size_t n = 1 + in.Byte() % 6;
  std::string s;
  for (size_t i = 0; i < n; ++i) s += kAlphabet[in.Byte() % kAlphabet.size()];
  return s;
}

inline std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsIniBlank(s[b])) ++b;
  while (e > b && IsIniBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

// A name as the reader compares it: trimmed, ASCII letters in lower case.
inline std::string Folded(std::string_view name) {
  std::string s = TrimBlanks(name);
  for (char& c : s) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  return s;
}

inline bool SameName(std::string_view a, std::string_view b) { return Folded(a) == Folded(b); }

inline std::string Show(const std::optional<std::string>& v) {
  return v ? Quote(*v) : std::string("(missing)");
}

// A section's entries are the keys Get finds there, each once with what Get reads.
inline std::string CheckEntries(const IniFile& ini,
                                const std::vector<std::pair<std::string, std::string>>& probes) {
  for (const auto& p : probes) {
    const std::string& section = p.first;
    const std::string& probe = p.second;  // a lambda cannot take a binding in clang 14
    const auto entries = ini.Entries(section);
    std::set<std::string> names;
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto& [name, value] = entries[i];
      if (ini.Get(section, name) != value)
        return "[" + section + "] lists " + Quote(name) + "=" + Quote(value) + ", Get reads " +
               Show(ini.Get(section, name));
      if (!names.insert(Folded(name)).second) return "[" + section + "] lists " + name + " twice";
    }
    const bool listed = std::any_of(entries.begin(), entries.end(),
                                    [&](const auto& e) { return SameName(e.first, probe); });
    if (ini.Get(section, probe).has_value() != listed)
      return "[" + section + "] " + probe + (listed ? " is listed but missing" : " is not listed");
  }
  return {};
}

inline LoadContext FuzzContext() {
  LoadContext c;
  c.ScreenWidth = 1280;
  c.ScreenHeight = 1024;
  c.Bar = {177, 51};
  c.Editor = {392, 203};
  c.List = {112, 113};
  c.FontColor = 0x123456;
  return c;
}

// The first difference between two loads, over what the program uses of them, the second
// being the first saved and loaded again.
inline std::string CompareLoads(const Loaded& a, const Loaded& b) {
  const Store& x = *a.store;
  const Store& y = *b.store;
  if (!(a.settings == b.settings)) return "the settings differ";
  if (x.GroupCount() != y.GroupCount())
    return "NumGroups " + std::to_string(x.GroupCount()) + " became " +
           std::to_string(y.GroupCount());
  if (x.ActiveGroup != y.ActiveGroup) return "ActiveGroup differs";
  for (int g = 1; g <= x.GroupCount(); ++g) {
    const Group& p = x.GroupAt(g);
    const Group& q = y.GroupAt(g);
    const std::string at = "group " + std::to_string(g) + ": ";
    if (p.Name != q.Name) return at + "name " + Quote(p.Name) + " became " + Quote(q.Name);
    if (p.ButtonCount() != q.ButtonCount()) return at + "NumCommands differs";
    if (p.Columns != q.Columns) return at + "Columns differs";
    if (p.Password != q.Password) return at + "Password differs";
    for (int i = 1; i <= p.ButtonCount(); ++i) {
      Button u = p.ButtonAt(i);
      const Button& v = q.ButtonAt(i);
      // The text file cannot hold a ^Z: the writer leaves it out.
      std::erase(u.String, '\x1a');
      if (u == v) continue;
      const std::string bt = at + "button " + std::to_string(i) + ": ";
      if (u.String != v.String)
        return bt + "text " + Quote(u.String) + " became " + Quote(v.String);
      if (u.Caption != v.Caption)
        return bt + "caption " + Quote(u.Caption) + " became " + Quote(v.Caption);
      return bt + "a field differs";
    }
  }
  return {};
}

}  // namespace detail

// The INI engine. Input: a count of writes, the writes (section, key, value), then the file.
// Rules: a file read and written back unchanged keeps every byte; after a write, that key
// reads the value given (line breaks as blanks) and every other key reads as before; a
// section's list of entries holds exactly the keys that read, once each, with their values;
// the serialised file parses back to the same values.
inline std::string IniEntry(Input in) {
  struct Write {
    std::string section, key, value;
  };
  std::vector<Write> writes(in.Byte() % 8);
  for (Write& w : writes) {
    w.section = detail::Name(in);
    w.key = detail::Name(in);
    w.value = in.Short();
  }
  const std::string file = in.Rest();

  if (std::string back = IniFile(file).Serialize(); back != file)
    return "an unchanged file was written back as " + Quote(back);

  IniFile ini(file);
  std::vector<std::pair<std::string, std::string>> probes = {{"Groups", "NumGroups"},
                                                             {"Window", "ButtonWidth"}};
  for (const Write& w : writes) probes.emplace_back(w.section, w.key);

  for (const Write& w : writes) {
    std::vector<std::optional<std::string>> before;
    for (const auto& [s, k] : probes) before.push_back(ini.Get(s, k));
    ini.Set(w.section, w.key, EncodeValue(w.value));
    for (size_t p = 0; p < probes.size(); ++p) {
      const auto& [s, k] = probes[p];
      const std::optional<std::string> now = ini.Get(s, k);
      const bool same = detail::SameName(s, w.section) && detail::SameName(k, w.key);
      // A name of blanks only is no name: the write is refused and nothing changes.
      const bool written = same && !detail::TrimBlanks(w.section).empty() &&
                           !detail::TrimBlanks(w.key).empty();
      const std::optional<std::string> want =
          written ? std::optional<std::string>(OneLine(w.value)) : before[p];
      if (now != want)
        return "[" + s + "] " + k + " reads " + detail::Show(now) + " after writing [" +
               w.section + "] " + w.key + ", wanted " + detail::Show(want);
    }
    (void)ParseIniInt(w.value, 0);  // the number parser takes any bytes
  }

  if (std::string e = detail::CheckEntries(ini, probes); !e.empty()) return e;
  const std::string out = ini.Serialize();
  IniFile again(out);
  if (std::string e = detail::CheckEntries(again, probes); !e.empty())
    return "in the written file: " + e;
  for (const auto& [s, k] : probes) {
    if (ini.Get(s, k) != again.Get(s, k))
      return "[" + s + "] " + k + " reads " + detail::Show(again.Get(s, k)) +
             " from the written file, " + detail::Show(ini.Get(s, k)) + " in memory";
    (void)again.GetInt(s, k, 0);
  }
  return {};
}

// The button text file. Input: the file's bytes. Rules: a read line holds no CR and no
// end-of-file byte; the lines, written again, read back the same and no more; and every
// byte string, split at NUL into texts, survives a write and a read with only its line
// breaks turned into "{enter}".
inline std::string TextFileEntry(Input in) {
  const std::string file = in.Rest();
  std::vector<std::string> lines;
  TextFileReader reader(file);
  while (!reader.AtEnd()) {
    if (lines.size() > file.size()) return "the reader does not come to an end";
    lines.push_back(reader.ReadLine());
    if (lines.back().find_first_of("\r\x1a") != std::string::npos)
      return "line " + std::to_string(lines.size()) + " holds a CR or ^Z: " + Quote(lines.back());
  }
  if (!reader.ReadLine().empty()) return "a read past the end gave text";

  auto roundTrip = [](const std::vector<std::string>& texts,
                      const std::vector<std::string>& want) -> std::string {
    TextFileWriter writer;
    for (const std::string& t : texts) writer.WriteLine(t);
    TextFileReader back(writer.Bytes());
    for (size_t i = 0; i < want.size(); ++i) {
      if (back.AtEnd()) return "the written file ends after " + std::to_string(i) + " lines";
      std::string got = back.ReadLine();
      if (got != want[i])
        return "text " + std::to_string(i + 1) + " " + Quote(texts[i]) + " reads back as " +
               Quote(got) + ", wanted " + Quote(want[i]);
    }
    if (!back.AtEnd()) return "the written file holds more lines than were written";
    return {};
  };
  if (std::string e = roundTrip(lines, lines); !e.empty()) return "re-written lines: " + e;

  std::vector<std::string> texts, want;
  size_t start = 0;
  while (start <= file.size() && !file.empty()) {
    size_t nul = file.find('\0', start);
    if (nul == std::string::npos) nul = file.size();
    texts.push_back(file.substr(start, nul - start));
    start = nul + 1;
  }
  for (const std::string& t : texts) {
    std::string w;
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\r') {
        if (i + 1 < t.size() && t[i + 1] == '\n') ++i;
        w += "{enter}";
      } else if (t[i] != '\x1a') {
        w += t[i];
      }
    }
    want.push_back(std::move(w));
  }
  if (std::string e = roundTrip(texts, want); !e.empty()) return "texts: " + e;
  return {};
}

// The file forms and the UTF conversions under them. Input: a flags byte (1: the ANSI code
// page is double-byte), then a file. Rules: a file reads as valid UTF-8 in any form; what
// is read, written in the form it came in and read again, is the same text; a UTF-8 or
// UTF-16LE file that held no invalid piece is written back byte for byte; UTF-16 and back
// changes only invalid pieces; a cut by UTF-16 units is a whole-character start.
inline std::string EncodingEntry(Input in) {
  static const test::FakeCp1252 cp1252;
  static const test::FakeDoubleByte doubleByte;
  const AnsiCodePage& ansi = (in.Byte() & 1) ? static_cast<const AnsiCodePage&>(doubleByte)
                                             : cp1252;
  const std::string file = in.Rest();
  const DecodedFile d = DecodeFile(file, ansi);
  if (!IsValidUtf8(d.text)) return "the file read as invalid UTF-8: " + Quote(d.text);
  const std::string written = EncodeFile(d.text, d.form, ansi);
  const DecodedFile back = DecodeFile(written, ansi);
  if (back.text != d.text)
    return "read " + Quote(d.text) + ", written and read again " + Quote(back.text);
  const bool clean = d.text.find("\xEF\xBF\xBD") == std::string::npos;
  const bool littleEndian = file.starts_with("\xFF\xFE");
  if (clean && (d.form == FileForm::Utf8 || (d.form == FileForm::Utf16 && littleEndian)) &&
      written != file)
    return "a valid file was written back as " + Quote(written);

  const std::string& raw = file;  // the same bytes, now as a text of the core
  if (Utf16ToUtf8(Utf8ToUtf16(raw)) != ValidUtf8(raw)) return "UTF-16 and back changed text";
  if (Utf16Length(raw) != Utf8ToUtf16(raw).size()) return "the UTF-16 length is wrong";
  const size_t cut = raw.empty() ? 0 : static_cast<uint8_t>(raw[0]) % 16;
  const std::string valid = ValidUtf8(raw);
  const std::string_view start = Utf8Prefix(valid, cut);
  if (Utf16Length(start) > cut || !IsValidUtf8(start) || !valid.starts_with(start))
    return "a cut at " + std::to_string(cut) + " units gave " + Quote(start);
  if (start.size() < valid.size()) {
    size_t next = start.size();
    NextCodePoint(valid, next);
    if (Utf16Length(valid.substr(0, next)) <= cut)
      return "a cut at " + std::to_string(cut) + " units stopped short: " + Quote(start);
  }
  return {};
}

// Loading the settings and the button texts. Input: a flags byte (1: the settings file
// exists, 2: the text file exists, 4: the ANSI code page is double-byte), the settings
// file's length (two bytes), the settings file, then the text file; either may come in any
// form. Rules: the loaded store keeps its limits and holds only valid UTF-8; saving it and
// loading the saved pair gives the same store and settings; saving that again changes no
// byte; a pair that fits the code page is saved in it.
inline std::string SettingsEntry(Input in) {
  const uint8_t flags = in.Byte();
  static const test::FakeCp1252 cp1252;
  static const test::FakeDoubleByte doubleByte;
  const AnsiCodePage& ansi = (flags & 4) ? static_cast<const AnsiCodePage&>(doubleByte) : cp1252;
  const size_t iniLength = in.Word();
  std::optional<std::string> ini, dat;
  std::string iniBytes = in.Bytes(iniLength);
  if (flags & 1) ini = std::move(iniBytes);
  if (flags & 2) dat = in.Rest();

  const LoadContext ctx = detail::FuzzContext();
  const Loaded first = LoadSettings(ini, dat, ctx, ansi);
  const Store& s = *first.store;
  if (s.GroupCount() < 1 || s.GroupCount() > kMaxGroups) return "NumGroups out of range";
  if (s.ActiveGroup < 1 || s.ActiveGroup > s.GroupCount()) return "ActiveGroup out of range";
  for (int g = 1; g <= s.GroupCount(); ++g) {
    const Group& group = s.GroupAt(g);
    if (group.ButtonCount() > kMaxButtons)
      return "NumCommands out of range in group " + std::to_string(g);
    if (group.Columns < 1) return "Columns below 1 in group " + std::to_string(g);
    for (const Button& b : group.Buttons) {
      if (b.String.find('\r') != std::string::npos) return "a text holds a CR";
      for (const std::string* t : {&b.Caption, &b.Description, &b.String})
        if (!IsValidUtf8(*t)) return "a loaded text is not UTF-8: " + Quote(*t);
    }
    if (!IsValidUtf8(group.Name) || !IsValidUtf8(group.Password))
      return "a group name or password is not UTF-8";
  }
  const Settings& st = first.settings;
  if (st.ButtonWidth < 88 || st.ButtonWidth > 200) return "ButtonWidth out of range";
  if (st.Bar.X > ctx.ScreenWidth - 10 || st.Bar.Y > ctx.ScreenHeight - 20)
    return "the bar starts beyond the screen";

  const SavedFiles saved = SaveSettings(s, st, ini, ansi);
  const DecodedFile savedIni = DecodeFile(saved.ini, ansi);
  const DecodedFile savedDat = DecodeFile(saved.dat, ansi);
  const bool fits = ansi.FromUtf8(savedIni.text) && ansi.FromUtf8(savedDat.text);
  if ((savedDat.form == FileForm::Ansi) != fits)
    return fits ? "a pair that fits the code page was saved in Unicode"
                : "a text that does not fit the code page was saved in it";
  if (savedIni.form == FileForm::Ansi && !fits) return "the settings file lost characters";
  if (savedDat.form == FileForm::Utf16) return "the text file was saved as UTF-16";
  const Loaded second = LoadSettings(saved.ini, saved.dat, ctx, ansi);
  if (std::string e = detail::CompareLoads(first, second); !e.empty())
    return "after a save and a load: " + e;
  const SavedFiles again = SaveSettings(*second.store, second.settings, saved.ini, ansi);
  if (again.ini != saved.ini) return "a second save changed the settings file";
  if (again.dat != saved.dat) return "a second save changed the text file";
  return {};
}

}  // namespace ks::fuzz
