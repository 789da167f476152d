// The bar as a user drives it: its size from the store, resizing into columns, rolling up,
// and what reaches the files at exit or not at all.
#include <gtest/gtest.h>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

// One group "Work" of five buttons in one column, and a second small group.
const char* kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=300\r\nYPosition=200\r\n"
    "[Groups]\r\nNumGroups=2\r\nActiveGroup=1\r\nGroupName1=Work\r\nGroupName2=Home\r\n"
    "[Commands]\r\nNumCommands=5\r\nColumns=1\r\nPassword=\r\n"
    "Caption1=Hello\r\nColor1=255\r\nCaption2=Sign\r\nColor2=32768\r\nCaption3=Date\r\n"
    "Color3=16711680\r\nCaption4=Tab\r\nColor4=0\r\nCaption5=Addr\r\nColor5=8421376\r\n"
    "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Home1\r\n";
const char* kDat = "Hello{enter}\r\nKind regards\r\n{DATE}\r\n{TAB}\r\nMain Street 1\r\nhome\r\n";

std::string SysMenuText(HWND bar, bool barMenu, int pos) {
  auto atom = static_cast<ATOM>(SendMessageA(bar, contract::kQuerySysMenuText, barMenu ? 1 : 0, pos));
  char buf[256] = {};
  GlobalGetAtomNameA(atom, buf, sizeof buf);
  GlobalDeleteAtom(atom);
  return buf;
}

// Wine's sizing loop sometimes misses an injected release that follows the last move
// closely; a second release ends it then and is ignored otherwise.
void EndSizingDrag(int x, int y) {
  MouseUp(x, y);
  Sleep(300);
  MouseUp(x, y);
}

class BarTest : public BarFixture {
 protected:
  BarTest() : BarFixture("keystrum_probe.exe") {}
  void SetUp() override { StartWith(kIni, kDat); }
};

TEST_F(BarTest, ShowsTheGridOfTheStoredGroupAndTakesColumnsFromAWidthDrag) {
  HWND bar = k.Bar();
  SIZE c = k.BarClient();
  EXPECT_EQ(c.cx, 100);
  EXPECT_EQ(c.cy, 6 * 24);  // the group list above five buttons
  for (int i = 1; i <= 5; ++i) EXPECT_TRUE(IsWindowVisible(k.Button(i))) << i;
  EXPECT_FALSE(IsWindowVisible(k.Button(6)));
  EXPECT_EQ(TextOf(k.Button(3)), "Date");

  // Drag the right border to three cells' width, with the mouse.
  RECT w{};
  GetWindowRect(bar, &w);
  int y = (w.top + w.bottom) / 2;
  MouseDown(w.right - 2, y);
  for (int x = w.right - 2; x <= w.right - 2 + 200 + 10; x += 20) {
    MoveMouse(x, y);
    Sleep(15);
  }
  EndSizingDrag(w.right - 2 + 210, y);
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 300; })) << k.BarClient().cx;
  EXPECT_EQ(k.BarClient().cy, 48);
  // Button 3 heads the second column, button 5 the third.
  const RECT b3 = k.ButtonRect(3), b5 = k.ButtonRect(5);
  EXPECT_EQ(b5.left - b3.left, 100);
  EXPECT_EQ(b3.top, b5.top);

  ASSERT_TRUE(k.Exit());
  std::string ini = k.Ini();
  EXPECT_NE(ini.find("Columns=3"), std::string::npos) << ini;
  EXPECT_EQ(k.Dat(), kDat);
}

