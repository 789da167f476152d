#include "store/settings.h"

#include <algorithm>

#include "store/encoding.h"
#include "store/ini.h"
#include "store/textfile.h"

namespace ks {

namespace {

constexpr const char* kWindow = "Window";
constexpr const char* kTypeWindow = "TypeWindow";
constexpr const char* kListWindow = "ListWindow";
constexpr const char* kFont = "Font";
constexpr const char* kGroups = "Groups";

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

// A window's left and top edge: centred from its design client size unless stored, and
// pulled back to a fixed place when it would start beyond the screen's right or bottom.
void LoadPlace(const IniFile& ini, const char* section, const LoadContext& ctx, int32_t clientW,
               int32_t clientH, int32_t fallbackX, int32_t fallbackY, int32_t& x, int32_t& y) {
  x = ini.GetInt(section, "XPosition", (ctx.ScreenWidth - clientW) / 2);
  if (x > ctx.ScreenWidth - 10) x = fallbackX;
  y = ini.GetInt(section, "YPosition", (ctx.ScreenHeight - clientH) / 2);
  if (y > ctx.ScreenHeight - 20) y = fallbackY;
}

void SetString(IniFile& ini, const std::string& section, const std::string& key,
               const std::string& value) {
  ini.Set(section, key, EncodeValue(value));
}

}  // namespace

std::string GroupSection(int group) {
  return group <= 1 ? std::string("Commands") : Numbered("Commands", group - 1);
}

Loaded LoadSettings(const std::optional<std::string>& iniBytes,
                    const std::optional<std::string>& dat, const LoadContext& ctx,
                    const AnsiCodePage& ansi) {
  IniFile ini(iniBytes ? DecodeFile(*iniBytes, ansi).text : std::string());
  Loaded out{std::make_unique<Store>(), Settings{}};
  Settings& s = out.settings;
  Store& store = *out.store;

  int32_t width = ini.GetInt(kWindow, "ButtonWidth", 100);
  if (width < 50 || width > 200) width = 100;
  s.ButtonWidth = std::max(width, 88);
  LoadPlace(ini, kWindow, ctx, ctx.BarClientWidth, ctx.BarClientHeight, 200, 100, s.BarX, s.BarY);

  LoadPlace(ini, kTypeWindow, ctx, ctx.EditorClientWidth, ctx.EditorClientHeight, 300, 100,
            s.EditorX, s.EditorY);
  s.EditorHeight = ini.GetInt(kTypeWindow, "Height", 230);
  s.EditorWidth = ini.GetInt(kTypeWindow, "Width", 400);

  LoadPlace(ini, kListWindow, ctx, ctx.ListClientWidth, ctx.ListClientHeight, 200, 300, s.ListX,
            s.ListY);
  s.ListHeight = ini.GetInt(kListWindow, "Height", 140);
  s.ListWidth = ini.GetInt(kListWindow, "Width", 120);

  s.FontName = ini.GetString(kFont, "Name", ctx.FontName);
  s.FontSize = ini.GetInt(kFont, "Size", ctx.FontSize);

  store.NumGroups = std::clamp(ini.GetInt(kGroups, "NumGroups", 1), 1, kMaxGroups);
  store.ActiveGroup = ini.GetInt(kGroups, "ActiveGroup", 1);
  if (store.ActiveGroup < 1 || store.ActiveGroup > store.NumGroups) store.ActiveGroup = 1;

  std::string datText;
  std::optional<TextFileReader> texts;
  if (dat) {
    datText = DecodeFile(*dat, ansi).text;
    texts.emplace(datText);
  }
  for (int g = 1; g <= store.NumGroups; ++g) {
    GroupRec& group = store.Groups[g];
    const std::string section = GroupSection(g);
    group.GroupName = ini.GetString(kGroups, Numbered("GroupName", g), kDefaultGroupName);
    group.NumCommands = std::clamp(ini.GetInt(section, "NumCommands", 1), 0, kMaxButtons);
    group.Columns = std::max(ini.GetInt(section, "Columns", 1), 1);
    group.Password = ini.GetString(section, "Password", "");
    DataRec& d = store.Data[g];
    for (int i = 1; i <= group.NumCommands; ++i) {
      d.Description[i] = ini.GetString(section, Numbered("Description", i), "");
      d.Caption[i] = ini.GetString(section, Numbered("Caption", i), kDefaultCaption);
      d.Color[i] = ini.GetInt(section, Numbered("Color", i), ctx.FontColor);
      d.Shortcut[i] = ini.GetInt(section, Numbered("Shortcut", i), 0);
      d.String[i] = texts ? texts->ReadLine()
                          : ini.GetString(section, Numbered("String", i), kDefaultString);
    }
  }
  return out;
}

SavedFiles SaveSettings(const Store& store, const Settings& s,
                        const std::optional<std::string>& oldIni, const AnsiCodePage& ansi) {
  const DecodedFile old = oldIni ? DecodeFile(*oldIni, ansi) : DecodedFile{};
  IniFile ini(old.text);

  ini.SetInt(kWindow, "XPosition", s.BarX);
  ini.SetInt(kWindow, "YPosition", s.BarY);
  ini.SetInt(kWindow, "ButtonWidth", s.ButtonWidth);

  ini.SetInt(kTypeWindow, "XPosition", s.EditorX);
  ini.SetInt(kTypeWindow, "YPosition", s.EditorY);
  ini.SetInt(kTypeWindow, "Height", s.EditorHeight);
  ini.SetInt(kTypeWindow, "Width", s.EditorWidth);

  ini.SetInt(kListWindow, "XPosition", s.ListX);
  ini.SetInt(kListWindow, "YPosition", s.ListY);
  ini.SetInt(kListWindow, "Height", s.ListHeight);
  ini.SetInt(kListWindow, "Width", s.ListWidth);

  SetString(ini, kFont, "Name", s.FontName);
  ini.SetInt(kFont, "Size", s.FontSize);

  // The counts are written as they are walked, so the file never names more than it holds.
  const int numGroups = std::clamp(store.NumGroups, 1, kMaxGroups);
  int active = store.ActiveGroup;
  if (active < 1 || active > numGroups) active = 1;
  ini.SetInt(kGroups, "NumGroups", numGroups);
  ini.SetInt(kGroups, "ActiveGroup", active);

  TextFileWriter texts;
  for (int g = 1; g <= numGroups; ++g) {
    const GroupRec& group = store.Groups[g];
    const DataRec& d = store.Data[g];
    const std::string section = GroupSection(g);
    const int numCommands = std::clamp(group.NumCommands, 0, kMaxButtons);
    SetString(ini, kGroups, Numbered("GroupName", g), group.GroupName);
    ini.SetInt(section, "NumCommands", numCommands);
    ini.SetInt(section, "Columns", std::max(group.Columns, 1));
    SetString(ini, section, "Password", group.Password);
    for (int i = 1; i <= numCommands; ++i) {
      SetString(ini, section, Numbered("Description", i), d.Description[i]);
      SetString(ini, section, Numbered("Caption", i), d.Caption[i]);
      ini.SetInt(section, Numbered("Color", i), d.Color[i]);
      ini.SetInt(section, Numbered("Shortcut", i), d.Shortcut[i]);
      texts.WriteLine(d.String[i]);
    }
  }
  const std::string iniText = ini.Serialize();
  const std::string datText = texts.Take();
  std::optional<std::string> iniAnsi = ansi.FromUtf8(iniText);
  std::optional<std::string> datAnsi = ansi.FromUtf8(datText);
  // The form follows what this save writes: lines it leaves alone (keys of removed groups
  // and buttons above all) that the code page cannot hold are dropped rather than keep the
  // file in UTF-16. A settings file with a UTF-8 mark holds them in either form.
  if (!iniAnsi && datAnsi && old.form != FileForm::Utf8)
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
