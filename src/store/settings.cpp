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

  store.Groups.resize(std::clamp(ini.GetInt(kGroups, "NumGroups", 1), 1, kMaxGroups));
  store.ActiveGroup = ini.GetInt(kGroups, "ActiveGroup", 1);
  if (!store.HasGroup(store.ActiveGroup)) store.ActiveGroup = 1;

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
    group.Buttons.resize(std::clamp(ini.GetInt(section, "NumCommands", 1), 0, kMaxButtons));
    group.Columns = std::max(ini.GetInt(section, "Columns", 1), 1);
    group.Password = ini.GetString(section, "Password", "");
    for (int i = 1; i <= group.ButtonCount(); ++i) {
      Button& b = group.ButtonAt(i);
      b.Description = ini.GetString(section, Numbered("Description", i), "");
      b.Caption = ini.GetString(section, Numbered("Caption", i), kDefaultCaption);
      b.Color = ini.GetInt(section, Numbered("Color", i), ctx.FontColor);
      b.Shortcut = ini.GetInt(section, Numbered("Shortcut", i), 0);
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
  const int numGroups = std::clamp(store.GroupCount(), 1, kMaxGroups);
  int active = store.ActiveGroup;
  if (active < 1 || active > numGroups) active = 1;
  ini.SetInt(kGroups, "NumGroups", numGroups);
  ini.SetInt(kGroups, "ActiveGroup", active);

  TextFileWriter texts;
  // A store without groups, which the program never makes, is written as one empty group.
  const Group none;
  for (int g = 1; g <= numGroups; ++g) {
    const Group& group = store.HasGroup(g) ? store.GroupAt(g) : none;
    const std::string section = GroupSection(g);
    const int numCommands = std::min(group.ButtonCount(), kMaxButtons);
    SetString(ini, kGroups, Numbered("GroupName", g), group.Name);
    ini.SetInt(section, "NumCommands", numCommands);
    ini.SetInt(section, "Columns", std::max(group.Columns, 1));
    SetString(ini, section, "Password", group.Password);
    for (int i = 1; i <= numCommands; ++i) {
      const Button& b = group.ButtonAt(i);
      SetString(ini, section, Numbered("Description", i), b.Description);
      SetString(ini, section, Numbered("Caption", i), b.Caption);
      ini.SetInt(section, Numbered("Color", i), b.Color);
      ini.SetInt(section, Numbered("Shortcut", i), b.Shortcut);
      texts.WriteLine(b.String);
    }
  }
  const std::string iniText = ini.Serialize();
  const std::string datText = texts.Take();
  std::optional<std::string> iniAnsi = ansi.FromUtf8(iniText);
  std::optional<std::string> datAnsi = ansi.FromUtf8(datText);
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
