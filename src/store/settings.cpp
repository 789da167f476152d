#include "store/settings.h"

#include <algorithm>

#include "store/encoding.h"
#include "store/ini.h"
#include "store/textfile.h"

namespace ks {

namespace {

constexpr const char* kGroups = "Groups";
constexpr const char* kPace = "Pace";

// The counts of the store.
constexpr IntRule kGroupCountRule{1, 1, kMaxGroups};
constexpr IntRule kButtonCountRule{1, 0, kMaxButtons};

// Calls visit(row, value) for each value of a group in its own section. Group's fields are
// bound here by name, so one added to Group stops the build until it has its row here (the
// name is [Groups]' GroupName<g>, the buttons are counted by NumCommands).
template <class G, class Visit>  // G: Group or const Group
void ForEachGroupRow(G& group, Visit&& visit) {
  [[maybe_unused]] auto& [name, columns, password, buttons, programs] = group;
  visit(Number(nullptr, "Columns", {1, 1}), group.Columns);
  visit(Text(nullptr, "Password"), group.Password);
  visit(OnlyWhenSet(Text(nullptr, "Programs")), group.Programs);
}

// The same for a button's values, whose keys take its number. Its text has no row: it
// lives in keystrum.dat ("String<i>" keys of older files are read when there is none, and
// never written).
template <class B, class Visit>  // B: Button or const Button
void ForEachButtonRow(B& button, Visit&& visit) {
  [[maybe_unused]] auto& [caption, description, string, color, shortcut, abbreviation] = button;
  visit(Text(nullptr, "Description"), button.Description);
  visit(Text(nullptr, "Caption", kDefaultCaption), button.Caption);
  visit(OnlyWhenSet(Text(nullptr, "Abbreviation")), button.Abbreviation);
  visit(NumberRow{.Key = "Color", .SystemDefault = &LoadContext::FontColor}, button.Color);
  visit(Number(nullptr, "Shortcut"), button.Shortcut);
}

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

int32_t ReadInt(const IniFile& ini, const std::string& section, const char* key,
                const IntRule& rule) {
  return rule.Apply(ini.GetInt(section, key, rule.Default));
}

void Read(const IniFile& ini, std::string_view section, std::string_view key,
          const NumberRow& row, const LoadContext& ctx, int32_t& out) {
  const int32_t def = row.SystemDefault ? ctx.*row.SystemDefault : row.Rule.Default;
  out = row.Rule.Apply(ini.GetInt(section, key, def));
}

void Read(const IniFile& ini, std::string_view section, std::string_view key,
          const TextRow& row, const LoadContext&, std::string& out) {
  out = ini.GetString(section, key, row.Default);
}

void Write(IniFile& ini, std::string_view section, std::string_view key, const NumberRow& row,
           int32_t value) {
  value = row.Rule.Apply(value);
  if (row.OnlyWhenSet && value == row.Rule.Default && !ini.Get(section, key)) return;
  ini.SetInt(section, key, value);
}

void Write(IniFile& ini, std::string_view section, std::string_view key, const TextRow& row,
           const std::string& value) {
  if (row.OnlyWhenSet && value.empty() && !ini.Get(section, key)) return;
  ini.Set(section, key, EncodeValue(value));
}

// A setting's own row names its section and its key.
template <class Row, class Value>
void ReadSetting(const IniFile& ini, const Row& row, const LoadContext& ctx, Value& out) {
  Read(ini, row.Section, row.Key, row, ctx, out);
}

template <class Row, class Value>
void WriteSetting(IniFile& ini, const Row& row, const Value& value) {
  Write(ini, row.Section, row.Key, row, value);
}

// A window's edge: with no value in the file the window is centred on the screen, and one
// that would begin beyond the screen's far edge less `margin` takes `fallback`.
int32_t ReadEdge(const IniFile& ini, const char* section, const char* key, int32_t screen,
                 int32_t client, int32_t margin, int32_t fallback) {
  const int32_t v = ini.GetInt(section, key, (screen - client) / 2);
  return v > screen - margin ? fallback : v;
}

void ReadSetting(const IniFile& ini, const PlaceFields& place, const LoadContext& ctx,
                 WindowPlace& out) {
  const PlaceRow& row = place.Row;
  const WindowSize client = ctx.*place.Client;
  out.X = ReadEdge(ini, row.Section, "XPosition", ctx.ScreenWidth, client.Width, 10,
                   row.Fallback.X);
  out.Y = ReadEdge(ini, row.Section, "YPosition", ctx.ScreenHeight, client.Height, 20,
                   row.Fallback.Y);
  if (!row.Sized()) return;
  out.Height = ini.GetInt(row.Section, "Height", row.Size.Height);
  out.Width = ini.GetInt(row.Section, "Width", row.Size.Width);
}

void WriteSetting(IniFile& ini, const PlaceFields& place, const WindowPlace& value) {
  const PlaceRow& row = place.Row;
  ini.SetInt(row.Section, "XPosition", value.X);
  ini.SetInt(row.Section, "YPosition", value.Y);
  if (!row.Sized()) return;
  ini.SetInt(row.Section, "Height", value.Height);
  ini.SetInt(row.Section, "Width", value.Width);
}

std::vector<Pace> ReadPaces(const IniFile& ini) {
  std::vector<Pace> paces;
  for (const auto& [program, value] : ini.Entries(kPace))
    if (const int32_t ms = kPaceRule.Apply(ParseIniInt(value, 0)); ms > 0)
      paces.push_back(Pace{program, ms});
  return paces;
}

// ActiveGroup names one of the `groups` groups, or is the first.
IntRule ActiveGroupRule(int groups) {
  return IntRule{.Default = 1, .ValidMin = 1, .ValidMax = groups};
}

}  // namespace

void Settings::Set(int32_t Settings::*member, int32_t value) {
  ForEachSetting(Overloaded{[&](const NumberRow& row, int32_t Settings::*number) {
                              if (number == member) this->*number = row.Rule.Apply(value);
                            },
                            [](const auto&, auto) {}});
}

int32_t PaceFor(const Settings& settings, std::string_view program) {
  if (const size_t slash = program.find_last_of("\\/"); slash != std::string_view::npos)
    program.remove_prefix(slash + 1);
  for (const Pace& p : settings.Paces)
    if (SameIniName(p.Program, program)) return kPaceRule.Apply(p.Milliseconds);
  return 0;
}

std::string GroupSection(int group) {
  return group <= 1 ? std::string("Commands") : Numbered("Commands", group - 1);
}

Loaded LoadSettings(const std::optional<std::string>& iniBytes,
                    const std::optional<std::string>& dat, const LoadContext& ctx,
                    const AnsiCodePage& ansi) {
  IniFile ini(iniBytes ? DecodeFile(*iniBytes, ansi).text : std::string());
  Loaded out{std::make_unique<Store>(), Settings{}};
  ForEachSetting([&](const auto& row, auto member) {
    ReadSetting(ini, row, ctx, out.settings.*member);
  });
  out.settings.Paces = ReadPaces(ini);

  Store& store = *out.store;
  store.Groups.resize(ReadInt(ini, kGroups, "NumGroups", kGroupCountRule));
  store.ActiveGroup = ReadInt(ini, kGroups, "ActiveGroup", ActiveGroupRule(store.GroupCount()));

  std::string datText;
  std::optional<TextFileReader> texts;
  if (dat) {
    datText = DecodeFile(*dat, ansi).text;
    texts.emplace(datText);
  }
  for (int g = 1; g <= store.GroupCount(); ++g) {
    Group& group = store.GroupAt(g);
    const std::string section = GroupSection(g);
    group.Name = ini.GetString(kGroups, Numbered("GroupName", g), kDefaultGroupName);
    group.Buttons.resize(ReadInt(ini, section, "NumCommands", kButtonCountRule));
    ForEachGroupRow(group, [&](const auto& row, auto& value) {
      Read(ini, section, row.Key, row, ctx, value);
    });
    for (int i = 1; i <= group.ButtonCount(); ++i) {
      Button& b = group.ButtonAt(i);
      ForEachButtonRow(b, [&](const auto& row, auto& value) {
        Read(ini, section, Numbered(row.Key, i), row, ctx, value);
      });
      if (texts && texts->AtEnd()) ++out.missingTexts;
      b.String = texts ? texts->ReadLine()
                       : ini.GetString(section, Numbered("String", i), kDefaultString);
    }
  }
  return out;
}

SavedFiles SaveSettings(const Store& store, const Settings& s,
                        const std::optional<std::string>& oldIni, const AnsiCodePage& ansi) {
  const DecodedFile old = oldIni ? DecodeFile(*oldIni, ansi) : DecodedFile{};
  IniFile ini(old.text);
  ForEachSetting([&](const auto& row, auto member) { WriteSetting(ini, row, s.*member); });

  // The counts are written as they are walked, so the file never names more than it holds.
  const int numGroups = kGroupCountRule.Apply(store.GroupCount());
  ini.SetInt(kGroups, "NumGroups", numGroups);
  ini.SetInt(kGroups, "ActiveGroup", ActiveGroupRule(numGroups).Apply(store.ActiveGroup));

  TextFileWriter texts;
  // A store without groups, which the program never makes, is written as one empty group.
  const Group none;
  for (int g = 1; g <= numGroups; ++g) {
    const Group& group = store.HasGroup(g) ? store.GroupAt(g) : none;
    const std::string section = GroupSection(g);
    const int numCommands = kButtonCountRule.Apply(group.ButtonCount());
    ini.Set(kGroups, Numbered("GroupName", g), EncodeValue(group.Name));
    ini.SetInt(section, "NumCommands", numCommands);
    ForEachGroupRow(group, [&](const auto& row, const auto& value) {
      Write(ini, section, row.Key, row, value);
    });
    for (int i = 1; i <= numCommands; ++i) {
      const Button& b = group.ButtonAt(i);
      ForEachButtonRow(b, [&](const auto& row, const auto& value) {
        Write(ini, section, Numbered(row.Key, i), row, value);
      });
      texts.WriteLine(b.String);
    }
  }
  const std::string iniText = ini.Serialize();
  const std::string datText = texts.Take();
  std::optional<std::string> iniAnsi = ansi.FromUtf8(iniText);
  std::optional<std::string> datAnsi = ansi.FromUtf8(datText);
  // The form follows what this save writes: lines it leaves alone (keys of removed groups
  // and buttons above all) that the code page cannot hold are dropped rather than keep the
  // file in UTF-16. A settings file with a UTF-8 mark holds them in either form. A pace is
  // no leftover but a setting only the user writes, maybe since the load: one in the file
  // that the code page cannot hold keeps the settings file in Unicode.
  const std::vector<Pace> paces = ReadPaces(ini);
  const bool pacesFit = std::all_of(paces.begin(), paces.end(), [&](const Pace& p) {
    return ansi.FromUtf8(p.Program).has_value();
  });
  if (!iniAnsi && datAnsi && old.form != FileForm::Utf8 && pacesFit)
    iniAnsi = ansi.FromUtf8(
        ini.Serialize([&](std::string_view line) { return ansi.FromUtf8(line).has_value(); }));
  // A settings file that came with a UTF-8 mark keeps it: the platform reads that form too.
  if (iniAnsi && datAnsi)
    return SavedFiles{old.form == FileForm::Utf8 ? EncodeFile(iniText, FileForm::Utf8, ansi)
                                                 : std::move(*iniAnsi),
                      std::move(*datAnsi)};
  return SavedFiles{
      EncodeFile(iniText, old.form == FileForm::Utf8 ? FileForm::Utf8 : FileForm::Utf16, ansi),
      EncodeFile(datText, FileForm::Utf8, ansi)};
}

}  // namespace ks
