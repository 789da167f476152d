#include "store/ini.h"

#include <algorithm>
#include <iterator>

#include "text/utf.h"

namespace ks {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsIniBlank(s[b])) ++b;
  while (e > b && IsIniBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string OneLine(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += ' ';
    } else {
      out += s[i];
    }
  }
  return out;
}

bool IsIniBlank(char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' '; }

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

uint32_t CaseBlindHash(int32_t section, std::string_view s) {
  uint32_t h = 2166136261u ^ static_cast<uint32_t>(section + 1) * 16777619u;
  for (char c : s) h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * 16777619u;
  return h;
}

// The name of an entry line, trimmed: what comes before its first "=", or all of it.
std::string_view EntryName(std::string_view trimmedLine) {
  return Trim(trimmedLine.substr(0, trimmedLine.find('=')));
}

const char* EolText(uint8_t eol) {
  static const char* const kEol[] = {"", "\r\n", "\n", "\r"};
  return kEol[eol];
}

}  // namespace

bool SameIniName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

IniFile::IniFile(std::string_view bytes) : src_(bytes.begin(), bytes.end()) {
  const std::string_view all(src_.data(), src_.size());
  // The platform reads a UTF-8 mark as an encoding marker, not as text of the first line.
  if (all.substr(0, kUtf8Bom.size()) == kUtf8Bom) bom_ = kUtf8Bom.size();
  // Sized once from the number of line ends: growing would cost as much as the parse.
  size_t breaks = 1;
  for (char c : all) breaks += c == '\n' || c == '\r';
  lines_.reserve(breaks);
  size_t slots = 64;
  while (slots * 5 < breaks * 8) slots *= 2;
  slots_.resize(slots);

  int32_t current = -1;  // lines before the first header belong to no section
  size_t pos = bom_;
  while (pos < all.size()) {
    size_t end = pos;
    while (end < all.size() && all[end] != '\r' && all[end] != '\n') ++end;
    Line line;
    line.off = static_cast<uint32_t>(pos);
    line.len = static_cast<uint32_t>(end - pos);
    pos = end;
    if (pos < all.size()) {
      bool crlf = all[pos] == '\r' && pos + 1 < all.size() && all[pos + 1] == '\n';
      line.eol = crlf ? 1 : all[pos] == '\n' ? 2 : 3;
      pos += crlf ? 2 : 1;
    }
    const auto index = static_cast<int32_t>(lines_.size());
    if (index > 0) lines_.back().next = index;
    lines_.push_back(line);
    tail_ = index;

    current = ReadLine(index, current);
  }
}

int32_t IniFile::ReadLine(int32_t index, int32_t current) {
  const Line& line = lines_[static_cast<size_t>(index)];
  std::string_view text(src_.data() + line.off, line.len);
  std::string_view trimmed = Trim(text);
  if (trimmed.empty() || trimmed.front() == ';') return current;
  if (trimmed.front() == '[') {
    size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      current = AddSection(Trim(trimmed.substr(1, close - 1)), index);
      lines_[static_cast<size_t>(index)].header = true;
      return current;
    }
    // Without a closing bracket the platform takes the line as an entry.
  }
  if (current < 0) return current;

  size_t lead = static_cast<size_t>(trimmed.data() - text.data());
  size_t eq = trimmed.find('=');
  uint32_t value = kNoValue;
  if (eq != std::string_view::npos) {
    size_t v = lead + eq + 1;
    while (v < text.size() && IsIniBlank(text[v])) ++v;
    value = static_cast<uint32_t>(v);
  }
  Insert(current, EntryName(trimmed), index, value);
  sectionLast_[static_cast<size_t>(current)] = index;
  return current;
}

std::string_view IniFile::Text(const Line& l) const {
  return l.owned >= 0 ? std::string_view(texts_[static_cast<size_t>(l.owned)])
                      : std::string_view(src_.data() + l.off, l.len);
}

size_t IniFile::Probe(int32_t section, std::string_view name, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (!s.name || (s.hash == hash && s.section == section &&
                    SameIniName(std::string_view(s.name, s.nameLen), name)))
      return i;
  }
}

