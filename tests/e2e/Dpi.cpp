// The program on a display at 150 % (144 dots per inch): every size of its windows is the
// size at 96 DPI times 1.5, its fonts grow with them, and the settings file keeps the sizes
// at 96 DPI. Runs in a prefix of its own at that DPI (ctest -R wine.Dpi).
#include <gtest/gtest.h>

#include <string>

#include "common/dpi.h"
#include "support/fixture.h"

namespace ks::e2e {
namespace {

constexpr int kDpi = 144;
int Px(int size96) { return ScaleToDpi(size96, kDpi); }

constexpr int kNameId = 101, kRecordId = 105, kDoneId = 104;
constexpr int kEditButton = 3;  // Down presses that reach "Edit Button" in the button menu

// Five buttons in one column, a width of 120 and stored places of all three windows.
const char* kIni =
    "[Window]\r\nButtonWidth=120\r\nXPosition=40\r\nYPosition=30\r\n"
    "[TypeWindow]\r\nXPosition=300\r\nYPosition=200\r\nWidth=400\r\nHeight=230\r\n"
    "[ListWindow]\r\nXPosition=500\r\nYPosition=100\r\nWidth=120\r\nHeight=140\r\n"
    "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Work\r\n"
    "[Commands]\r\nNumCommands=5\r\nColumns=1\r\nPassword=\r\n"
    "Caption1=Hello\r\nColor1=255\r\nCaption2=Sign\r\nColor2=32768\r\nCaption3=Date\r\n"
    "Color3=16711680\r\nCaption4=Tab\r\nColor4=0\r\nCaption5=Addr\r\nColor5=8421376\r\n";
const char* kDat = "Hello\r\nKind regards\r\n{DATE}\r\n{TAB}\r\n{LIST Monday,Tuesday}\r\n";

// A window's place in its parent's client area.
RECT PlaceIn(HWND parent, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE SizeOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// How wide ten capitals are in `edit`, measured by the control itself.
int TenCapitalsIn(HWND edit) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("MMMMMMMMMMx"));
  auto x = [&](int i) { return static_cast<short>(LOWORD(SendMessageA(edit, EM_POSFROMCHAR, i, 0))); };
  return x(10) - x(0);
}

// How wide ten capitals are in the editor's font at a character height of `height` pixels.
int TenCapitalsAt(int height) {
  HFONT f = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                        "MS Sans Serif");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f);
  SIZE s{};
  GetTextExtentPoint32A(dc, "MMMMMMMMMM", 10, &s);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(f);
  return s.cx;
}

class DpiTest : public BarFixture {
 protected:
  void SetUp() override {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    ASSERT_EQ(dpi, kDpi) << "this suite needs the prefix at 150 %: ctest -R wine.Dpi";
  }
  HWND OpenMenu() const { return FindVisibleWindowOf(k.pid(), "#32768"); }
};

TEST_F(DpiTest, TheDefaultBarHasCellsOfOneAndAHalfTimesTheirSize) {
  ASSERT_TRUE(k.Start());
  ShowBar();
  HWND bar = k.Bar();
  // One button under cell 0, 100 x 24 each at 96 DPI.
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 150; })) << k.BarClient().cx;
  EXPECT_EQ(k.BarClient().cy, 72);
  RECT b1 = PlaceIn(bar, k.Button(1));
  EXPECT_EQ(b1.left, 0);
  EXPECT_EQ(b1.top, 36);
  EXPECT_EQ(b1.right, 150);
  EXPECT_EQ(b1.bottom, 72);
  // Cell 0: the group list fills it up to the Undo square at its right end.
  RECT undo = PlaceIn(bar, FindChild(bar, "Button", "Undo"));
  EXPECT_EQ(undo.left, 150 - 36);
  EXPECT_EQ(undo.right - undo.left, 36);
  EXPECT_EQ(undo.bottom - undo.top, 36);
  HWND list = k.GroupList();
  RECT closed = PlaceIn(bar, list);
  EXPECT_EQ(closed.right - closed.left, 150 - 36);
  EXPECT_EQ(closed.bottom - closed.top, 36);
  EXPECT_EQ(SendMessageA(list, CB_GETITEMHEIGHT, 0, 0), Px(16));
}

