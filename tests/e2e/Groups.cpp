// Groups and their passwords as a user handles them: the group list's menu opened with a
// right click, its questions answered by typing and clicking, the groups switched with the
// mouse, and what reaches the settings file at exit.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

// Two groups: "Work" (group 1, section [Commands]) and "Home" (group 2, [Commands1]).
const char* kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
    "[Groups]\r\nNumGroups=2\r\nActiveGroup=1\r\nGroupName1=Work\r\nGroupName2=Home\r\n"
    "[Commands]\r\nNumCommands=2\r\nColumns=1\r\nCaption1=Hello\r\nCaption2=Bye\r\n"
    "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Home1\r\n";
const char* kDat = "hello\r\nbye\r\nhome\r\n";

// The sections of a settings file, each as key -> value.
using Sections = std::map<std::string, std::map<std::string, std::string>>;

Sections ParseIni(const std::string& text) {
  Sections out;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      out[section];
      continue;
    }
    size_t eq = line.find('=');
    if (eq != std::string::npos) out[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
  return out;
}

class GroupsTest : public BarFixture {
 protected:
  void SetUp() override { StartWith(kIni, kDat); }

  // The names of the group list, in its order.
  std::vector<std::string> ListNames() {
    std::vector<std::string> names;
    HWND list = k.GroupList();
    int n = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    // Read through the closed list's own text: select each line without notifying the bar,
    // then put the selection back.
    int sel = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < n; ++i) {
      SendMessageA(list, CB_SETCURSEL, i, 0);
      names.push_back(TextOf(list));
    }
    SendMessageA(list, CB_SETCURSEL, sel, 0);
    return names;
  }
  std::string SelectedGroup() { return TextOf(k.GroupList()); }

  // Where the bar's thread has its focus, capture and active window: for failure messages.
  std::string FocusState() {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    GetGUIThreadInfo(GetWindowThreadProcessId(k.Bar(), nullptr), &g);
    return " focus " + ClassOf(g.hwndFocus) + " #" + std::to_string(GetDlgCtrlID(g.hwndFocus)) +
           ", capture " + ClassOf(g.hwndCapture) + ", active " + ClassOf(g.hwndActive) +
           ", flags " + std::to_string(g.flags);
  }

  // Drops the group list down with a click and clicks line `line` of it.
  void PickGroup(int line, const std::string& expect) {
    POINT c = CentreOf(k.GroupList());
    RestAt(c.x, c.y);
    Click(c.x, c.y);
    HWND drop = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (drop = FindVisibleWindowOf(k.pid(), "ComboLBox")); }))
        << DescribeWindows(k.pid()) << FocusState();
    Sleep(100);
    RECT r{};
    GetWindowRect(drop, &r);
    Click(r.left + 20, r.top + 1 + 16 * line + 8);
    ASSERT_TRUE(WaitFor([&] { return SelectedGroup() == expect; })) << SelectedGroup();
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(drop); }));
  }

  ::testing::AssertionResult ButtonsAre(const std::vector<std::string>& captions) {
    bool ok = WaitFor([&] {
      for (size_t i = 0; i < captions.size(); ++i) {
        HWND b = k.Button(static_cast<int>(i) + 1);
        if (!IsWindowVisible(b) || TextOf(b) != captions[i]) return false;
      }
      return !IsWindowVisible(k.Button(static_cast<int>(captions.size()) + 1));
    });
    if (ok) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "the bar shows:";
    for (int i = 1; i <= 6; ++i)
      if (IsWindowVisible(k.Button(i))) failure << " [" << TextOf(k.Button(i)) << "]";
    return failure;
  }
  // No box of the program shows up within `ms`.
  bool NoDialogFor(int ms) {
    return !WaitFor([&] { return FindVisibleWindowOf(k.pid(), "#32770") != nullptr; }, ms);
  }
};

