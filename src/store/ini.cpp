#include "store/ini.h"

#include <algorithm>
#include <iterator>

namespace ks {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsIniBlank(s[b])) ++b;
  while (e > b && IsIniBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// A file line cannot hold a line break; the platform would write it raw and split the line.
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

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool IsIniBlank(char c) { return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == ' '; }

IniFile::IniFile(std::string_view bytes) {
  // The platform reads a UTF-8 mark as an encoding marker, not as text of the first line.
  size_t pos = 0;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) pos = kUtf8Bom.size();
  if (pos) lines_.push_back(Line{std::string(kUtf8Bom), ""});

  Section* current = nullptr;  // lines before the first header belong to no section
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    size_t next = end;
    if (next < bytes.size()) next += (bytes[next] == '\r' && next + 1 < bytes.size() &&
                                      bytes[next + 1] == '\n')
                                         ? 2
                                         : 1;
    lines_.push_back(Line{std::string(bytes.substr(pos, end - pos)),
                          std::string(bytes.substr(end, next - end))});
    pos = next;

    LineIt it = std::prev(lines_.end());
    std::string_view text = it->text;
    std::string_view trimmed = Trim(text);
    if (trimmed.empty() || trimmed.front() == ';') continue;

    if (trimmed.front() == '[') {
      size_t close = trimmed.rfind(']');
      if (close != std::string_view::npos && close > 0) {
        current = &AddSectionRecord(Trim(trimmed.substr(1, close - 1)), it);
        continue;
      }
      // Without a closing bracket the platform takes the line as an entry.
    }
    if (!current) continue;

    size_t lead = static_cast<size_t>(trimmed.data() - text.data());
    size_t eq = trimmed.find('=');
    std::string_view name = Trim(trimmed.substr(0, eq));
    size_t valueStart = std::string_view::npos;
    if (eq != std::string_view::npos) {
      valueStart = lead + eq + 1;
      while (valueStart < text.size() && IsIniBlank(text[valueStart])) ++valueStart;
    }
    current->entries.try_emplace(Lower(name), Entry{it, valueStart});
    current->last = it;
  }
}

IniFile::Section& IniFile::AddSectionRecord(std::string_view name, LineIt header) {
  sections_.push_back(Section{std::string(name), header, {}});
  sectionIndex_.try_emplace(Lower(name), sections_.size() - 1);
  return sections_.back();
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
  section = Trim(section);
  key = Trim(key);
  if (section.empty() || key.empty()) return nullptr;
  auto s = sectionIndex_.find(Lower(section));
  if (s == sectionIndex_.end()) return nullptr;
  const auto& entries = sections_[s->second].entries;
  auto e = entries.find(Lower(key));
  return e == entries.end() ? nullptr : &e->second;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  const Entry* e = Find(section, key);
  if (!e || e->valueStart == std::string::npos) return std::nullopt;
  std::string_view v = e->line->text;
  v = v.substr(std::min(e->valueStart, v.size()));
  while (!v.empty() && IsIniBlank(v.back())) v.remove_suffix(1);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, kMaxValue));
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view def) const {
  auto v = Get(section, key);
  return v ? std::move(*v) : std::string(def);
}

int32_t IniFile::GetInt(std::string_view section, std::string_view key, int32_t def) const {
  auto v = Get(section, key);
  return v ? ParseIniInt(*v, def) : def;
}

IniFile::LineIt IniFile::InsertAfter(LineIt pos, std::string text) {
  if (pos->eol.empty()) pos->eol = "\r\n";
  return lines_.insert(std::next(pos), Line{std::move(text), "\r\n"});
}

void IniFile::Set(std::string_view sectionName, std::string_view keyName,
                  std::string_view rawValue) {
  std::string section = OneLine(Trim(sectionName));
  std::string key = OneLine(Trim(keyName));
  std::string value = OneLine(rawValue);
  if (section.empty() || key.empty()) return;

  Section* s;
  auto si = sectionIndex_.find(Lower(section));
  if (si != sectionIndex_.end()) {
    s = &sections_[si->second];
  } else {
    LineIt header;
    if (lines_.empty()) {
      lines_.push_back(Line{"[" + section + "]", "\r\n"});
      header = std::prev(lines_.end());
    } else {
      // A blank line sets the new section apart from whatever the file ends with.
      header = InsertAfter(InsertAfter(std::prev(lines_.end()), ""), "[" + section + "]");
    }
    s = &AddSectionRecord(section, header);
  }

  std::string lowKey = Lower(key);
  auto ei = s->entries.find(lowKey);
  if (ei != s->entries.end()) {
    Entry& e = ei->second;
    std::string& text = e.line->text;
    if (e.valueStart == std::string::npos) {
      text += '=';
      e.valueStart = text.size();
    }
    text.resize(std::min(e.valueStart, text.size()));
    text += value;
    return;
  }
  LineIt line = InsertAfter(s->last, key + "=" + value);
  s->entries.emplace(std::move(lowKey), Entry{line, key.size() + 1});
  s->last = line;
}

void IniFile::SetInt(std::string_view section, std::string_view key, int32_t value) {
  Set(section, key, std::to_string(value));
}

std::string IniFile::Serialize() const {
  size_t total = 0;
  for (const Line& l : lines_) total += l.text.size() + l.eol.size();
  std::string out;
  out.reserve(total);
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
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