TEST_F(DpiTest, SizesAreStoredAt96DpiAndPlacesInScreenPixels) {
  StartWith(kIni, kDat);
  HWND bar = k.Bar();
  EXPECT_EQ(k.BarClient().cx, Px(120));
  EXPECT_EQ(k.BarClient().cy, 6 * Px(24));
  RECT w{};
  GetWindowRect(bar, &w);
  EXPECT_EQ(w.left, 40);
  EXPECT_EQ(w.top, 30);
  HWND editor = FindWindowOf(k.pid(), "TKsmForm");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(SizeOf(editor).cx, Px(400));
  EXPECT_EQ(SizeOf(editor).cy, Px(230));
  HWND picker = FindWindowOf(k.pid(), "TListForm");
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(SizeOf(picker).cx, Px(120));
  EXPECT_EQ(SizeOf(picker).cy, Px(140));

  // A width dragged to three cells and a bit sets three columns of 180 pixels.
  SIZE outer = SizeOf(bar);
  SetWindowPos(bar, nullptr, 0, 0, outer.cx + 3 * Px(120) + 20 - k.BarClient().cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 3 * Px(120); })) << k.BarClient().cx;
  EXPECT_EQ(k.BarClient().cy, 2 * Px(24));

  // The picker's list, made at the first pick, has its lines at the display's size.
  StartTarget();
  Press(5);
  ASSERT_TRUE(WaitFor([&] { return (picker = FindVisibleWindowOf(k.pid(), contract::kListClass)); }));
  EXPECT_EQ(SendMessageA(FindChild(picker, "ListBox"), LB_GETITEMHEIGHT, 0, 0), Px(16));
  PostMessageA(picker, WM_CLOSE, 0, 0);

  ASSERT_TRUE(k.Exit());
  const std::string ini = k.IniPath();
  EXPECT_EQ(IniValue(ini, "Window", "ButtonWidth"), "120");
  EXPECT_EQ(IniValue(ini, "Window", "XPosition"), "40");
  EXPECT_EQ(IniValue(ini, "Commands", "Columns"), "3");
  EXPECT_EQ(IniValue(ini, "TypeWindow", "Width"), "400");
  EXPECT_EQ(IniValue(ini, "TypeWindow", "Height"), "230");
  EXPECT_EQ(IniValue(ini, "TypeWindow", "XPosition"), "300");
  EXPECT_EQ(IniValue(ini, "ListWindow", "Width"), "120");
  EXPECT_EQ(IniValue(ini, "ListWindow", "Height"), "140");
}

TEST_F(DpiTest, TheEditorLaysItselfOutAndWritesAtTheDisplaysSize) {
  StartWith(kIni, kDat);
  EXPECT_TRUE(Picture("bar-150", {k.Bar()}, 6));
  POINT c = CentreOf(k.Button(2));
  Click(c.x, c.y, true);
  ASSERT_TRUE(k.MenuOpens());
  Sleep(150);
  EXPECT_TRUE(Picture("menu-150", {k.Bar(), OpenMenu()}, 6));
  for (int n = 0; n < kEditButton; ++n) PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  ASSERT_TRUE(k.MenuCloses());
  HWND ed = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (ed = FindVisibleWindowOf(k.pid(), "TKsmForm")) != nullptr; }))
      << DescribeWindows(k.pid());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == ed; }));
  Sleep(200);
  EXPECT_TRUE(Picture("editor-150", {ed}, 0));

  RECT client{};
  GetClientRect(ed, &client);
  RECT name = PlaceIn(ed, GetDlgItem(ed, kNameId));
  EXPECT_EQ(name.left, Px(100));
  EXPECT_EQ(name.top, 0);
  EXPECT_EQ(name.bottom, Px(24));
  RECT record = PlaceIn(ed, GetDlgItem(ed, kRecordId));
  RECT done = PlaceIn(ed, GetDlgItem(ed, kDoneId));
  EXPECT_EQ(record.right - record.left, Px(83));
  EXPECT_EQ(record.bottom - record.top, Px(25));
  EXPECT_EQ(done.left, record.right);
  EXPECT_EQ(done.right, client.right);
  EXPECT_EQ(done.bottom, client.bottom);

  // The text is written at 13 pixels at 96 DPI, so at 20 here.
  const int measured = TenCapitalsIn(GetDlgItem(ed, kNameId));
  EXPECT_NEAR(measured, TenCapitalsAt(-Px(13)), 2);
  EXPECT_GT(measured, TenCapitalsAt(-13) * 5 / 4);
  PostMessageA(ed, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(ed); }));
}

TEST_F(DpiTest, TheFindWindowOpensAtTheDisplaysSize) {
  StartWith(kIni, kDat);
  StartTarget();
  Chord({VK_CONTROL, VK_MENU, VK_SPACE});
  HWND find = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    return (find = FindVisibleWindowOf(k.pid(), contract::kFindClass)) &&
           GetForegroundWindow() == find;
  })) << DescribeWindows(k.pid());
  RECT client{};
  GetClientRect(find, &client);
  EXPECT_EQ(client.right, Px(480));
  EXPECT_EQ(SendMessageA(FindChild(find, "ListBox"), LB_GETITEMHEIGHT, 0, 0), Px(34));
  EXPECT_EQ(SizeOf(FindChild(find, "Edit")).cy, Px(24));
  EXPECT_TRUE(Picture("find-150", {find}, 0));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(find); }));
}

}  // namespace
}  // namespace ks::e2e