// Only the first of a name is kept: later duplicates are never seen.
void IniFile::Insert(int32_t section, std::string_view name, int32_t line, uint32_t value) {
  if ((used_ + 1) * 10 > slots_.size() * 7) {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
      if (s.name) slots_[Probe(s.section, std::string_view(s.name, s.nameLen), s.hash)] = s;
  }
  const uint32_t hash = CaseBlindHash(section, name);
  Slot& slot = slots_[Probe(section, name, hash)];
  if (slot.name) return;
  // The name's pointer marks the slot used; an empty name gets one that is not null.
  slot = Slot{name.empty() ? "" : name.data(), static_cast<uint32_t>(name.size()), hash,
              section, line, value};
  ++used_;
}

int32_t IniFile::AddSection(std::string_view name, int32_t header) {
  const auto index = static_cast<int32_t>(sectionLast_.size());
  sectionLast_.push_back(header);
  Insert(-1, name, header, static_cast<uint32_t>(index));
  return index;
}

const IniFile::Slot* IniFile::FindSection(std::string_view section) const {
  section = Trim(section);
  if (section.empty() || slots_.empty()) return nullptr;
  const Slot& s = slots_[Probe(-1, section, CaseBlindHash(-1, section))];
  return s.name ? &s : nullptr;
}

std::string_view IniFile::Value(const Slot& entry) const {
  std::string_view v = Text(lines_[static_cast<size_t>(entry.line)]);
  v = v.substr(std::min<size_t>(entry.value, v.size()));
  while (!v.empty() && IsIniBlank(v.back())) v.remove_suffix(1);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return Utf8Prefix(v, kMaxValue);
}

std::optional<std::string_view> IniFile::Find(std::string_view section,
                                              std::string_view key) const {
  const Slot* s = FindSection(section);
  key = Trim(key);
  if (!s || key.empty()) return std::nullopt;
  const auto sec = static_cast<int32_t>(s->value);
  const Slot& e = slots_[Probe(sec, key, CaseBlindHash(sec, key))];
  if (!e.name || e.value == kNoValue) return std::nullopt;
  return Value(e);
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  const Slot* s = FindSection(section);
  if (!s) return out;
  const auto sec = static_cast<int32_t>(s->value);
  // The first section of the name runs from its header to the next one; new keys are
  // chained in before that.
  for (int32_t i = lines_[static_cast<size_t>(s->line)].next;
       i >= 0 && !lines_[static_cast<size_t>(i)].header; i = lines_[static_cast<size_t>(i)].next) {
    const std::string_view line = Trim(Text(lines_[static_cast<size_t>(i)]));
    if (line.empty() || line.front() == ';') continue;
    const std::string_view name = EntryName(line);
    if (name.empty()) continue;
    // Only the line the name's slot points at is its first entry.
    const Slot& e = slots_[Probe(sec, name, CaseBlindHash(sec, name))];
    if (e.line != i || e.value == kNoValue) continue;
    out.emplace_back(name, Value(e));
  }
  return out;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  auto v = Find(section, key);
  return v ? std::optional<std::string>(std::string(*v)) : std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view def) const {
  return std::string(Find(section, key).value_or(def));
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t def) const {
  auto v = Find(section, key);
  return v ? ParseIniInt(*v, def) : def;
}

int32_t IniFile::InsertAfter(int32_t pos, std::string text) {
  const auto index = static_cast<int32_t>(lines_.size());
  Line line;
  line.owned = static_cast<int32_t>(texts_.size());
  texts_.push_back(std::move(text));
  line.eol = 1;
  if (pos >= 0) {  // else the first line of an empty file
    Line& before = lines_[static_cast<size_t>(pos)];
    if (before.eol == 0) before.eol = 1;
    line.next = before.next;
    before.next = index;
  }
  lines_.push_back(line);
  if (pos == tail_) tail_ = index;
  return index;
}

std::string_view IniFile::Keep(std::string_view name) { return names_.emplace_back(name); }