TEST_F(GroupsTest, NewRenameAndDeleteFollowTheAnswersAndTheFileKeepsTheRest) {
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"Home", "Work"}));

  // Cancel and a name that exists change nothing.
  GroupMenu(kNewGroup);
  Answer("Create new Group", "What would you like to name the new Group?", "Never", false);
  EXPECT_TRUE(NoDialogFor(400));
  GroupMenu(kNewGroup);
  Answer("Create new Group", "What would you like to name the new Group?", "Work");
  Reply("I am sorry, the Work group already exists!");
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Home", "Work"}));
  EXPECT_EQ(SelectedGroup(), "Work");

  // A new group lands at its sorted place, selected and active with its one button.
  GroupMenu(kNewGroup);
  Answer("Create new Group", "What would you like to name the new Group?", "Jobs");
  ASSERT_TRUE(WaitFor([&] { return SelectedGroup() == "Jobs"; })) << SelectedGroup();
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Home", "Jobs", "Work"}));
  EXPECT_TRUE(ButtonsAre({"NewButton"}));

  // Renaming offers the current name; the same name changes nothing, a taken one is refused
  // and a new one moves the line to its sorted place with the same buttons.
  GroupMenu(kEditGroup);
  {
    HWND box = Dialog("Rename Group");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(FindChild(box, "Edit")), "Jobs");
  }
  Answer("Rename Group", "What would you like to rename the Group to?", "Jobs");
  EXPECT_TRUE(NoDialogFor(400));
  GroupMenu(kEditGroup);
  Answer("Rename Group", "What would you like to rename the Group to?", "Home");
  Reply("I am sorry, the Home group already exists!");
  GroupMenu(kEditGroup);
  Answer("Rename Group", "What would you like to rename the Group to?", "Admin");
  ASSERT_TRUE(WaitFor([&] { return SelectedGroup() == "Admin"; })) << SelectedGroup();
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Admin", "Home", "Work"}));
  EXPECT_TRUE(ButtonsAre({"NewButton"}));

  // Delete the group in the middle of the store: No keeps it, Yes removes it and shows the
  // alphabetically first group.
  PickGroup(1, "Home");
  EXPECT_TRUE(ButtonsAre({"Home1"}));
  GroupMenu(kDeleteGroup);
  Reply("Are you sure you want to delete the Home group?", IDNO);
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Admin", "Home", "Work"}));
  EXPECT_EQ(SelectedGroup(), "Home");
  GroupMenu(kDeleteGroup);
  Reply("Are you sure you want to delete the Home group?", IDYES);
  ASSERT_TRUE(WaitFor([&] { return SelectedGroup() == "Admin"; })) << SelectedGroup();
  EXPECT_EQ(ListNames(), (std::vector<std::string>{"Admin", "Work"}));
  EXPECT_TRUE(ButtonsAre({"NewButton"}));
  PickGroup(1, "Work");
  EXPECT_TRUE(ButtonsAre({"Hello", "Bye"}));

  ASSERT_TRUE(k.Exit());
  Sections ini = ParseIni(k.Ini());
  EXPECT_EQ(ini["Groups"]["NumGroups"], "2");
  EXPECT_EQ(ini["Groups"]["GroupName1"], "Work");
  EXPECT_EQ(ini["Groups"]["GroupName2"], "Admin");
  // GroupName3 may stand as written while there were three: a save leaves the keys it
  // does not write, and NumGroups says how many count.
  EXPECT_EQ(ini["Commands"]["Caption2"], "Bye");
  EXPECT_EQ(ini["Commands1"]["Caption1"], "NewButton");
  EXPECT_EQ(ini["Commands1"]["NumCommands"], "1");
  EXPECT_EQ(k.Dat(), "hello\r\nbye\r\nDefault button for a new Group\r\n");
}

