// The bar follows the program typed into: two copies of the typing target under other
// program names, a group for each; switching between them moves the bar's group, a choice
// by hand stays for its program, the tray's "Follow Programs" turns it off and on, the
// group menu's "Programs..." sets a group's list, and one abbreviation types each group's
// own text in its own program and nothing elsewhere.
#include <gtest/gtest.h>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

// Mail (group 1) serves mailer.exe, Tickets (group 2) tickets.exe, Plain (group 3, shown
// at start) no program; Mail and Tickets share the abbreviation ";hi".
std::string Ini(const std::string& options = {}) {
  return options +
         "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
         "[Groups]\r\nNumGroups=3\r\nActiveGroup=3\r\nGroupName1=Mail\r\nGroupName2=Tickets\r\n"
         "GroupName3=Plain\r\n"
         "[Commands]\r\nNumCommands=1\r\nColumns=1\r\nPrograms=mailer.exe\r\nCaption1=M1\r\n"
         "Abbreviation1=;hi\r\n"
         "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nPrograms=tickets.exe\r\nCaption1=T1\r\n"
         "Abbreviation1=;hi\r\n"
         "[Commands2]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=P1\r\n";
}
const char* kDat = "dear customer\r\nticket closed\r\nplain\r\n";

class ProgramsTest : public BarFixture {
 protected:
  // Starts a copy of the typing target named `name` beside the program, in front, its
  // window at `top` on the left, clear of the others' captions.
  void StartAs(TypingTarget& t, const char* name, int top) {
    const std::string exe = k.dir() + name;
    CopyFileA((ExeDir() + "typing_target.exe").c_str(), exe.c_str(), TRUE);
    ASSERT_TRUE(t.Start("--no-log", exe));
    Place(t, 0, top);
    ASSERT_TRUE(t.Focus());
  }
  static void Place(TypingTarget& t, int x, int y) {
    SetWindowPos(t.main(), nullptr, x, y, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void Focus(TypingTarget& t) {
    ASSERT_TRUE(t.Focus());
    Sleep(150);  // the bar learns of the switch
  }
  // The group list shows `name` and the bar its buttons (each group's first is
  // captioned by its initial and 1).
  ::testing::AssertionResult Shows(const std::string& name) {
    const std::string caption = name.substr(0, 1) + "1";
    if (WaitFor([&] { return TextOf(k.GroupList()) == name && TextOf(k.Button(1)) == caption; },
                3000))
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the bar shows " << TextOf(k.GroupList()) << " with " << TextOf(k.Button(1));
  }
  // Chosen by hand in the group list, at its sorted line.
  void Choose(int line) {
    HWND list = k.GroupList();
    SendMessageA(list, CB_SETCURSEL, line, 0);
    SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  // What `t` holds once the typing of ";hi" into it has settled.
  std::string Typed(TypingTarget& t) {
    t.Clear();
    Focus(t);
    TypeText(";hi");
    Sleep(1500);
    return t.Text();
  }

  TypingTarget mailer, tickets, mailer2;
};

TEST_F(ProgramsTest, TheBarShowsTheGroupOfTheProgramAndKeepsAChoiceByHandThere) {
  StartWith(Ini(), kDat);
  ASSERT_TRUE(Shows("Plain"));
  StartAs(mailer, "mailer.exe", 0);
  EXPECT_TRUE(Shows("Mail"));
  StartAs(tickets, "tickets.exe", 250);
  EXPECT_TRUE(Shows("Tickets"));
  Focus(mailer);
  EXPECT_TRUE(Shows("Mail"));

  // Chosen by hand while in the mailer: another of its windows keeps the choice, another
  // program ends it.
  Choose(1);  // Mail, Plain, Tickets
  ASSERT_TRUE(Shows("Plain"));
  StartAs(mailer2, "mailer.exe", 500);
  Sleep(300);
  EXPECT_TRUE(Shows("Plain"));
  Focus(tickets);
  EXPECT_TRUE(Shows("Tickets"));
  Focus(mailer2);
  EXPECT_TRUE(Shows("Mail"));
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Commands1", "Programs"), "tickets.exe");
  EXPECT_EQ(IniValue(k.IniPath(), "Options", "FollowPrograms"), "<none>");
}

TEST_F(ProgramsTest, FollowProgramsOffLeavesTheBarAndTheGroupMenuSetsTheList) {
  StartWith(Ini("[Options]\r\nFollowPrograms=0\r\n"), kDat);
  StartAs(mailer, "mailer.exe", 0);
  Sleep(300);
  EXPECT_TRUE(Shows("Plain"));
  // On again: the program typed into counts at once.
  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayFollowPrograms));
  EXPECT_TRUE(Shows("Mail"));

  // Plain takes the mailer too, named by its path and without ".exe": Mail, first, keeps
  // it, and the box says so.
  Choose(1);
  ASSERT_TRUE(Shows("Plain"));
  GroupMenu(kPrograms);
  Answer("Programs", "Plain", "\"C:\\Apps\\Mailer\", notes");
  Reply("Mailer.exe is served by the Mail group first: the bar shows that group for it.");
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Commands2", "Programs"), "Mailer.exe, notes.exe");
  EXPECT_EQ(IniValue(k.IniPath(), "Options", "FollowPrograms"), "1");
}

TEST_F(ProgramsTest, AnAbbreviationOfAGroupWithProgramsWorksOnlyInThem) {
  StartWith(Ini(), kDat);
  StartAs(mailer, "mailer.exe", 0);
  StartAs(tickets, "tickets.exe", 250);
  LaunchTarget("--no-log");  // typing_target.exe, which no group serves
  Place(target, 310, 250);
  EXPECT_EQ(Typed(mailer), "dear customer");
  EXPECT_EQ(Typed(tickets), "ticket closed");
  EXPECT_EQ(Typed(target), ";hi");
}

}  // namespace
}  // namespace ks::e2e