void IniFile::Set(std::string_view sectionName, std::string_view keyName,
                  std::string_view rawValue) {
  const std::string section = OneLine(Trim(sectionName));
  const std::string key = OneLine(Trim(keyName));
  if (section.empty() || key.empty()) return;
  if (slots_.empty()) slots_.resize(64);

  int32_t sec;
  const Slot& s = slots_[Probe(-1, section, CaseBlindHash(-1, section))];
  if (s.name) {
    sec = static_cast<int32_t>(s.value);
    lines_[static_cast<size_t>(s.line)].written = true;
  } else {
    // A blank line sets the new section apart from whatever the file ends with.
    int32_t at = tail_ < 0 ? -1 : InsertAfter(tail_, "");
    const int32_t header = InsertAfter(at, "[" + section + "]");
    lines_[static_cast<size_t>(header)].header = lines_[static_cast<size_t>(header)].written = true;
    sec = AddSection(Keep(section), header);
  }

  const std::string value = OneLine(rawValue);
  const uint32_t hash = CaseBlindHash(sec, key);
  Slot& e = slots_[Probe(sec, key, hash)];
  if (e.name) {
    Line& line = lines_[static_cast<size_t>(e.line)];
    line.written = true;
    std::string_view text = Text(line);
    if (e.value != kNoValue && text.substr(std::min<size_t>(e.value, text.size())) == value)
      return;  // as it stands: the line keeps its bytes
    std::string updated(text.substr(0, e.value == kNoValue ? text.size() : e.value));
    if (e.value == kNoValue) updated += '=';
    e.value = static_cast<uint32_t>(updated.size());
    updated += value;
    if (line.owned < 0) {
      line.owned = static_cast<int32_t>(texts_.size());
      texts_.push_back(std::move(updated));
    } else {
      texts_[static_cast<size_t>(line.owned)] = std::move(updated);
    }
    return;
  }
  const int32_t line = InsertAfter(sectionLast_[static_cast<size_t>(sec)], key + "=" + value);
  lines_[static_cast<size_t>(line)].written = true;
  sectionLast_[static_cast<size_t>(sec)] = line;
  Insert(sec, Keep(key), line, static_cast<uint32_t>(key.size() + 1));
}

void IniFile::SetInt(std::string_view section, std::string_view key, int32_t value) {
  Set(section, key, std::to_string(value));
}

std::string IniFile::Serialize() const { return Serialize(nullptr); }

std::string IniFile::Serialize(const std::function<bool(std::string_view line)>& keep) const {
  size_t total = bom_;
  for (const Line& l : lines_) total += Text(l).size() + 2;
  std::string out;
  out.reserve(total);
  out.append(src_.data(), bom_);
  bool dropSection = false;
  for (int32_t i = lines_.empty() ? -1 : 0; i >= 0; i = lines_[static_cast<size_t>(i)].next) {
    const Line& l = lines_[static_cast<size_t>(i)];
    const bool kept = !keep || l.written || keep(Text(l));
    if (l.header) dropSection = !kept;
    if (!kept || dropSection) continue;
    out += Text(l);
    out += EolText(l.eol);
  }
  return out;
}

int32_t ParseIniInt(std::string_view s, int32_t def) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s.front() == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return def;

  uint64_t v = 0;
  for (char c : s) {
    int d = HexDigit(c);
    if (d < 0 || d >= base) return def;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (v > 0xFFFFFFFFull) return def;
  }
  uint32_t bits;
  if (base == 16) {
    bits = static_cast<uint32_t>(v);
  } else {
    if (v > (negative ? 2147483648ull : 2147483647ull)) return def;
    bits = static_cast<uint32_t>(v);
  }
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

std::string EncodeValue(std::string_view text) {
  std::string v = OneLine(text);
  bool quote = !v.empty() && (IsIniBlank(v.front()) || IsIniBlank(v.back()) ||
                              (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') &&
                               v.back() == v.front()));
  return quote ? "\"" + v + "\"" : v;
}

}  // namespace ks
