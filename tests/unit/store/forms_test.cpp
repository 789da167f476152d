// The forms of the two files: ANSI as before, byte for byte, and the Unicode forms a store
// takes once a text needs more than the code page holds.
#include <gtest/gtest.h>

#include "store/encoding.h"
#include "store/ini.h"
#include "store/settings.h"
#include "text/codepages.h"

namespace ks {
namespace {

const test::FakeCp1252 kCp1252;
const test::FakeDoubleByte kDoubleByte;

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16Mark = "\xFF\xFE";
const std::string kFffd = "\xEF\xBF\xBD";
const std::string kGreek = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
const std::string kEmoji = "\xF0\x9F\x98\x80";
const std::string kCheck = "\xE2\x9C\x93";

std::string Utf16Le(const std::string& utf8) {
  std::string out = kUtf16Mark;
  for (char16_t u : Utf8ToUtf16(utf8)) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

LoadContext Ctx() { return LoadContext{}; }

// An ANSI pair as an older copy wrote it, with a layout of its own that a save must keep.
const std::string kCp1252Ini =
    "; caf\xE9 notes\r\n[Window]\r\nXPosition=0\r\nYPosition=0\r\nButtonWidth=100\r\n"
    "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Caf\xE9 \x80\r\n"
    "[Commands]\r\nNumCommands=2\r\nColumns=1\r\nPassword=p\xE4ss\r\n"
    "Description1=\x93quoted\x94\r\nCaption1=na\xEFve\r\nColor1=0\r\nShortcut1=0\r\n"
    "Description2=\r\nCaption2=\x81\x8D\r\nColor2=0\r\nShortcut2=0\r\n"
    "[TypeWindow]\r\nXPosition=5\r\nYPosition=6\r\nHeight=230\r\nWidth=400\r\n"
    "[ListWindow]\r\nXPosition=7\r\nYPosition=8\r\nHeight=140\r\nWidth=120\r\n"
    "[Font]\r\nName=Arial\r\nSize=8\r\n";
const std::string kCp1252Dat = "\xC0 la carte{enter}\r\n\x85\x99\r\n";

TEST(FileForms, AnAnsiPairLoadsAsUtf8AndIsSavedByteForByte) {
  Loaded l = LoadSettings(kCp1252Ini, kCp1252Dat, Ctx(), kCp1252);
  const Store& s = *l.store;
  EXPECT_EQ(s.GroupAt(1).Name, "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(s.GroupAt(1).Password, "p\xC3\xA4ss");
  EXPECT_EQ(s.ButtonAt(1, 1).Description, "\xE2\x80\x9Cquoted\xE2\x80\x9D");
  EXPECT_EQ(s.ButtonAt(1, 1).Caption, "na\xC3\xAFve");
  EXPECT_EQ(s.ButtonAt(1, 1).String, "\xC3\x80 la carte{enter}");
  EXPECT_EQ(s.ButtonAt(1, 2).String, "\xE2\x80\xA6\xE2\x84\xA2");
  SavedFiles f = SaveSettings(s, l.settings, kCp1252Ini, kCp1252);
  EXPECT_EQ(f.ini, kCp1252Ini);
  EXPECT_EQ(f.dat, kCp1252Dat);
}

TEST(FileForms, DoubleByteTextsAreReadWholeNotByteByByte) {
  // Trail bytes that are "{", "}", "[" and "\" in ASCII: read byte by byte they would
  // open a type code, close one, or start a section.
  const std::string ini =
      "[Groups]\r\nGroupName1=\x93\xFA\x96\x7B\r\n[Commands]\r\nNumCommands=2\r\n"
      "Caption1=\x95\x5C\r\nCaption2=\x81\x7D\x81\x5B\r\n";
  const std::string dat = "\x93\xFA\x96\x7B{enter}\r\n\x81\x7D\x95\x5C\r\n";
  Loaded l = LoadSettings(ini, dat, Ctx(), kDoubleByte);
  const Store& s = *l.store;
  EXPECT_EQ(s.GroupAt(1).Name, "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(s.ButtonAt(1, 1).Caption, "\xE8\xA1\xA8");
  EXPECT_EQ(s.ButtonAt(1, 2).Caption, "\xC2\xB1\xE3\x83\xBC");
  EXPECT_EQ(s.ButtonAt(1, 1).String, "\xE6\x97\xA5\xE6\x9C\xAC{enter}");
  EXPECT_EQ(s.ButtonAt(1, 2).String, "\xC2\xB1\xE8\xA1\xA8");
  SavedFiles f = SaveSettings(s, l.settings, ini, kDoubleByte);
  EXPECT_EQ(f.dat, dat);
  for (const char* line : {"GroupName1=\x93\xFA\x96\x7B\r\n", "Caption1=\x95\x5C\r\n",
                           "Caption2=\x81\x7D\x81\x5B\r\n"})
    EXPECT_NE(f.ini.find(line), std::string::npos) << line;
}

TEST(FileForms, ATextBeyondTheCodePageTurnsBothFilesUnicode) {
  struct Case {
    const char* where;
    void (*put)(Store&);
  };
  const Case cases[] = {
      {"text", [](Store& s) { s.ButtonAt(1, 1).String = "hi " + kEmoji; }},
      {"caption", [](Store& s) { s.ButtonAt(1, 1).Caption = kGreek; }},
      {"hint", [](Store& s) { s.ButtonAt(1, 1).Description = kCheck; }},
      {"group name", [](Store& s) { s.GroupAt(1).Name = kGreek; }},
      {"password", [](Store& s) { s.GroupAt(1).Password = kEmoji; }},
  };
  for (const Case& c : cases) {
    Loaded l = LoadSettings(kCp1252Ini, kCp1252Dat, Ctx(), kCp1252);
    c.put(*l.store);
    SavedFiles f = SaveSettings(*l.store, l.settings, kCp1252Ini, kCp1252);
    ASSERT_TRUE(f.ini.starts_with(kUtf16Mark)) << c.where;
    ASSERT_TRUE(f.dat.starts_with(kUtf8Mark)) << c.where;
    // The old layout and every byte's character survive the change of form.
    const DecodedFile ini = DecodeFile(f.ini, kCp1252);
    EXPECT_EQ(ini.form, FileForm::Utf16);
    EXPECT_TRUE(ini.text.starts_with("; caf\xC3\xA9 notes\r\n[Window]\r\n")) << c.where;
    EXPECT_EQ(f.dat.substr(f.dat.size() - 8), "\xE2\x80\xA6\xE2\x84\xA2\r\n") << c.where;

    Loaded back = LoadSettings(f.ini, f.dat, Ctx(), kCp1252);
    const Store& a = *l.store;
    const Store& b = *back.store;
    EXPECT_EQ(b.GroupAt(1).Name, a.GroupAt(1).Name) << c.where;
    EXPECT_EQ(b.GroupAt(1).Password, a.GroupAt(1).Password) << c.where;
    for (int i = 1; i <= 2; ++i) EXPECT_EQ(b.ButtonAt(1, i), a.ButtonAt(1, i)) << c.where;
    SavedFiles again = SaveSettings(b, back.settings, f.ini, kCp1252);
    EXPECT_EQ(again.ini, f.ini) << c.where;
    EXPECT_EQ(again.dat, f.dat) << c.where;

    // Once the store fits the code page again, it is written in it, as an older copy reads.
    Loaded plain = LoadSettings(kCp1252Ini, kCp1252Dat, Ctx(), kCp1252);
    SavedFiles ansi = SaveSettings(*plain.store, plain.settings, f.ini, kCp1252);
    EXPECT_EQ(ansi.ini, kCp1252Ini) << c.where;
    EXPECT_EQ(ansi.dat, kCp1252Dat) << c.where;
  }
}

// What a save leaves alone does not choose the form: keys of a removed button and of a
// removed group, and a section of the user's, that the code page cannot hold go with the
// return to ANSI, and the rest of them stays. While a written text needs Unicode, they stay.
TEST(FileForms, LeftoversBeyondTheCodePageDoNotKeepTheFileUnicode) {
  Loaded l = LoadSettings(kCp1252Ini, kCp1252Dat, Ctx(), kCp1252);
  Store& s = *l.store;
  s.GroupAt(1).Buttons.resize(2);
  s.GroupAt(1).Buttons.push_back(Button{kGreek, "plain", "t3", 0, 0});
  s.Groups.resize(1);
  s.Groups.push_back(Group{kEmoji, 1, "", {Button{"b1", kCheck, "t4", 0, 0}}});
  const SavedFiles unicode = SaveSettings(s, l.settings, kCp1252Ini, kCp1252);
  ASSERT_TRUE(unicode.ini.starts_with(kUtf16Mark));
  const std::string old = Utf16Le(DecodeFile(unicode.ini, kCp1252).text + "[" + kGreek +
                                  "]\r\nmine=1\r\n");

  s.GroupAt(1).Buttons.resize(2);
  s.Groups.resize(1);
  SavedFiles f = SaveSettings(s, l.settings, old, kCp1252);
  std::string want = kCp1252Ini;
  want.insert(want.find("[TypeWindow]"), "Description3=plain\r\nColor3=0\r\nShortcut3=0\r\n");
  want += "\r\n[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nPassword=\r\nCaption1=b1\r\n"
          "Color1=0\r\nShortcut1=0\r\n";
  EXPECT_EQ(f.ini, want);
  EXPECT_EQ(f.dat, kCp1252Dat);

  s.GroupAt(1).Name = kGreek;
  f = SaveSettings(s, l.settings, old, kCp1252);
  ASSERT_TRUE(f.ini.starts_with(kUtf16Mark));
  EXPECT_NE(DecodeFile(f.ini, kCp1252).text.find("Caption3=" + kGreek + "\r\n"), std::string::npos);
}

// A pace is no leftover but a setting only the user writes: one for a program the code
// page cannot name keeps the settings file in Unicode, where a section of the user's would
// go; also one written into the file since it was loaded.
TEST(FileForms, APaceBeyondTheCodePageKeepsTheSettingsFileUnicode) {
  const std::string pace = "[Pace]\r\n" + kGreek + ".exe=10\r\n";
  const std::string loaded = "[Groups]\r\nNumGroups=1\r\n";
  for (const std::string& old : {loaded + pace, loaded}) {
    Loaded l = LoadSettings(Utf16Le(old), kCp1252Dat, Ctx(), kCp1252);
    const SavedFiles f = SaveSettings(*l.store, l.settings, Utf16Le(loaded + pace), kCp1252);
    EXPECT_TRUE(f.ini.starts_with(kUtf16Mark));
    EXPECT_EQ(PaceFor(LoadSettings(f.ini, f.dat, Ctx(), kCp1252).settings, kGreek + ".exe"), 10);
  }
}

TEST(FileForms, ASettingsFileWithAUtf8MarkKeepsIt) {
  const std::string ini = kUtf8Mark + "[Groups]\r\nGroupName1=" + kGreek + "\r\n";
  Loaded l = LoadSettings(ini, std::nullopt, Ctx(), kCp1252);
  EXPECT_EQ(l.store->GroupAt(1).Name, kGreek);
  SavedFiles f = SaveSettings(*l.store, l.settings, ini, kCp1252);
  EXPECT_TRUE(f.ini.starts_with(ini));
  EXPECT_TRUE(f.dat.starts_with(kUtf8Mark));
}

TEST(FileForms, InvalidUnicodeLoadsWhatItCanAndLosesNothingElse) {
  // A lone high surrogate, a lone low one, and a file cut in the middle of a unit.
  std::string ini = Utf16Le("[Groups]\r\nNumGroups=1\r\nGroupName1=a") + "\x3D\xD8" +
                    Utf16Le("b\r\n[Commands]\r\nNumCommands=3\r\nCaption1=").substr(2) +
                    std::string("\x00\xDE", 2) +
                    Utf16Le("c\r\nCaption2=" + kEmoji + "\r\nCaption3=d").substr(2);
  ini += '\x41';
  const std::string dat = kUtf8Mark + "ok\xE2\x9C\r\n" + kGreek + "\xF0\x9F\x98\r\n\xC0\xAF" +
                          kCheck + "\r\n";
  Loaded l = LoadSettings(ini, dat, Ctx(), kCp1252);
  const Store& s = *l.store;
  EXPECT_EQ(s.GroupAt(1).Name, "a" + kFffd + "b");
  EXPECT_EQ(s.ButtonAt(1, 1).Caption, kFffd + "c");
  EXPECT_EQ(s.ButtonAt(1, 2).Caption, kEmoji);
  EXPECT_EQ(s.ButtonAt(1, 3).Caption, "d" + kFffd);
  EXPECT_EQ(s.ButtonAt(1, 1).String, "ok" + kFffd);
  EXPECT_EQ(s.ButtonAt(1, 2).String, kGreek + kFffd);
  EXPECT_EQ(s.ButtonAt(1, 3).String, kFffd + kFffd + kCheck);
  // What was shown is what is kept: a save writes the replacement characters.
  SavedFiles f = SaveSettings(s, l.settings, ini, kCp1252);
  Loaded back = LoadSettings(f.ini, f.dat, Ctx(), kCp1252);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(back.store->ButtonAt(1, i), s.ButtonAt(1, i));
  EXPECT_EQ(back.store->GroupAt(1).Name, s.GroupAt(1).Name);
}

TEST(FileForms, ValuesAreCutAt2047Utf16UnitsNeverInsideACharacter) {
  // The platform's buffer holds 2047 units: an emoji there takes two.
  const std::string before(2046, 'x');
  IniFile ini("[s]\r\nk=" + before + kEmoji + "y\r\nj=" + std::string(2045, 'x') + kEmoji +
              "y\r\n");
  EXPECT_EQ(ini.GetString("s", "k", ""), before);
  EXPECT_EQ(ini.GetString("s", "j", ""), std::string(2045, 'x') + kEmoji);
  std::string long_greek;
  for (int i = 0; i < 2100; ++i) long_greek += "\xCE\xB1";
  IniFile g("[s]\r\nk=" + long_greek + "\r\n");
  EXPECT_EQ(g.GetString("s", "k", ""), long_greek.substr(0, 2 * 2047));
}

}  // namespace
}  // namespace ks
