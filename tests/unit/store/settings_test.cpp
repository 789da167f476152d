#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "entries/store_entries.h"
#include "store/ini.h"
#include "store/settings.h"
#include "text/codepages.h"

namespace ks {
namespace {

const test::FakeCp1252 kAnsi;

LoadContext Ctx() { return fuzz::detail::FuzzContext(); }

Loaded LoadIni(const std::string& ini, std::optional<std::string> dat = std::nullopt) {
  return LoadSettings(ini, dat, Ctx(), kAnsi);
}

void ExpectSameStore(const Store& a, const Store& b) {
  ASSERT_EQ(a.GroupCount(), b.GroupCount());
  EXPECT_EQ(a.ActiveGroup, b.ActiveGroup);
  for (int g = 1; g <= a.GroupCount(); ++g) {
    EXPECT_EQ(a.GroupAt(g).Name, b.GroupAt(g).Name) << g;
    EXPECT_EQ(a.GroupAt(g).Columns, b.GroupAt(g).Columns) << g;
    EXPECT_EQ(a.GroupAt(g).Password, b.GroupAt(g).Password) << g;
    ASSERT_EQ(a.GroupAt(g).ButtonCount(), b.GroupAt(g).ButtonCount()) << g;
    for (int i = 1; i <= a.GroupAt(g).ButtonCount(); ++i)
      EXPECT_EQ(a.ButtonAt(g, i), b.ButtonAt(g, i)) << g << "/" << i;
  }
}

TEST(SettingsLoad, NoFilesGiveTheDefaultStoreAndCentredWindows) {
  Loaded l = LoadSettings(std::nullopt, std::nullopt, Ctx(), kAnsi);
  auto def = Store::MakeDefault();
  def->ButtonAt(1, 1).Color = 0x123456;  // the template's colour at start
  ExpectSameStore(*l.store, *def);
  const Settings& s = l.settings;
  EXPECT_EQ(s.ButtonWidth, 100);
  EXPECT_EQ(s.Bar.X, (1280 - 177) / 2);
  EXPECT_EQ(s.Bar.Y, (1024 - 51) / 2);
  EXPECT_EQ(s.Editor.X, (1280 - 392) / 2);
  EXPECT_EQ(s.Editor.Y, (1024 - 203) / 2);
  EXPECT_EQ(s.Editor.Height, 230);
  EXPECT_EQ(s.Editor.Width, 400);
  EXPECT_EQ(s.List.X, (1280 - 112) / 2);
  EXPECT_EQ(s.List.Y, (1024 - 113) / 2);
  EXPECT_EQ(s.List.Height, 140);
  EXPECT_EQ(s.List.Width, 120);
  EXPECT_EQ(s.FontName, "MS Sans Serif");
  EXPECT_EQ(s.FontSize, 8);
}

TEST(SettingsLoad, CentringDropsTheFractionTowardZero) {
  LoadContext c = Ctx();
  c.ScreenWidth = 100;
  c.Bar.Width = 103;  // -3 / 2 is -1
  EXPECT_EQ(LoadSettings(std::nullopt, std::nullopt, c, kAnsi).settings.Bar.X, -1);
}

TEST(SettingsLoad, ButtonWidthRule) {
  const std::pair<const char*, int> cases[] = {{"49", 100},  {"50", 88},  {"87", 88},
                                               {"88", 88},   {"200", 200}, {"201", 100},
                                               {"-5", 100},  {"abc", 100}, {"0x64", 100},
                                               {"0x60", 96}};
  for (auto [stored, expected] : cases)
    EXPECT_EQ(LoadIni(std::string("[Window]\nButtonWidth=") + stored + "\n").settings.ButtonWidth,
              expected)
        << stored;
}

TEST(SettingsLoad, PositionsBeyondTheScreenTakeTheirRowsFallback) {
  // Exactly at the limits the stored places stay; one pixel more takes the fallback.
  Settings at = LoadIni(
                    "[Window]\nXPosition=1270\nYPosition=1004\n"
                    "[TypeWindow]\nXPosition=1270\nYPosition=1004\n"
                    "[ListWindow]\nXPosition=1270\nYPosition=1004\n")
                    .settings;
  EXPECT_EQ(std::vector<int>({at.Bar.X, at.Bar.Y, at.Editor.X, at.Editor.Y, at.List.X, at.List.Y}),
            std::vector<int>({1270, 1004, 1270, 1004, 1270, 1004}));
  Settings beyond = LoadIni(
                        "[Window]\nXPosition=1271\nYPosition=1005\n"
                        "[TypeWindow]\nXPosition=1271\nYPosition=1005\n"
                        "[ListWindow]\nXPosition=1271\nYPosition=1005\n")
                        .settings;
  EXPECT_EQ(std::vector<int>({beyond.Bar.X, beyond.Bar.Y, beyond.Editor.X, beyond.Editor.Y,
                              beyond.List.X, beyond.List.Y}),
            std::vector<int>({200, 100, 300, 100, 200, 300}));
  Settings negative = LoadIni("[Window]\nXPosition=-40\nYPosition=-7\n").settings;
  EXPECT_EQ(negative.Bar.X, -40);
  EXPECT_EQ(negative.Bar.Y, -7);
}

// Every row of the table: a value other than its default, inside its rule, in a setting
// that no other row writes, is written under the row's own key and loads back.
TEST(SettingsTable, EveryRowIsWrittenUnderItsKeyAndLoadsBack) {
  Settings s;
  std::vector<std::tuple<std::string, std::string, std::string>> expected;  // section, key
  int n = 0;
  auto expect = [&](const char* section, const char* key, const std::string& value) {
    expected.emplace_back(section, key, value);
  };
  ForEachSetting(Overloaded{
      [&](const TextRow& row, std::string Settings::*text) {
        s.*text = "text " + std::to_string(++n);
        expect(row.Section, row.Key, s.*text);
      },
      [&](const NumberRow& row, int32_t Settings::*number) {
        // Another value the row takes: above its default, or its least at the top (a switch).
        ++n;
        s.Set(number, row.Rule.Default == row.Rule.Max ? row.Rule.Min : row.Rule.Default + n);
        ASSERT_NE(s.*number, row.Rule.Default) << row.Section << " " << row.Key;
        expect(row.Section, row.Key, std::to_string(s.*number));
      },
      [&](const PlaceFields& place, WindowPlace Settings::*member) {
        // Well within the screen, so no edge takes the fallback.
        WindowPlace& p = s.*member;
        const char* section = place.Row.Section;
        p.X = ++n, p.Y = ++n;
        expect(section, "XPosition", std::to_string(p.X));
        expect(section, "YPosition", std::to_string(p.Y));
        if (!place.Row.Sized()) return;
        p.Height = ++n, p.Width = ++n;
        expect(section, "Height", std::to_string(p.Height));
        expect(section, "Width", std::to_string(p.Width));
      }});
  const SavedFiles f = SaveSettings(*Store::MakeDefault(), s, std::nullopt, kAnsi);
  IniFile ini(f.ini);
  for (const auto& [section, key, value] : expected)
    EXPECT_EQ(ini.Get(section, key), value) << section << " " << key;
  EXPECT_EQ(LoadSettings(f.ini, f.dat, Ctx(), kAnsi).settings, s);
  // A new Settings holds every row's default, as a file without the row's key gives it
  // (a window's place is centred instead).
  const Settings fresh, none = LoadIni("").settings;
  ForEachSetting(Overloaded{
      [&](const TextRow& row, std::string Settings::*text) {
        EXPECT_EQ(fresh.*text, row.Default);
        EXPECT_EQ(none.*text, row.Default);
      },
      [&](const NumberRow& row, int32_t Settings::*number) {
        EXPECT_EQ(fresh.*number, row.Rule.Default) << row.Key;
        EXPECT_EQ(none.*number, row.Rule.Default) << row.Key;
      },
      [&](const PlaceFields& place, WindowPlace Settings::*member) {
        const WindowSize size = place.Row.Size;
        EXPECT_EQ(fresh.*member, (WindowPlace{0, 0, size.Width, size.Height})) << place.Row.Section;
        EXPECT_EQ((none.*member).Width, size.Width) << place.Row.Section;
        EXPECT_EQ((none.*member).Height, size.Height) << place.Row.Section;
      }});
}

// The program sets a number as the file would give it: outside its rule's valid range the
// default, then within its limits.
TEST(SettingsTable, ANumberSetTakesTheLimitsOfTheFile) {
  const int32_t probes[] = {INT32_MIN, -1, 0, 5, 6, 8, 24, 25, 49, 50, 87, 88, 200, 201, INT32_MAX};
  ForEachSetting(Overloaded{[&](const NumberRow& row, int32_t Settings::*number) {
                              for (int32_t v : probes) {
                                Settings set;
                                set.Set(number, v);
                                const Settings loaded =
                                    LoadIni(std::string("[") + row.Section + "]\n" + row.Key +
                                            "=" + std::to_string(v) + "\n")
                                        .settings;
                                EXPECT_EQ(set.*number, loaded.*number) << row.Key << "=" << v;
                              }
                            },
                            [](const auto&, auto) {}});
  Settings s;
  s.Set(&Settings::FontSize, 5);
  EXPECT_EQ(s.FontSize, 6);
  s.Set(&Settings::FontSize, INT32_MAX);
  EXPECT_EQ(s.FontSize, 24);
  s.Set(&Settings::ButtonWidth, 49);
  EXPECT_EQ(s.ButtonWidth, 100);
  s.Set(&Settings::ButtonWidth, 60);
  EXPECT_EQ(s.ButtonWidth, 88);
}

TEST(SettingsLoad, SizesAndFontAreTakenWithoutChecks) {
  Settings s = LoadIni(
                   "[TypeWindow]\nHeight=5\nWidth=-1\n[ListWindow]\nHeight=9999\nWidth=0\n"
                   "[Font]\nName=Courier New\nSize=12\n")
                   .settings;
  EXPECT_EQ(s.Editor.Height, 5);
  EXPECT_EQ(s.Editor.Width, -1);
  EXPECT_EQ(s.List.Height, 9999);
  EXPECT_EQ(s.List.Width, 0);
  EXPECT_EQ(s.FontName, "Courier New");
  EXPECT_EQ(s.FontSize, 12);
}

TEST(SettingsLoad, CountsAreClampedAndActiveGroupFollows) {
  struct Case {
    const char* numGroups;
    const char* active;
    int expectGroups, expectActive;
  } cases[] = {{"0", "1", 1, 1},   {"-3", "1", 1, 1},   {"3", "0", 3, 1},  {"3", "4", 3, 1},
               {"3", "3", 3, 3},   {"60", "55", 50, 1}, {"60", "50", 50, 50}, {"x", "2", 1, 1}};
  for (const Case& c : cases) {
    Loaded l = LoadIni(std::string("[Groups]\nNumGroups=") + c.numGroups +
                       "\nActiveGroup=" + c.active + "\n");
    EXPECT_EQ(l.store->GroupCount(), c.expectGroups) << c.numGroups;
    EXPECT_EQ(l.store->ActiveGroup, c.expectActive) << c.numGroups << "/" << c.active;
  }
  Loaded l = LoadIni(
      "[Groups]\nNumGroups=3\n[Commands]\nNumCommands=-1\nColumns=0\n"
      "[Commands1]\nNumCommands=51\nColumns=-4\n[Commands2]\nNumCommands=0\nColumns=7\n");
  EXPECT_EQ(l.store->GroupAt(1).ButtonCount(), 0);
  EXPECT_EQ(l.store->GroupAt(1).Columns, 1);
  EXPECT_EQ(l.store->GroupAt(2).ButtonCount(), 50);
  EXPECT_EQ(l.store->GroupAt(2).Columns, 1);
  EXPECT_EQ(l.store->GroupAt(3).ButtonCount(), 0);
  EXPECT_EQ(l.store->GroupAt(3).Columns, 7);
}

TEST(SettingsLoad, GroupAndButtonKeysWithTheirDefaults) {
  Loaded l = LoadIni(
      "[Groups]\nNumGroups=2\nActiveGroup=2\nGroupName1=Work\n"
      "[Commands]\nNumCommands=2\nColumns=2\nPassword=secret\n"
      "Description1=hint\nCaption1=Hello\nColor1=0x1F\nShortcut1=3\nString1=typed{tab}\n"
      "Color2=abc\n"
      "[Commands1]\nCaption1=stale is fine\n");
  const Store& s = *l.store;
  EXPECT_EQ(s.ActiveGroup, 2);
  EXPECT_EQ(s.GroupAt(1).Name, "Work");
  EXPECT_EQ(s.GroupAt(1).Columns, 2);
  EXPECT_EQ(s.GroupAt(1).Password, "secret");
  EXPECT_EQ(s.ButtonAt(1, 1), (Button{"Hello", "hint", "typed{tab}", 31, 3}));
  EXPECT_EQ(s.ButtonAt(1, 2),
            (Button{"Example", "", "This is an example button{enter}", 0x123456, 0}));
  EXPECT_EQ(s.GroupAt(2).Name, "Default");
  EXPECT_EQ(s.GroupAt(2).ButtonCount(), 1);
  EXPECT_EQ(s.GroupAt(2).Password, "");
  EXPECT_EQ(s.ButtonAt(2, 1).Caption, "stale is fine");
}

TEST(SettingsLoad, TextsComeFromTheTextFileWhenItExists) {
  std::string ini =
      "[Groups]\nNumGroups=3\n"
      "[Commands]\nNumCommands=2\nString1=ignored\nString2=ignored\n"
      "[Commands1]\nNumCommands=0\n"
      "[Commands2]\nNumCommands=3\nString3=ignored\n";
  Loaded l = LoadIni(ini, std::string("one\r\ntwo\r\nthree\r\n"));
  EXPECT_EQ(l.store->ButtonAt(1, 1).String, "one");
  EXPECT_EQ(l.store->ButtonAt(1, 2).String, "two");
  EXPECT_EQ(l.store->ButtonAt(3, 1).String, "three");  // the empty group took no line
  EXPECT_EQ(l.store->ButtonAt(3, 2).String, "");       // fewer lines than buttons: empty texts
  EXPECT_EQ(l.store->ButtonAt(3, 3).String, "");

  Loaded noDat = LoadIni(ini);
  EXPECT_EQ(noDat.store->ButtonAt(1, 1).String, "ignored");
  EXPECT_EQ(noDat.store->ButtonAt(3, 1).String, "This is an example button{enter}");
  EXPECT_EQ(noDat.store->ButtonAt(3, 3).String, "ignored");

  // The settings file gone but the text file kept: the default store with the file's text.
  Loaded datOnly = LoadSettings(std::nullopt, std::string("kept text\r\nextra\r\n"), Ctx(), kAnsi);
  EXPECT_EQ(datOnly.store->GroupCount(), 1);
  EXPECT_EQ(datOnly.store->GroupAt(1).ButtonCount(), 1);
  EXPECT_EQ(datOnly.store->ButtonAt(1, 1), (Button{"Example", "", "kept text", 0x123456, 0}));
}

TEST(SettingsLoad, ALongCaptionIsCutTo2047Bytes) {
  std::string caption(5000, 'c');
  Loaded l = LoadIni("[Commands]\nCaption1=" + caption + "\n");
  EXPECT_EQ(l.store->ButtonAt(1, 1).Caption, caption.substr(0, 2047));
}

// [Pace] as the user writes it by hand, with what the program must not take as a pace.
const std::string kPaceSection =
    "[Pace]\r\n"
    "; slow targets\r\n"
    "mstsc.exe=10\r\n"
    "  SLOW.exe = 1000 \r\n"
    "fast.exe=0\r\n"
    "big.exe=1001\r\n"
    "neg.exe=-5\r\n"
    "word.exe=ten\r\n"
    "empty.exe=\r\n"
    "bare.exe\r\n"
    "bare.exe=20\r\n"
    "hex.exe=0x20\r\n"
    "quoted.exe=\"15\"\r\n"
    "MSTSC.EXE=99\r\n"
    "\xC4pp.exe=7\r\n";  // "Äpp.exe" in the code page

TEST(SettingsPace, OnlyValidPacesAreLoadedTheFirstOfEachName) {
  const Settings s = LoadIni("[Window]\r\nButtonWidth=120\r\n" + kPaceSection).settings;
  EXPECT_EQ(s.Paces, (std::vector<Pace>{{"mstsc.exe", 10},
                                        {"SLOW.exe", 1000},
                                        {"hex.exe", 32},
                                        {"quoted.exe", 15},
                                        {"\xC3\x84pp.exe", 7}}));
  EXPECT_TRUE(LoadIni("[Window]\r\nButtonWidth=120\r\n").settings.Paces.empty());
}

TEST(SettingsPace, AProgramsPaceByItsFileNameWithoutRegardToAsciiCase) {
  const Settings s = LoadIni(kPaceSection).settings;
  const std::pair<const char*, int32_t> cases[] = {
      {"mstsc.exe", 10},
      {"MsTsC.ExE", 10},
      {"C:\\Windows\\System32\\mstsc.exe", 10},
      {"C:/Windows/mstsc.exe", 10},
      {"slow.exe", 1000},
      {"hex.exe", 32},
      {"quoted.exe", 15},
      {"\xC3\x84pp.exe", 7},
      {"\xC3\xA4pp.exe", 0},  // only ASCII letters match in either case
      {"fast.exe", 0},
      {"big.exe", 0},
      {"neg.exe", 0},
      {"word.exe", 0},
      {"empty.exe", 0},
      {"bare.exe", 0},  // hidden by the entry without a value, as on the platform
      {"mstsc", 0},
      {"xmstsc.exe", 0},
      {"mstsc.exe\\", 0},
      {"", 0},
  };
  for (auto [program, pace] : cases) EXPECT_EQ(PaceFor(s, program), pace) << program;
  // A pace set by the program takes the file's rule too.
  Settings set;
  set.Paces = {{"a.exe", 1001}, {"b.exe", -1}, {"c.exe", 1}};
  EXPECT_EQ(PaceFor(set, "a.exe"), 0);
  EXPECT_EQ(PaceFor(set, "b.exe"), 0);
  EXPECT_EQ(PaceFor(set, "c.exe"), 1);
}

// Only the user writes [Pace]: a save keeps its lines as they are, wherever they stand, and
// writes none of its own.
TEST(SettingsPace, ASaveKeepsTheSectionByteForByteAndWritesNone) {
  const std::string old = "[Window]\r\nXPosition=5\r\n" + kPaceSection +
                          "[Groups]\r\nNumGroups=1\r\n";
  Loaded l = LoadIni(old);
  l.settings.Set(&Settings::ButtonWidth, 150);
  const SavedFiles f = SaveSettings(*l.store, l.settings, old, kAnsi);
  EXPECT_NE(f.ini.find("\r\n" + kPaceSection + "[Groups]\r\n"), std::string::npos) << f.ini;
  const Loaded back = LoadSettings(f.ini, f.dat, Ctx(), kAnsi);
  EXPECT_EQ(back.settings, l.settings);

  Settings paced;
  paced.Paces = {{"mstsc.exe", 10}};
  EXPECT_EQ(SaveSettings(*Store::MakeDefault(), paced, std::nullopt, kAnsi).ini.find("Pace"),
            std::string::npos);
}

// A store with some of everything, for the save tests.
std::unique_ptr<Store> SampleStore() {
  auto s = std::make_unique<Store>();
  s->ActiveGroup = 2;
  s->Groups = {Group{"Default",
                     1,
                     "",
                     {Button{"Example", "", "This is an example button{enter}", 0, 0},
                      Button{"Sig", "my signature", "Best,{enter}Me", -2147483643, 5}}},
               Group{"Letters", 3, "pw", {}},
               Group{"Mixed Case",
                     2,
                     "",
                     {Button{"Date", "today", "{date} {time}", 255, 0}, Button{"", "", "", 0, 26},
                      Button{"Run", "a;b=c", "{run notepad.exe}", 0x00FF00, 1}}}};
  return s;
}

Settings SampleSettings() {
  Settings s;
  s.ButtonWidth = 120;
  s.Bar.X = -5;
  s.Bar.Y = 40;
  s.Editor.X = 300;
  s.Editor.Y = 200;
  s.Editor.Height = 250;
  s.Editor.Width = 410;
  s.List.X = 10;
  s.List.Y = 20;
  s.List.Height = 150;
  s.List.Width = 130;
  s.FontName = "Arial";
  s.FontSize = 10;
  return s;
}

TEST(SettingsSave, WhatIsSavedLoadsBackTheSame) {
  auto store = SampleStore();
  Settings settings = SampleSettings();
  SavedFiles files = SaveSettings(*store, settings, std::nullopt, kAnsi);
  Loaded l = LoadSettings(files.ini, files.dat, Ctx(), kAnsi);
  ExpectSameStore(*l.store, *store);
  EXPECT_EQ(l.settings, settings);
  // Saving what was loaded over the file changes nothing.
  SavedFiles again = SaveSettings(*l.store, l.settings, files.ini, kAnsi);
  EXPECT_EQ(again.ini, files.ini);
  EXPECT_EQ(again.dat, files.dat);
}

TEST(SettingsSave, ANewFileHoldsTheKeysInTheirOrder) {
  SavedFiles f = SaveSettings(*Store::MakeDefault(), Settings{}, std::nullopt, kAnsi);
  EXPECT_EQ(f.ini,
            "[Window]\r\nXPosition=0\r\nYPosition=0\r\nButtonWidth=100\r\n\r\n"
            "[TypeWindow]\r\nXPosition=0\r\nYPosition=0\r\nHeight=230\r\nWidth=400\r\n\r\n"
            "[ListWindow]\r\nXPosition=0\r\nYPosition=0\r\nHeight=140\r\nWidth=120\r\n\r\n"
            "[Font]\r\nName=MS Sans Serif\r\nSize=8\r\n\r\n"
            "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Default\r\n\r\n"
            "[Commands]\r\nNumCommands=1\r\nColumns=1\r\nPassword=\r\nDescription1=\r\n"
            "Caption1=Example\r\nColor1=0\r\nShortcut1=0\r\n");
  EXPECT_EQ(f.dat, "This is an example button{enter}\r\n");
}

// Files of users who never set one stay as they were (the test above); a cleared one must
// reach the file, or it would come back at the next start.
TEST(SettingsSave, AnAbbreviationIsWrittenBesideItsCaptionOnlyOnceSet) {
  auto store = Store::MakeDefault();
  store->ButtonAt(1, 1).Abbreviation = ";sig";
  SavedFiles f = SaveSettings(*store, Settings{}, std::nullopt, kAnsi);
  EXPECT_NE(f.ini.find("Caption1=Example\r\nAbbreviation1=;sig\r\nColor1=0\r\n"),
            std::string::npos);
  Loaded l = LoadSettings(f.ini, f.dat, Ctx(), kAnsi);
  EXPECT_EQ(l.store->ButtonAt(1, 1).Abbreviation, ";sig");

  l.store->ButtonAt(1, 1).Abbreviation.clear();
  SavedFiles cleared = SaveSettings(*l.store, l.settings, f.ini, kAnsi);
  EXPECT_NE(cleared.ini.find("Abbreviation1=\r\n"), std::string::npos);
  EXPECT_EQ(LoadSettings(cleared.ini, cleared.dat, Ctx(), kAnsi).store->ButtonAt(1, 1).Abbreviation,
            "");
}

// A group's programs sit beside its password only once set, as an abbreviation does.
TEST(SettingsSave, AGroupsProgramsAreWrittenInItsSectionOnlyOnceSet) {
  auto store = Store::MakeDefault();
  store->GroupAt(1).Programs = "outlook.exe, winword.exe";
  SavedFiles f = SaveSettings(*store, Settings{}, std::nullopt, kAnsi);
  EXPECT_NE(f.ini.find("Password=\r\nPrograms=outlook.exe, winword.exe\r\n"), std::string::npos);
  Loaded l = LoadSettings(f.ini, f.dat, Ctx(), kAnsi);
  EXPECT_EQ(l.store->GroupAt(1).Programs, "outlook.exe, winword.exe");

  l.store->GroupAt(1).Programs.clear();
  SavedFiles cleared = SaveSettings(*l.store, l.settings, f.ini, kAnsi);
  EXPECT_NE(cleared.ini.find("Programs=\r\n"), std::string::npos);
  EXPECT_EQ(LoadSettings(cleared.ini, cleared.dat, Ctx(), kAnsi).store->GroupAt(1).Programs, "");
}

// The tray's switches: absent is on, and a file that never had one off stays without it.
TEST(SettingsSave, TheTraySwitchesAreWrittenOnceTurnedOff) {
  const struct {
    int32_t Settings::*member;
    const char* key;
  } cases[] = {{&Settings::Abbreviations, "Abbreviations"},
               {&Settings::FollowPrograms, "FollowPrograms"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string key = c.key;
    EXPECT_EQ(Settings{}.*c.member, 1);
    EXPECT_EQ(LoadIni("[Options]\n" + key + "=0\n").settings.*c.member, 0);
    EXPECT_EQ(LoadIni("[Options]\n" + key + "=7\n").settings.*c.member, 1);
    EXPECT_EQ(SaveSettings(*Store::MakeDefault(), Settings{}, std::nullopt, kAnsi).ini.find(key),
              std::string::npos);
    Settings off;
    off.*c.member = 0;
    SavedFiles f = SaveSettings(*Store::MakeDefault(), off, std::nullopt, kAnsi);
    EXPECT_NE(f.ini.find("[Options]\r\n" + key + "=0\r\n"), std::string::npos);
    SavedFiles on = SaveSettings(*Store::MakeDefault(), Settings{}, f.ini, kAnsi);
    EXPECT_NE(on.ini.find("[Options]\r\n" + key + "=1\r\n"), std::string::npos);
  }
}

TEST(SettingsSave, KeysOfRemovedButtonsAndStringKeysStayAndAreNotReadBack) {
  std::string old =
      "; my notes\r\n[Groups]\r\nNumGroups=2\r\nGroupName1=A\r\nGroupName2=B\r\n"
      "[Commands]\r\nNumCommands=2\r\nCaption1=one\r\nCaption2=two\r\nString1=s1\r\n"
      "[Commands1]\r\nNumCommands=1\r\nCaption1=b1\r\n";
  Loaded l = LoadSettings(old, std::string("t1\r\nt2\r\nt3\r\n"), Ctx(), kAnsi);
  l.store->Groups.resize(1);
  l.store->GroupAt(1).Buttons.resize(1);
  SavedFiles f = SaveSettings(*l.store, l.settings, old, kAnsi);
  EXPECT_EQ(f.ini.substr(0, 13), "; my notes\r\n[");
  EXPECT_NE(f.ini.find("Caption2=two\r\n"), std::string::npos);
  EXPECT_NE(f.ini.find("String1=s1\r\n"), std::string::npos);
  EXPECT_NE(f.ini.find("[Commands1]\r\nNumCommands=1\r\nCaption1=b1\r\n"), std::string::npos);
  EXPECT_NE(f.ini.find("GroupName2=B\r\n"), std::string::npos);
  EXPECT_EQ(f.ini.find("String", f.ini.find("String1") + 1), std::string::npos);
  EXPECT_EQ(f.dat, "t1\r\n");
  Loaded back = LoadSettings(f.ini, f.dat, Ctx(), kAnsi);
  EXPECT_EQ(back.store->GroupCount(), 1);
  EXPECT_EQ(back.store->GroupAt(1).ButtonCount(), 1);  // not read past the count
}

TEST(SettingsSave, TextsThatTheFilesCouldNotHoldAsTheyAre) {
  auto store = Store::MakeDefault();
  store->GroupAt(1).Name = "two\r\nlines";
  store->GroupAt(1).Password = " spaced pw ";
  store->ButtonAt(1, 1) = Button{"cap\rtion", "hint\nhere", "a\r\nb\rc", 0, 0};
  store->Groups.push_back(Group{"\"quoted\"",
                                1,
                                "'x'",
                                {Button{"  lead", "trail\t", "{enter}{tab}", 0, 0},
                                 Button{"'", "\"", "last", 0, 0}}});
  SavedFiles f = SaveSettings(*store, Settings{}, std::nullopt, kAnsi);
  EXPECT_EQ(f.dat, "a{enter}b{enter}c\r\n{enter}{tab}\r\nlast\r\n");
  Loaded l = LoadSettings(f.ini, f.dat, Ctx(), kAnsi);
  const Store& s = *l.store;
  EXPECT_EQ(s.GroupAt(1).Name, "two lines");
  EXPECT_EQ(s.GroupAt(1).Password, " spaced pw ");
  EXPECT_EQ(s.ButtonAt(1, 1), (Button{"cap tion", "hint here", "a{enter}b{enter}c", 0, 0}));
  EXPECT_EQ(s.GroupAt(2).Name, "\"quoted\"");
  EXPECT_EQ(s.GroupAt(2).Password, "'x'");
  EXPECT_EQ(s.ButtonAt(2, 1), (Button{"  lead", "trail\t", "{enter}{tab}", 0, 0}));
  EXPECT_EQ(s.ButtonAt(2, 2), (Button{"'", "\"", "last", 0, 0}));
}

TEST(SettingsSave, OutOfRangeCountsAreNotWrittenAsSuch) {
  auto store = Store::MakeDefault();
  store->ActiveGroup = 51;  // beyond the groups written
  store->GroupAt(1).Buttons.resize(60);
  store->GroupAt(1).Columns = 0;
  store->Groups.resize(51);
  IniFile ini(SaveSettings(*store, Settings{}, std::nullopt, kAnsi).ini);
  EXPECT_EQ(ini.GetInt("Groups", "NumGroups", -1), 50);
  EXPECT_EQ(ini.GetInt("Groups", "ActiveGroup", -1), 1);
  EXPECT_EQ(ini.GetInt("Commands", "NumCommands", -1), 50);
  EXPECT_EQ(ini.GetInt("Commands", "Columns", -1), 1);
  // A store without groups, which the program never makes, is one empty group.
  IniFile none(SaveSettings(Store{}, Settings{}, std::nullopt, kAnsi).ini);
  EXPECT_EQ(none.GetInt("Groups", "NumGroups", -1), 1);
  EXPECT_EQ(none.GetInt("Commands", "NumCommands", -1), 0);
}

}  // namespace
}  // namespace ks
