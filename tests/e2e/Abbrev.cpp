// Abbreviations end to end: a button's abbreviation typed in another program becomes the
// button's text there, through the hook and the press path; nothing expands in part, in a
// password field or when switched off; a key stops a long run; the editor keeps
// abbreviations one button's and the store keeps them across a restart.
#include <gtest/gtest.h>

#include "helpers/target_window.h"
#include "support/fixture.h"

namespace ks::e2e {
namespace {

// Mail: Sig (";sig"), Long (";long", 3000 characters), Plain without one.
std::string Ini(const std::string& options = {}) {
  return options +
         "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
         "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Mail\r\n"
         "[Commands]\r\nNumCommands=3\r\nColumns=1\r\nCaption1=Sig\r\nAbbreviation1=;sig\r\n"
         "Caption2=Long\r\nAbbreviation2=;long\r\nCaption3=Plain\r\n";
}
std::string Dat() { return "Best,{enter}Me\r\n" + std::string(3000, 'x') + "\r\nplain\r\n"; }

class AbbrevTest : public BarFixture {
 protected:
  // Nothing more comes for a while: what is there is what stays.
  std::string TextAfterQuiet(int ms = 1500) const {
    Sleep(ms);
    return TextOf(edit_);
  }
  void Undo() { ClickWindow(FindChild(k.Bar(), "Button", "Undo")); }
};

TEST_F(AbbrevTest, ExpandsExactlyOnlyWhenWholeAndUndoTakesTheTextBack) {
  StartWith(Ini(), Dat());
  StartTarget();
  TypeText("Hi ;sig");
  ASSERT_TRUE(TextBecomes("Hi Best,\r\nMe"));
  Undo();
  EXPECT_TRUE(TextBecomes("Hi "));

  target.Clear();
  FocusTarget();
  TypeText(";six ;si");
  EXPECT_EQ(TextAfterQuiet(), ";six ;si");
}

TEST_F(AbbrevTest, NothingExpandsInAPasswordFieldOrWhenSwitchedOff) {
  k.WriteIni(Ini("[Options]\r\nAbbreviations=0\r\n"));
  k.WriteDat(Dat());
  ASSERT_TRUE(k.Start());
  StartTarget();
  TypeText(";sig");
  EXPECT_EQ(TextAfterQuiet(), ";sig");
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Options", "Abbreviations"), "0");

  // On again (the key absent), in a password field: no Backspace reaches it.
  k.WriteIni(Ini());
  ASSERT_TRUE(k.Start());
  TypingTarget secret;
  ASSERT_TRUE(secret.Start("--password"));
  ASSERT_TRUE(secret.Focus());
  Sleep(150);
  TypeText(";sig");
  Sleep(1500);
  const std::string log = TextOf(GetDlgItem(secret.main(), helpers::kTargetLogId));
  EXPECT_NE(log.find("+47:"), std::string::npos) << log;  // the G arrived
  EXPECT_EQ(log.find("+8:"), std::string::npos) << log;
}

TEST_F(AbbrevTest, AKeyStopsALongRunAndUndoTakesBackWhatWasTyped) {
  StartWith(Ini(), Dat());
  StartTarget("--no-log");
  TypeText(";long");
  ASSERT_TRUE(WaitFor([&] { return TextOf(edit_).size() > 100; }, 15000)) << TextOf(edit_).size();
  PressKey(VK_SHIFT);
  const std::size_t stopped = TextAfterQuiet(3000).size();
  EXPECT_LT(stopped, 3000u);
  EXPECT_EQ(TextOf(edit_).find(";long"), std::string::npos);
  Undo();
  EXPECT_TRUE(TextBecomes("", 20000));
}

TEST_F(AbbrevTest, TheEditorRefusesATakenOneAndANewOneSurvivesARestart) {
  StartWith(Ini(), Dat());
  HWND ed = OpenEditor(3);
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  HWND field = GetDlgItem(ed, 112);
  ASSERT_NE(field, nullptr);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L";sig"));
  ClickWindow(GetDlgItem(ed, 104));
  HWND refusal = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND b : FindWindowsOf(k.pid(), "#32770"))
      if (IsWindowVisible(b)) refusal = b;
    return refusal != nullptr;
  })) << DescribeWindows(k.pid());
  EXPECT_NE(StaticTexts(refusal).find(
                "\";sig\" is already the abbreviation of the Sig button in the Mail group."),
            std::string::npos)
      << StaticTexts(refusal);
  ClickWindow(GetDlgItem(refusal, IDOK));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(refusal); }));
  EXPECT_TRUE(IsWindowVisible(ed));

  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pl;"));
  ClickWindow(GetDlgItem(ed, 104));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(ed); }));
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Abbreviation3"), "pl;");

  ASSERT_TRUE(k.Start());
  StartTarget();
  TypeText("pl;");
  EXPECT_TRUE(TextBecomes("plain"));
}

}  // namespace
}  // namespace ks::e2e