TEST_F(BarTest, RollsUpToItsCaptionAndBackFromEitherSystemMenu) {
  HWND bar = k.Bar();
  HWND app = FindWindowOf(k.pid(), contract::kApplicationClass);
  ASSERT_NE(app, nullptr);
  for (bool barMenu : {false, true}) {
    EXPECT_EQ(SysMenuText(bar, barMenu, 0), "RollUp");
    EXPECT_EQ(SysMenuText(bar, barMenu, 3), "Hide");
  }
  // A system command that is not exactly the item's is never taken for it.
  PostMessageA(bar, WM_SYSCOMMAND, 1001, 0);
  Sleep(200);
  EXPECT_EQ(k.BarClient().cy, 6 * 24);

  PostMessageA(bar, WM_SYSCOMMAND, 1000, 0);
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cy == 0; }));
  EXPECT_EQ(k.BarClient().cx, 100);
  for (bool barMenu : {false, true}) EXPECT_EQ(SysMenuText(bar, barMenu, 0), "UnRoll");

  // Dragging the border of a rolled-up bar snaps back to the caption.
  RECT w{};
  GetWindowRect(bar, &w);
  MouseDown(w.right - 2, (w.top + w.bottom) / 2);
  MoveMouse(w.right + 150, w.bottom + 100);
  Sleep(50);
  EndSizingDrag(w.right + 150, w.bottom + 100);
  Sleep(300);
  EXPECT_EQ(k.BarClient().cy, 0);
  EXPECT_EQ(k.BarClient().cx, 100);

  // Unrolling through the application window's menu restores the grid.
  PostMessageA(app, WM_SYSCOMMAND, 1000, 0);
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cy == 6 * 24; }));
  for (bool barMenu : {false, true}) EXPECT_EQ(SysMenuText(bar, barMenu, 0), "RollUp");

  // A tray click on a rolled-up bar shows it unrolled.
  PostMessageA(bar, WM_SYSCOMMAND, 1000, 0);
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cy == 0; }));
  k.TrayClick();
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cy == 6 * 24; }));

  // "Hide" hides the bar instead of starting a resize.
  PostMessageA(bar, WM_SYSCOMMAND, SC_SIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(bar); }));
  ASSERT_TRUE(k.Exit());
}

TEST_F(BarTest, AKilledRunLeavesBothFilesAsTheyWere) {
  // Switch the group: a change that a normal exit would save.
  HWND list = k.GroupList();
  SendMessageA(list, CB_SETCURSEL, 0, 0);  // "Home" sorts first
  SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  ASSERT_TRUE(WaitFor([&] { return TextOf(k.Button(1)) == "Home1"; }));
  k.Kill();
  EXPECT_EQ(k.Ini(), kIni);
  EXPECT_EQ(k.Dat(), kDat);
}

TEST_F(BarTest, ExitFromTheTrayMenuRemovesTheIconAndWritesBothFiles) {
  HWND list = k.GroupList();
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  ASSERT_TRUE(WaitFor([&] { return TextOf(k.Button(1)) == "Home1"; }));
  // A right click on the icon opens the menu; its "E&xit" answers to x.
  PostMessageA(k.TrayIconWindow(), contract::kTrayCallback, 0, WM_RBUTTONUP);
  Sleep(500);
  PressKey('X');
  ASSERT_TRUE(k.WaitExit());
  std::string ini = k.Ini();
  EXPECT_NE(ini.find("ActiveGroup=2"), std::string::npos) << ini;
  EXPECT_EQ(k.Dat(), kDat);
}

// The bar's controls come when it is first shown, with what it loaded: the active group
// (here the second) selected among the sorted lines of its list, its buttons, in the places
// of its layout. Another group chosen then comes whole.
TEST(BarHidden, ItsControlsComeAtItsFirstShowingWithWhatItLoaded) {
  Keystrum k;
  std::string ini = kIni;
  ini.replace(ini.find("ActiveGroup=1"), 13, "ActiveGroup=2");
  k.WriteIni(ini);
  k.WriteDat(kDat);
  ASSERT_TRUE(k.Start());
  EXPECT_EQ(k.GroupList(), nullptr);
  k.TrayClick();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }));
  HWND list = k.GroupList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);  // "Home" sorts first
  EXPECT_EQ(TextOf(list), "Home");
  EXPECT_EQ(TextOf(k.Button(1)), "Home1");
  EXPECT_TRUE(IsWindowVisible(k.Button(1)));
  for (int i = 2; i <= 5; ++i) EXPECT_FALSE(IsWindowVisible(k.Button(i))) << i;
  EXPECT_EQ(k.BarClient().cy, 2 * 24);
  RECT b1 = k.ButtonRect(1);
  POINT corner{b1.left, b1.top};
  ScreenToClient(k.Bar(), &corner);
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 24);
  EXPECT_EQ(b1.right - b1.left, 100);
  SendMessageA(list, CB_SETCURSEL, 1, 0);
  SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  ASSERT_TRUE(WaitFor([&] { return TextOf(k.Button(5)) == "Addr" && IsWindowVisible(k.Button(5)); }));
  EXPECT_EQ(k.BarClient().cy, 6 * 24);
  EXPECT_TRUE(k.Exit());
}

TEST(BarShipped, TheProgramAnswersNoTestQueries) {
  Keystrum k;
  ASSERT_TRUE(k.Start());
  HWND bar = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (bar = k.Bar()) != nullptr; }));
  DWORD_PTR answer = 1;
  ASSERT_TRUE(SendMessageTimeoutA(bar, contract::kQuerySysMenuText, 1, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(answer, 0u);  // no atom made for a stranger
  EXPECT_TRUE(k.Exit());
}

}  // namespace
}  // namespace ks::e2e