TEST_F(GroupsTest, APasswordLocksFromTheNextSwitchAndIsSavedUnderItsGroupsSection) {
  StartTarget();
  // Mismatched answers change nothing and say nothing.
  GroupMenu(kPasswordProtect);
  Answer("New Group Password", "Please type the NEW password:", "Pw1");
  Answer("New Group Password", "Please re-type the NEW password:", "pw1");
  EXPECT_TRUE(NoDialogFor(500));
  GroupMenu(kPasswordProtect);
  Answer("New Group Password", "Please type the NEW password:", "Pw1");
  Answer("New Group Password", "Please re-type the NEW password:", "Pw1");
  Reply("Password for Work set.");

  // The group stays open until it is chosen again.
  FocusTarget();
  RestAndPress(1);
  ASSERT_TRUE(TextBecomes("hello"));
  EXPECT_EQ(Dialog("Group Password", 300), nullptr);

  PickGroup(0, "Home");
  EXPECT_TRUE(ButtonsAre({"Home1"}));
  PickGroup(1, "Work");
  EXPECT_TRUE(ButtonsAre({"Hello", "Bye"}));

  // Now the press asks; a wrong answer types nothing, the right one types at once.
  FocusTarget();
  RestAndPress(1);
  Answer("Group Password", "Please type the password for this group:", "pw1");
  Reply("Invalid Password.");
  Sleep(300);
  EXPECT_EQ(TextOf(edit_), "hello");
  FocusTarget();
  RestAndPress(1);
  Answer("Group Password", "Please type the password for this group:", "Pw1");
  EXPECT_TRUE(TextBecomes("hellohello"));
  FocusTarget();
  RestAndPress(2);  // unlocked: no further question
  EXPECT_TRUE(TextBecomes("hellohellobye"));
  EXPECT_EQ(Dialog("Group Password", 300), nullptr);

  // A second group gets its own password; removing asks for the current one first.
  PickGroup(0, "Home");
  GroupMenu(kRemovePassword);
  Reply("The Home group is not password protected.");
  GroupMenu(kPasswordProtect);
  Answer("New Group Password", "Please type the NEW password:", "h0me");
  Answer("New Group Password", "Please re-type the NEW password:", "h0me");
  Reply("Password for Home set.");
  GroupMenu(kRemovePassword);
  Answer("Existing Group Password", "Please type the CURRENT password:", "H0me");
  Reply("Invalid Password.");
  GroupMenu(kRemovePassword);
  Answer("Existing Group Password", "Please type the CURRENT password:", "h0me");
  Reply("Are you sure you want to remove the password protection for the Home group?", IDNO);
  // Changing it asks for the current one, then the new one twice.
  GroupMenu(kPasswordProtect);
  Answer("Existing Group Password", "Please type the CURRENT password:", "h0me");
  Answer("New Group Password", "Please type the NEW password:", "Home=2");
  Answer("New Group Password", "Please re-type the NEW password:", "Home=2");
  Reply("Password for Home set.");

  ASSERT_TRUE(k.Exit());
  Sections ini = ParseIni(k.Ini());
  EXPECT_EQ(ini["Commands"]["Password"], "Pw1");
  EXPECT_EQ(ini["Commands1"]["Password"], "Home=2");
  EXPECT_EQ(k.Dat(), kDat);
}

TEST_F(GroupsTest, AnEmptyGroupGetsItsFirstButtonFromTheGroupMenu) {
  // A hand-edited file can leave a group without buttons: no button menu opens there.
  ASSERT_TRUE(k.Exit());
  k.WriteIni("[Window]\r\nButtonWidth=100\r\nXPosition=300\r\nYPosition=200\r\n"
             "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Empty\r\n"
             "[Commands]\r\nNumCommands=0\r\nColumns=1\r\n");
  k.WriteDat("");
  ASSERT_TRUE(k.Start());
  ShowBar();
  EXPECT_EQ(k.BarClient().cy, 24);
  GroupMenu(static_cast<GroupMenuItem>(1));  // "New Button", first for an empty group
  HWND ed = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (ed = FindVisibleWindowOf(k.pid(), contract::kEditorClass)) != nullptr; }))
      << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(ed), "Create new button");
  SendMessageA(GetDlgItem(ed, 101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("First"));
  SendMessageA(GetDlgItem(ed, 103), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("first text"));
  ClickWindow(GetDlgItem(ed, 104));  // Done
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Button(1)) != FALSE; }));
  EXPECT_EQ(TextOf(k.Button(1)), "First");
  EXPECT_EQ(k.BarClient().cy, 48);
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(ParseIni(k.Ini())["Commands"]["NumCommands"], "1");
  EXPECT_EQ(k.Dat(), "first text\r\n");
}

TEST_F(GroupsTest, AButtonCopiedIntoANewGroupIsThereAfterARestart) {
  GroupMenu(kNewGroup);
  Answer("Create new Group", "What would you like to name the new Group?", "Zeta");
  ASSERT_TRUE(WaitFor([&] { return SelectedGroup() == "Zeta"; })) << SelectedGroup();
  EXPECT_TRUE(ButtonsAre({"NewButton"}));
  PickGroup(1, "Work");

  // Right click "Bye": SetupMenu > Copy to Group > the third entry, the new group.
  POINT bye = CentreOf(k.Button(2));
  RestAt(bye.x, bye.y);
  Click(bye.x, bye.y, true);
  ASSERT_TRUE(k.MenuOpens()) << "no button menu";
  Sleep(150);
  for (int i = 0; i < 5; ++i) PressKey(VK_DOWN);  // Undo, New, Edit, Delete, Copy to Group
  PressKey(VK_RIGHT);                              // opens the entries at "Work"
  Sleep(200);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  Sleep(300);
  EXPECT_TRUE(NoDialogFor(300));
  EXPECT_TRUE(ButtonsAre({"Hello", "Bye"}));  // the group shown does not change
  PickGroup(2, "Zeta");
  EXPECT_TRUE(ButtonsAre({"NewButton", "Bye"}));

  ASSERT_TRUE(k.Exit());
  ASSERT_TRUE(k.Start());
  ShowBar();
  ASSERT_EQ(ListNames(), (std::vector<std::string>{"Home", "Work", "Zeta"}));
  EXPECT_EQ(SelectedGroup(), "Zeta");
  EXPECT_TRUE(ButtonsAre({"NewButton", "Bye"}));

  // The copy types the text it was copied with.
  StartTarget();
  RestAndPress(2);
  EXPECT_TRUE(TextBecomes("bye"));
  PickGroup(1, "Work");
  EXPECT_TRUE(ButtonsAre({"Hello", "Bye"}));
}

