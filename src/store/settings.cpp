#include "store/settings.h"

#include <algorithm>
#include <iterator>

#include "store/encoding.h"
#include "store/ini.h"
#include "store/textfile.h"

namespace ks {

namespace {

using S = Settings;
using C = LoadContext;

constexpr const char* kGroups = "Groups";
constexpr const char* kPace = "Pace";

constexpr SettingRow Number(const char* section, const char* key, int32_t S::*member,
                            IntRule rule = {}) {
  return {section, key, member, rule};
}

// The left (X) or top (Y) edge of a window whose design client size is `client`.
constexpr SettingRow Edge(const char* section, bool top, int32_t S::*member, int32_t C::*client,
                          ScreenPoint fallback) {
  SettingRow row{section, top ? "YPosition" : "XPosition", member};
  row.Edge = top ? EdgeRule{&C::ScreenHeight, client, 20, fallback.Y}
                 : EdgeRule{&C::ScreenWidth, client, 10, fallback.X};
  return row;
}

constexpr SettingRow kSettingRows[] = {
    Edge("Window", false, &S::BarX, &C::BarClientWidth, kBarFallback),
    Edge("Window", true, &S::BarY, &C::BarClientHeight, kBarFallback),
    Number("Window", "ButtonWidth", &S::ButtonWidth, kButtonWidthRule),
    Edge("TypeWindow", false, &S::EditorX, &C::EditorClientWidth, kEditorFallback),
    Edge("TypeWindow", true, &S::EditorY, &C::EditorClientHeight, kEditorFallback),
    Number("TypeWindow", "Height", &S::EditorHeight, {kEditorHeight}),
    Number("TypeWindow", "Width", &S::EditorWidth, {kEditorWidth}),
    Edge("ListWindow", false, &S::ListX, &C::ListClientWidth, kListFallback),
    Edge("ListWindow", true, &S::ListY, &C::ListClientHeight, kListFallback),
    Number("ListWindow", "Height", &S::ListHeight, {kListHeight}),
    Number("ListWindow", "Width", &S::ListWidth, {kListWidth}),
    {"Font", "Name", nullptr, {}, &S::FontName, kDesignFontName},
    Number("Font", "Size", &S::FontSize, kFontSizeRule),
    // Absent means on; anything but 0 or 1 too.
    {.Section = "Options", .Key = "Abbreviations", .Number = &S::Abbreviations,
     .Rule = {1, 0, 1, 0, 1}, .OnlyWhenSet = true},
};

// The counts of the store.
constexpr IntRule kGroupCountRule{1, 1, kMaxGroups};
constexpr IntRule kButtonCountRule{1, 0, kMaxButtons};

constexpr FieldRow<Group> kGroupRows[] = {
    {nullptr, "Columns", &Group::Columns, {1, 1}},
    {nullptr, "Password", nullptr, {}, &Group::Password, ""},
};

// A button's text is not among them: it lives in keystrum.dat ("String<i>" keys of older
// files are read when there is none, and never written).
constexpr FieldRow<Button> kButtonRows[] = {
    {nullptr, "Description", nullptr, {}, &Button::Description, ""},
    {nullptr, "Caption", nullptr, {}, &Button::Caption, kDefaultCaption},
    {.Section = nullptr, .Key = "Abbreviation", .Text = &Button::Abbreviation, .OnlyWhenSet = true},
    {nullptr, "Color", &Button::Color, {}, nullptr, "", &C::FontColor},
    {nullptr, "Shortcut", &Button::Shortcut},
};

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

int32_t ReadInt(const IniFile& ini, const std::string& section, const char* key,
                const IntRule& rule) {
  return rule.Apply(ini.GetInt(section, key, rule.Default));
}

template <class R>
void Read(const IniFile& ini, const std::string& section, const std::string& key,
          const FieldRow<R>& row, const LoadContext& ctx, R& out) {
  if (row.Text) {
    out.*row.Text = ini.GetString(section, key, row.TextDefault);
  } else if (const EdgeRule& e = row.Edge; e.Screen) {
    const int32_t screen = ctx.*e.Screen;
    const int32_t v = ini.GetInt(section, key, (screen - ctx.*e.Client) / 2);
    out.*row.Number = v > screen - e.Margin ? e.Fallback : v;
  } else {
    const int32_t def = row.SystemDefault ? ctx.*row.SystemDefault : row.Rule.Default;
    out.*row.Number = row.Rule.Apply(ini.GetInt(section, key, def));
  }
}

template <class R>
void Write(IniFile& ini, const std::string& section, const std::string& key,
           const FieldRow<R>& row, const R& in) {
  if (row.OnlyWhenSet && !ini.Get(section, key) &&
      (row.Text ? (in.*row.Text).empty() : row.Rule.Apply(in.*row.Number) == row.Rule.Default))
    return;
  if (row.Text)
    ini.Set(section, key, EncodeValue(in.*row.Text));
  else
    ini.SetInt(section, key, row.Rule.Apply(in.*row.Number));
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

std::span<const SettingRow> SettingRows() { return kSettingRows; }

Settings::Settings() {
  for (const SettingRow& row : kSettingRows) {
    if (row.Text)
      this->*row.Text = row.TextDefault;
    else
      this->*row.Number = row.Rule.Default;
  }
}

void Settings::Set(int32_t Settings::*member, int32_t value) {
  const auto row = std::find_if(std::begin(kSettingRows), std::end(kSettingRows),
                                [&](const SettingRow& r) { return r.Number == member; });
  this->*member = row != std::end(kSettingRows) ? row->Rule.Apply(value) : value;
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
  for (const SettingRow& row : kSettingRows)
    Read(ini, row.Section, row.Key, row, ctx, out.settings);
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
    for (const auto& row : kGroupRows) Read(ini, section, row.Key, row, ctx, group);
    for (int i = 1; i <= group.ButtonCount(); ++i) {
      Button& b = group.ButtonAt(i);
      for (const auto& row : kButtonRows) Read(ini, section, Numbered(row.Key, i), row, ctx, b);
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
  for (const SettingRow& row : kSettingRows) Write(ini, row.Section, row.Key, row, s);

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
    for (const auto& row : kGroupRows) Write(ini, section, row.Key, row, group);
    for (int i = 1; i <= numCommands; ++i) {
      const Button& b = group.ButtonAt(i);
      for (const auto& row : kButtonRows) Write(ini, section, Numbered(row.Key, i), row, b);
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