// A store in the Unicode form of both files: a Cyrillic group name, captions in Latin,
// Greek and Cyrillic letters and a Greek hint. The bar shows every text exactly, and they
// come back from the files it writes, through the platform's wide reader too.
// docs/bar-scripts.png: KS_E2E_SHOTS='Z:\tmp\shots' and --gtest_filter=GroupsAnyScript.*,
// then `convert` (see Picture).
class GroupsAnyScript : public BarFixture {
 protected:
  const std::string kWork = "\xD0\xA0\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0";  // Rabota
  const std::string kGreeting =
      "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";  // Kalimera
  const std::string kThanks =
      "\xCE\x95\xCF\x85\xCF\x87\xCE\xB1\xCF\x81\xCE\xB9\xCF\x83\xCF\x84\xCF\x8E";  // Efcharisto
  const std::string kHint = "\xCE\xA7\xCE\xB1\xCE\xB9\xCF\x81\xCE\xB5\xCF\x84\xCE\xB9"
                            "\xCF\x83\xCE\xBC\xCF\x8C\xCF\x82";  // Chairetismos
  const std::string kHello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Privet
  const std::string kThanksToo =
      "\xD0\xA1\xD0\xBF\xD0\xB0\xD1\x81\xD0\xB8\xD0\xB1\xD0\xBE";  // Spasibo
  const std::string kDat = "\xEF\xBB\xBFhello\r\n" + kGreeting + "!\r\n" + kHello +
                           "\r\nthanks\r\n" + kThanksToo + "\r\nhome\r\n";

  void SetUp() override {
    StartWith(Utf16LeFile("[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
                          "[Groups]\r\nNumGroups=2\r\nActiveGroup=1\r\nGroupName1=" + kWork +
                          "\r\nGroupName2=Home\r\n"
                          "[Commands]\r\nNumCommands=5\r\nColumns=2\r\n"
                          "Caption1=Hello\r\nColor1=8388608\r\nCaption2=" + kGreeting +
                          "\r\nDescription2=" + kHint + "\r\nColor2=32768\r\nCaption3=" + kHello +
                          "\r\nColor3=128\r\nCaption4=" + kThanks + "\r\nColor4=8388736\r\n"
                          "Caption5=" + kThanksToo + "\r\nColor5=8421376\r\n"
                          "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Home1\r\n"),
              kDat);
  }

  ::testing::AssertionResult ShowsTheStore() {
    const std::vector<std::string> want{"Hello", kGreeting, kHello, kThanks, kThanksToo};
    std::vector<std::string> shown;
    WaitFor([&] {
      shown.clear();
      for (int i = 1; i <= 5; ++i) shown.push_back(Utf8TextOf(k.Button(i)));
      return shown == want && Utf8TextOf(k.GroupList()) == kWork;
    });
    if (shown == want && Utf8TextOf(k.GroupList()) == kWork)
      return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "the group list shows ["
                                                 << Utf8TextOf(k.GroupList()) << "], the buttons";
    for (const std::string& s : shown) failure << " [" << s << "]";
    return failure;
  }
};

TEST_F(GroupsAnyScript, TheBarShowsEveryTextExactlyAndTheFilesKeepThem) {
  EXPECT_TRUE(ShowsTheStore());
  EXPECT_TRUE(Picture("bar-scripts", {k.Bar()}, 6));

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(k.Ini().substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(IniValueW(k.IniPath(), "Groups", "GroupName1"), kWork);
  EXPECT_EQ(IniValueW(k.IniPath(), "Commands", "Caption2"), kGreeting);
  EXPECT_EQ(IniValueW(k.IniPath(), "Commands", "Description2"), kHint);
  EXPECT_EQ(k.Dat(), kDat);

  ASSERT_TRUE(k.Start());
  ShowBar();
  EXPECT_TRUE(ShowsTheStore());
}

}  // namespace
}  // namespace ks::e2e
