// Editing the buttons from the bar as a user does: right-button drags that reorder, the
// button menu driven from the keyboard, the editor, the font and width settings, and what
// of it all comes back after a restart.
#include <gtest/gtest.h>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

// The button menu's items as the keyboard reaches them: the first Down selects the first
// item, separators are skipped.
enum MenuItem {
  kUndoTyping = 1,
  kNewButton,
  kEditButton,
  kDeleteButton,
  kCopyToGroup,
  kMoveToGroup,
  kButtonFont,
  kButtonWidth,
  kFind,
  kCancel
};

constexpr int kNameId = 101, kHintId = 102, kMemoId = 103, kDoneId = 104;

// Group "Work" of three buttons in one column; group "Spare" of one.
const char* kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
    "[TypeWindow]\r\nXPosition=180\r\nYPosition=430\r\nWidth=400\r\nHeight=230\r\n"
    "[Groups]\r\nNumGroups=2\r\nActiveGroup=1\r\nGroupName1=Work\r\nGroupName2=Spare\r\n"
    "[Commands]\r\nNumCommands=3\r\nColumns=1\r\n"
    "Caption1=Alpha\r\nDescription1=first\r\nColor1=255\r\nShortcut1=1\r\n"
    "Caption2=Beta\r\nDescription2=Closes a letter\r\nColor2=32768\r\nShortcut2=2\r\n"
    "Caption3=Gamma\r\nDescription3=third\r\nColor3=16711680\r\nShortcut3=3\r\n"
    "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Spare1\r\n";
const char* kDat = "aaa\r\nKind regards,{enter}Bea\r\nccc\r\nspare\r\n";

// docs/menu.png and docs/editor.png: KS_E2E_SHOTS='Z:\tmp\shots' and
// --gtest_filter=EditTest.EditButton*, then `convert` (see Picture).

class EditTest : public BarFixture {
 protected:
  void SetUp() override { StartWith(kIni, kDat); }
  // Ends the program normally and starts it on other files.
  void StartOver(const std::string& ini, const std::string& dat) {
    ASSERT_TRUE(k.Exit());
    StartWith(ini, dat);
  }
  // Ends the program normally and starts it again on the files it wrote.
  void Restart() {
    ASSERT_TRUE(k.Exit());
    ASSERT_TRUE(k.Start());
    ShowBar();
  }

  using Fields = std::vector<std::string>;
  // Button `i` of `section` as the settings file holds it: caption, hint, colour, shortcut.
  Fields StoredButton(const char* section, int i) const {
    Fields fields;
    for (const std::string key : {"Caption", "Description", "Color", "Shortcut"})
      fields.push_back(IniValue(k.IniPath(), section, (key + std::to_string(i)).c_str()));
    return fields;
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (int i = 1; i <= 50 && IsWindowVisible(k.Button(i)); ++i) out.push_back(TextOf(k.Button(i)));
    return out;
  }
  ::testing::AssertionResult CaptionsBecome(const std::vector<std::string>& want, int ms = 5000) {
    if (WaitFor([&] { return Captions() == want; }, ms)) return ::testing::AssertionSuccess();
    std::string got;
    for (const auto& c : Captions()) got += "[" + c + "]";
    return ::testing::AssertionFailure() << "the bar shows " << got;
  }

  HWND OpenMenu() const { return FindVisibleWindowOf(k.pid(), "#32768"); }
  bool MenuOpens(int ms = 3000) const { return k.MenuOpens(ms); }
  bool MenuCloses(int ms = 3000) const { return k.MenuCloses(ms); }

  // A right click without movement on button `i`: the button menu opens.
  void RightClick(int i) {
    POINT c = CentreOf(k.Button(i));
    Click(c.x, c.y, true);
    ASSERT_TRUE(MenuOpens()) << "no menu after a right click on button " << i;
    Sleep(150);
  }
  // Chooses item `item` of the open button menu with the keyboard.
  void Choose(MenuItem item) {
    for (int n = 0; n < item; ++n) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(MenuCloses());
  }
  // Chooses entry `entry` (counting from 0) of the copy or the move submenu.
  void ChooseGroup(MenuItem submenu, int entry) {
    for (int n = 0; n < submenu; ++n) PressKey(VK_DOWN);
    PressKey(VK_RIGHT);  // opens the group entries, the first selected
    Sleep(150);
    for (int n = 0; n < entry; ++n) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(MenuCloses());
  }
  // A message box saying `text` is up; its OK button closes it.
  ::testing::AssertionResult MessageSaid(const char* text) {
    HWND box = Dialog(contract::kTitle);
    if (!box) return ::testing::AssertionFailure() << "no message; " << DescribeWindows(k.pid());
    HWND line = FindChild(box, "Static", text);
    std::string said = TextOf(FindChild(box, "Static"));
    ClickWindow(GetDlgItem(box, IDOK));
    if (!WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
      return ::testing::AssertionFailure() << "the message stays";
    if (!line) return ::testing::AssertionFailure() << "the message says [" << said << "]";
    return ::testing::AssertionSuccess();
  }
  // Shows the group at `sorted` in the group list, as a choice in the list does.
  void SwitchGroup(int sorted) {
    HWND list = k.GroupList();
    SendMessageA(list, CB_SETCURSEL, sorted, 0);
    SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  // A right-button drag from the centre of button `from` to `to`, in steps a user's hand
  // would make, released there.
  void RightDrag(int from, POINT to, bool escapeBeforeRelease = false) {
    RightDrag(CentreOf(k.Button(from)), to, escapeBeforeRelease);
  }
  void RightDrag(POINT a, POINT to, bool escapeBeforeRelease = false) {
    MouseDown(a.x, a.y, true);
    Sleep(50);
    const int steps = 8;
    for (int s = 1; s <= steps; ++s) {
      MoveMouse(a.x + (to.x - a.x) * s / steps, a.y + (to.y - a.y) * s / steps);
      Sleep(20);
    }
    Sleep(50);
    if (escapeBeforeRelease) {
      PressKey(VK_ESCAPE);
      Sleep(100);
    }
    MouseUp(to.x, to.y, true);
  }

  HWND Editor() const {
    HWND ed = nullptr;
    WaitFor([&] { return (ed = FindVisibleWindowOf(k.pid(), contract::kEditorClass)) != nullptr; });
    return ed;
  }
  bool EditorCloses() const {
    return WaitFor([&] { return FindVisibleWindowOf(k.pid(), contract::kEditorClass) == nullptr; });
  }
  static std::string Field(HWND editor, int id) { return TextOf(GetDlgItem(editor, id)); }
  // What the editor shows: its name, hint and text fields.
  static Fields Shown(HWND editor) {
    return {Field(editor, kNameId), Field(editor, kHintId), Field(editor, kMemoId)};
  }
  static void SetField(HWND editor, int id, const std::string& text) {
    SendMessageA(GetDlgItem(editor, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }

};

TEST_F(EditTest, ARightDragOntoAnotherButtonReordersAndEachStillTypesItsOwnText) {
  LaunchTarget();
  RightDrag(1, CentreOf(k.Button(3)));
  ASSERT_TRUE(CaptionsBecome({"Beta", "Gamma", "Alpha"}));
  Sleep(400);
  EXPECT_EQ(OpenMenu(), nullptr) << "a drop on another button opens no menu";

  TypeFrom(1);
  EXPECT_TRUE(TextBecomes("Kind regards,\r\nBea"));
  TypeFrom(2);
  EXPECT_TRUE(TextBecomes("ccc"));
  TypeFrom(3);
  EXPECT_TRUE(TextBecomes("aaa"));
  // The menu's first item takes the typing back, in the window it went to.
  RightClick(2);
  Choose(kUndoTyping);
  EXPECT_TRUE(TextBecomes(""));

  // With the user's window in front, Esc still reaches the drag and cancels it.
  FocusTarget();
  RightDrag(1, CentreOf(k.Button(3)), true);
  ASSERT_TRUE(MenuOpens()) << "no menu after a cancelled drag";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  EXPECT_TRUE(CaptionsBecome({"Beta", "Gamma", "Alpha"}));
  // The menu left the bar in front; a press types into the user's window all the same.
  target.Clear();
  ClickWindow(k.Button(2));
  EXPECT_TRUE(TextBecomes("ccc"));

  // Dragging back the other way: the last button onto the first.
  RightDrag(3, CentreOf(k.Button(1)));
  ASSERT_TRUE(CaptionsBecome({"Alpha", "Beta", "Gamma"}));
  RightDrag(1, CentreOf(k.Button(3)));
  ASSERT_TRUE(CaptionsBecome({"Beta", "Gamma", "Alpha"}));

  Restart();
  EXPECT_TRUE(CaptionsBecome({"Beta", "Gamma", "Alpha"}));
  // Every field moved with its button.
  EXPECT_EQ(StoredButton("Commands", 3), (Fields{"Alpha", "first", "255", "1"}));
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Shortcut1"), "2");
  EXPECT_EQ(k.Dat(), "Kind regards,{enter}Bea\r\nccc\r\naaa\r\nspare\r\n");
  TypeFrom(3);
  EXPECT_TRUE(TextBecomes("aaa"));
}

TEST_F(EditTest, DropsThatEndOffAnotherButtonReorderNothingAndOpenTheMenu) {
  const std::vector<std::string> order{"Alpha", "Beta", "Gamma"};
  // Onto the group list, which is no button: the menu opens for the dragged button.
  RightDrag(2, CentreOf(k.GroupList()));
  ASSERT_TRUE(MenuOpens()) << "no menu after a drop on the group list";
  EXPECT_TRUE(CaptionsBecome(order));
  Sleep(150);
  Choose(kEditButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(Field(ed, kNameId), "Beta");
  PostMessageA(ed, WM_CLOSE, 0, 0);
  ASSERT_TRUE(EditorCloses());

  // Outside the bar altogether.
  RECT bar{};
  GetWindowRect(k.Bar(), &bar);
  RightDrag(1, POINT{bar.left - 120, bar.top + 60});
  ASSERT_TRUE(MenuOpens()) << "no menu after a drop outside the bar";
  Choose(kCancel);
  EXPECT_TRUE(CaptionsBecome(order));

  // Onto the button it started from, past the threshold.
  POINT c = CentreOf(k.Button(3));
  RightDrag(3, POINT{c.x + 30, c.y});
  ASSERT_TRUE(MenuOpens()) << "no menu after a drop on the dragged button itself";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  EXPECT_TRUE(CaptionsBecome(order));

  // Esc while dragging over another button cancels the drag.
  RightDrag(1, CentreOf(k.Button(3)), true);
  ASSERT_TRUE(MenuOpens()) << "no menu after a cancelled drag";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  Sleep(200);
  EXPECT_TRUE(CaptionsBecome(order));

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Caption1"), "Alpha");
  EXPECT_EQ(k.Dat(), kDat);
}

TEST_F(EditTest, TenPixelsMakeADragAndTheMenuOpensWhereTheMouseWasPressedOrLetGo) {
  const std::vector<std::string> order{"Alpha", "Beta", "Gamma"};
  auto menuAt = [&](POINT p) -> ::testing::AssertionResult {
    if (!MenuOpens())
      return ::testing::AssertionFailure() << "no menu; " << DescribeWindows(k.pid());
    RECT m{};
    GetWindowRect(OpenMenu(), &m);
    if (m.left == p.x && m.top == p.y) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "menu at " << m.left << "," << m.top << ", not " << p.x << "," << p.y;
  };
  POINT c = CentreOf(k.Button(1));
  auto cursorNow = [] {
    CURSORINFO ci{};
    ci.cbSize = sizeof ci;
    GetCursorInfo(&ci);
    return ci.hCursor;
  };
  MoveMouse(c.x, c.y);
  Sleep(100);
  HCURSOR normal = cursorNow();
  // Nine pixels either way is still a click: the menu opens where the button went down.
  RightDrag(c, POINT{c.x + 9, c.y});
  EXPECT_TRUE(menuAt(c));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  RightDrag(c, POINT{c.x, c.y + 9});
  EXPECT_TRUE(menuAt(c));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  // Ten is a drag; dropped on the button it started from, the menu opens where it was let go.
  RightDrag(c, POINT{c.x, c.y + 10});
  EXPECT_TRUE(menuAt(POINT{c.x, c.y + 10}));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  RightDrag(c, POINT{c.x - 10, c.y});
  EXPECT_TRUE(menuAt(POINT{c.x - 10, c.y}));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  EXPECT_TRUE(CaptionsBecome(order));

  // While dragging, a button shows that it takes the drop and other places that they do not.
  // (Cursor handles are the program's own: compared among themselves only.)
  POINT over = CentreOf(k.Button(3));
  RECT bar{};
  GetWindowRect(k.Bar(), &bar);
  POINT outside{bar.left - 80, over.y};
  MouseDown(c.x, c.y, true);
  for (int y = c.y; y <= over.y; y += 6) {
    MoveMouse(c.x, y);
    Sleep(15);
  }
  MoveMouse(over.x, over.y);
  Sleep(100);
  HCURSOR onButton = cursorNow();
  for (int x = over.x; x >= outside.x; x -= 20) {
    MoveMouse(x, over.y);
    Sleep(15);
  }
  MoveMouse(outside.x, outside.y);
  Sleep(100);
  HCURSOR offButton = cursorNow();
  MouseUp(outside.x, outside.y, true);
  EXPECT_TRUE(menuAt(outside));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());
  EXPECT_NE(onButton, offButton);
  EXPECT_NE(onButton, normal);
  EXPECT_NE(offButton, normal);
  EXPECT_TRUE(CaptionsBecome(order));
}

TEST_F(EditTest, ButtonsOfOneCaptionReorderAndOpenTheMenuAndTheBackgroundTakesNoDrop) {
  // Four buttons in two columns: the cell below the last one is the bar's background.
  StartOver(
      "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
      "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Twins\r\n"
      "[Commands]\r\nNumCommands=4\r\nColumns=2\r\n"
      "Caption1=Same\r\nCaption2=Same\r\nCaption3=Other\r\nCaption4=Last\r\n",
      "s1\r\ns2\r\no\r\nl\r\n");
  ASSERT_EQ(k.BarClient().cx, 200);
  ASSERT_EQ(k.BarClient().cy, 72);
  RightDrag(1, CentreOf(k.Button(2)));
  EXPECT_TRUE(MenuOpens()) << "equal captions open the menu after the reorder";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());

  POINT origin{0, 0};
  ClientToScreen(k.Bar(), &origin);
  POINT background{origin.x + 150, origin.y + 2 * 24 + 12};
  ASSERT_EQ(WindowFromPoint(background), k.Bar());
  RightDrag(3, background);
  EXPECT_TRUE(MenuOpens()) << "no menu after a drop on the background";
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(MenuCloses());

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(k.Dat(), "s2\r\ns1\r\no\r\nl\r\n");
}

TEST_F(EditTest, EditButtonShowsTheButtonAndOnlyDoneStoresWhatChanged) {
  RightClick(2);
  EXPECT_TRUE(Picture("menu", {k.Bar(), OpenMenu()}, 6));
  Choose(kEditButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(ed), "Edit button");
  // Each {enter} shows a line break after it, which is not stored.
  EXPECT_EQ(Shown(ed), (Fields{"Beta", "Closes a letter", "Kind regards,{enter}\r\nBea"}));
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == ed; }));
  Sleep(200);
  EXPECT_TRUE(Picture("editor", {ed}, 0));

  // The caret is in the memo: keys typed now extend the text.
  PressWith(VK_CONTROL, VK_END);
  TypeText("x");
  PressKey(VK_RETURN);  // written as its type code, with the break shown after it
  ASSERT_TRUE(WaitFor([&] {
    return Field(ed, kMemoId) == "Kind regards,{enter}\r\nBeax{enter}\r\n";
  })) << Field(ed, kMemoId);
  // Esc in the text, or in the name, neither leaves the editor nor loses the edit.
  PressKey(VK_ESCAPE);
  ClickWindow(GetDlgItem(ed, kNameId));
  PressKey(VK_ESCAPE);
  Sleep(500);
  ASSERT_EQ(FindVisibleWindowOf(k.pid(), contract::kEditorClass), ed) << DescribeWindows(k.pid());
  EXPECT_EQ(Field(ed, kMemoId), "Kind regards,{enter}\r\nBeax{enter}\r\n");
  SetField(ed, kNameId, "Bravo");
  SetField(ed, kHintId, "changed");
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Bravo", "Gamma"}));
  EXPECT_EQ(k.BarClient().cy, 4 * 24);
  // Delete asks with the caption the button shows now.
  RightClick(2);
  Choose(kDeleteButton);
  HWND ask = Dialog("Confirm");
  ASSERT_NE(ask, nullptr) << DescribeWindows(k.pid());
  EXPECT_NE(FindChild(ask, "Static", "Are you sure you want to delete the Bravo button?"), nullptr);
  ClickWindow(GetDlgItem(ask, IDNO));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(ask) || !IsWindowVisible(ask); }));

  // Every field changed again, then the close box: nothing is stored.
  RightClick(2);
  Choose(kEditButton);
  ed = Editor();
  ASSERT_NE(ed, nullptr);
  EXPECT_EQ(Shown(ed), (Fields{"Bravo", "changed", "Kind regards,{enter}\r\nBeax{enter}\r\n"}));
  SetField(ed, kNameId, "Lost");
  SetField(ed, kHintId, "lost");
  SetField(ed, kMemoId, "lost");
  RECT r{};
  GetWindowRect(ed, &r);
  POINT box{r.right - GetSystemMetrics(SM_CXSIZEFRAME) - GetSystemMetrics(SM_CXSMSIZE) / 2 - 1,
            r.top + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2};
  ASSERT_EQ(SendMessageA(ed, WM_NCHITTEST, 0, MAKELPARAM(box.x, box.y)), HTCLOSE);
  Click(box.x, box.y);
  ASSERT_TRUE(EditorCloses());
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Bravo", "Gamma"}));

  Restart();
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Bravo", "Gamma"}));
  EXPECT_EQ(StoredButton("Commands", 2), (Fields{"Bravo", "changed", "32768", "2"}));
  EXPECT_EQ(k.Dat(), "aaa\r\nKind regards,{enter}Beax{enter}\r\nccc\r\nspare\r\n");
  LaunchTarget();
  TypeFrom(2);
  EXPECT_TRUE(TextBecomes("Kind regards,\r\nBeax\r\n"));
}

// Every change is on disk a second after it: a run killed three seconds after an edit
// loses nothing, and a run that only types leaves both files untouched.
TEST_F(EditTest, AnEditSurvivesAKillThreeSecondsLaterAndTypingWritesNothing) {
  LaunchTarget();
  const std::string ini = k.Ini(), dat = k.Dat();
  TypeFrom(3);
  ASSERT_TRUE(TextBecomes("ccc"));
  Sleep(1500);
  EXPECT_EQ(k.Ini(), ini);
  EXPECT_EQ(k.Dat(), dat);

  RightClick(2);
  Choose(kEditButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  SetField(ed, kNameId, "Kept");
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  Sleep(3000);
  k.Kill();
  ASSERT_TRUE(k.WaitExit());
  ASSERT_TRUE(k.Start());
  ShowBar();
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Kept", "Gamma"}));
}

// Texts in other scripts, typed as an input method sends them (Unicode input), go into the
// store exactly: a Greek caption, a hint with a check mark, and a text of Greek, an
// e-acute, a check mark and an emoji, with the codes Tab, Backspace and Enter write placed
// among characters of one and of two UTF-16 units. After a restart the bar shows the
// caption, the platform's own reader finds it in the settings file, and the button types
// the text into a wide EDIT.
TEST_F(EditTest, TextsOfAnyScriptEnteredInTheEditorComeBackExactlyAfterARestart) {
  const std::string caption = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
  const std::string hint = "\xCE\xA7\xCE\xB1\xCE\xAF\xCF\x81\xCE\xB5 \xE2\x9C\x93";
  const std::string greek = "\xCE\x93\xCE\xB5\xCE\xB9\xCE\xAC ";
  const std::string signs = "\xC3\xA9\xE2\x9C\x93\xF0\x9F\x98\x80";
  const std::string omega = "\xCE\xA9";
  RightClick(2);
  Choose(kEditButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == ed; }));
  auto typeInto = [&](int id, const std::string& text) {
    HWND field = GetDlgItem(ed, id);
    ClickWindow(field);
    // The keys must not come before the click has moved the focus, nor the selection
    // before the field has let the mouse go: while it holds the mouse, a move (the
    // driver's, back onto the field before the release) selects from the start to the
    // pointer again.
    if (!WaitFor([&] {
          GUITHREADINFO g{};
          g.cbSize = sizeof g;
          return GetGUIThreadInfo(GetWindowThreadProcessId(ed, nullptr), &g) &&
                 g.hwndFocus == field && g.hwndCapture == nullptr;
        }))
      return false;
    SendMessageA(field, EM_SETSEL, 0, -1);
    TypeUnicode(text);
    return WaitFor([&] { return Utf8TextOf(field) == text; });
  };
  HWND name = GetDlgItem(ed, kNameId);
  ASSERT_TRUE(typeInto(kNameId, caption + "\xF0\x9F\x98\x80")) << Utf8TextOf(name);
  PressKey(VK_BACK);  // the emoji goes whole, not half of it
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(name) == caption; })) << Utf8TextOf(name);
  ASSERT_TRUE(typeInto(kHintId, hint)) << Utf8TextOf(GetDlgItem(ed, kHintId));
  HWND memo = GetDlgItem(ed, kMemoId);
  ASSERT_TRUE(typeInto(kMemoId, greek)) << Utf8TextOf(memo);
  PressKey(VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek + "{tab}"; })) << Utf8TextOf(memo);
  PressKey(VK_BACK);  // takes the whole code back
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek; })) << Utf8TextOf(memo);
  TypeUnicode(signs);
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek + signs; })) << Utf8TextOf(memo);
  PressKey(VK_BACK);  // the emoji goes whole, not half of it
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek + signs.substr(0, 5); }))
      << Utf8TextOf(memo);
  TypeUnicode(signs.substr(5));
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek + signs; })) << Utf8TextOf(memo);
  // Enter between the Greek and the signs: its code goes there, and the caret after it.
  SendMessageW(memo, EM_SETSEL, 5, 5);
  PressKey(VK_RETURN);
  TypeUnicode(omega);
  const std::string text = greek + "{enter}" + omega + signs;
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == greek + "{enter}\r\n" + omega + signs; }))
      << Utf8TextOf(memo);
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(k.Button(2)) == caption; }))
      << Utf8TextOf(k.Button(2));

  Restart();
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(k.Button(2)) == caption; }))
      << Utf8TextOf(k.Button(2));
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Caption2"), caption);
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Description2"), hint);
  EXPECT_EQ(k.Dat(), "\xEF\xBB\xBF" "aaa\r\n" + text + "\r\nccc\r\nspare\r\n");
  LaunchTarget();
  TypeFrom(2);
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(edit_) == greek + "\r\n" + omega + signs; }))
      << Utf8TextOf(edit_);
}

TEST_F(EditTest, NewButtonAppendsARowAndDeleteAsksBeforeItRemoves) {
  RightClick(1);
  Choose(kNewButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(ed), "Create new button");
  EXPECT_EQ(Shown(ed), (Fields{"", "", ""}));
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == ed; }));
  TypeText("Delta");  // the caret is in the name box
  ASSERT_TRUE(WaitFor([&] { return Field(ed, kNameId) == "Delta"; })) << Field(ed, kNameId);
  ClickWindow(GetDlgItem(ed, kMemoId));
  TypeText("ddd");
  ASSERT_TRUE(WaitFor([&] { return Field(ed, kMemoId) == "ddd"; })) << Field(ed, kMemoId);
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Beta", "Gamma", "Delta"}));
  EXPECT_EQ(k.BarClient().cy, 5 * 24);

  // Done with an empty name, and the close box after a name: neither adds a button.
  RightClick(4);
  Choose(kNewButton);
  ed = Editor();
  ASSERT_NE(ed, nullptr);
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  RightClick(4);
  Choose(kNewButton);
  ed = Editor();
  ASSERT_NE(ed, nullptr);
  SetField(ed, kNameId, "Never");
  PostMessageA(ed, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(EditorCloses());
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Beta", "Gamma", "Delta"}));
  EXPECT_EQ(k.BarClient().cy, 5 * 24);

  // Delete asks with the button's caption; No keeps it, Yes removes it.
  for (int answer : {IDNO, IDYES}) {
    RightClick(2);
    Choose(kDeleteButton);
    HWND ask = Dialog("Confirm");
    ASSERT_NE(ask, nullptr) << DescribeWindows(k.pid());
    EXPECT_NE(FindChild(ask, "Static", "Are you sure you want to delete the Beta button?"), nullptr);
    ClickWindow(GetDlgItem(ask, answer));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(ask) || !IsWindowVisible(ask); }));
    if (answer == IDNO) {
      Sleep(200);
      EXPECT_TRUE(CaptionsBecome({"Alpha", "Beta", "Gamma", "Delta"}));
    }
  }
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Gamma", "Delta"}));
  EXPECT_EQ(k.BarClient().cy, 4 * 24);
  EXPECT_FALSE(IsWindowVisible(k.Button(4)));

  Restart();
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Gamma", "Delta"}));
  EXPECT_EQ(k.BarClient().cy, 4 * 24);
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "NumCommands"), "3");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Caption2"), "Gamma");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Description2"), "third");
  // The new button: no hint, the colour of the button font, no shortcut.
  EXPECT_EQ(StoredButton("Commands", 3), (Fields{"Delta", "", "0", "0"}));
  EXPECT_EQ(k.Dat(), "aaa\r\nccc\r\nddd\r\nspare\r\n");
}

// A text has no length limit: a stored one beyond the 30,000 characters an edit control
// takes by default opens whole and takes keys, and a paste of 40,000 characters is kept
// whole, shown in its lines and stored with its line breaks as codes.
TEST_F(EditTest, TextsOfAnyLengthTakeKeysAndPastesWhole) {
  std::string stored, shown;
  for (int n = 0; stored.size() < 31000; ++n) {
    const std::string line = "Line " + std::to_string(n) + " of a long stored letter.{enter}";
    stored += line;
    shown += line + "\r\n";
  }
  StartOver(kIni, "aaa\r\n" + stored + "\r\nccc\r\nspare\r\n");
  RightClick(2);
  Choose(kEditButton);
  HWND ed = Editor();
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  HWND memo = GetDlgItem(ed, kMemoId);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == ed; }));
  EXPECT_EQ(Utf8TextOf(memo), shown);
  PressWith(VK_CONTROL, VK_END);
  TypeText("x");
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == shown + "x"; }))
      << Utf8TextOf(memo).size() << " characters";

  std::string pasted, pastedShown, pastedStored;
  for (int n = 0; pasted.size() < 40000; ++n) {
    const std::string line = "Pasted line " + std::to_string(n) + " of a letter";
    pasted += line + "\r\n";
    pastedShown += line + "{enter}\r\n";
    pastedStored += line + "{enter}";
  }
  ASSERT_TRUE(SetClipboardText(pasted));
  SendMessageW(memo, EM_SETSEL, 0, -1);
  PressWith(VK_CONTROL, 'V');
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == pastedShown; }, 30000))
      << Utf8TextOf(memo).size() << " characters";
  ClickWindow(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(EditorCloses());
  ASSERT_TRUE(k.Exit());
  const std::string dat = k.Dat();
  EXPECT_TRUE(dat == "aaa\r\n" + pastedStored + "\r\nccc\r\nspare\r\n") << dat.size() << " bytes";
}

TEST_F(EditTest, MoveToGroupTakesTheButtonAwayAndTheBarShrinksByARow) {
  // The entry of the shown group only says why not.
  RightClick(1);
  ChooseGroup(kMoveToGroup, 0);
  EXPECT_TRUE(MessageSaid("You can not move a button to the same group."));
  RightClick(1);
  ChooseGroup(kCopyToGroup, 0);
  EXPECT_TRUE(MessageSaid("You can not copy a button within the same group."));
  EXPECT_TRUE(CaptionsBecome({"Alpha", "Beta", "Gamma"}));

  RightClick(1);
  ChooseGroup(kMoveToGroup, 1);  // "Spare"
  ASSERT_TRUE(CaptionsBecome({"Beta", "Gamma"}));
  EXPECT_EQ(k.BarClient().cy, 3 * 24);

  Restart();
  EXPECT_TRUE(CaptionsBecome({"Beta", "Gamma"}));
  EXPECT_EQ(k.BarClient().cy, 3 * 24);
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "NumCommands"), "2");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands1", "NumCommands"), "2");
  EXPECT_EQ(StoredButton("Commands1", 2), (Fields{"Alpha", "first", "255", "1"}));
  EXPECT_EQ(k.Dat(), "Kind regards,{enter}Bea\r\nccc\r\nspare\r\naaa\r\n");
  SwitchGroup(0);  // "Spare" sorts first
  EXPECT_TRUE(CaptionsBecome({"Spare1", "Alpha"}));
}

TEST_F(EditTest, ALastButtonStaysAndFullGroupsTakeNoMore) {
  // Group "Full" holds 50 buttons in five columns; "One" and "Room" a single button each.
  std::string ini =
      "[Window]\r\nButtonWidth=88\r\nXPosition=300\r\nYPosition=60\r\n"
      "[Groups]\r\nNumGroups=3\r\nActiveGroup=1\r\nGroupName1=Full\r\nGroupName2=One\r\n"
      "GroupName3=Room\r\n"
      "[Commands]\r\nNumCommands=50\r\nColumns=5\r\n";
  std::string dat;
  for (int i = 1; i <= 50; ++i) {
    ini += "Caption" + std::to_string(i) + "=B" + std::to_string(i) + "\r\n";
    dat += "t" + std::to_string(i) + "\r\n";
  }
  ini += "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Only\r\n"
         "[Commands2]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Roomy\r\n";
  dat += "only\r\nroomy\r\n";
  StartOver(ini, dat);
  ASSERT_EQ(k.BarClient().cy, 11 * 24);

  RightClick(50);
  Choose(kNewButton);
  EXPECT_TRUE(MessageSaid("You have reached the 50 button limit for this group."));
  EXPECT_EQ(FindVisibleWindowOf(k.pid(), contract::kEditorClass), nullptr) << "no editor at the limit";
  EXPECT_TRUE(IsWindowVisible(k.Bar()));
  EXPECT_TRUE(GetWindowLongA(k.Bar(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  SwitchGroup(1);  // "One"
  ASSERT_TRUE(CaptionsBecome({"Only"}));
  for (MenuItem command : {kCopyToGroup, kMoveToGroup}) {
    RightClick(1);
    ChooseGroup(command, 0);  // "Full"
    EXPECT_TRUE(MessageSaid("You have reached the 50 button limit for the destination group."));
  }
  // Its only button can be copied but neither moved away nor deleted.
  RightClick(1);
  ChooseGroup(kMoveToGroup, 2);  // "Room"
  EXPECT_TRUE(MessageSaid(
      "You can not move the last button out of a Group.\nPlease use the Copy to Group option "
      "instead."));
  RightClick(1);
  ChooseGroup(kCopyToGroup, 2);
  Sleep(300);
  EXPECT_EQ(FindVisibleWindowOf(k.pid(), "#32770"), nullptr);
  RightClick(1);
  Choose(kDeleteButton);
  EXPECT_TRUE(MessageSaid("You can not delete the last button in a Group.\nPlease use the Delete "
                          "Group option or\nthe Edit button option to change the button."));
  EXPECT_TRUE(CaptionsBecome({"Only"}));

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(k.Dat(), dat + "only\r\n");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "NumCommands"), "50");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands1", "NumCommands"), "1");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands2", "NumCommands"), "2");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands2", "Caption2"), "Only");
}

using EditWidth = BarFixture;

TEST_F(EditWidth, ButtonWidthRefusesOutOfRangeAndWidensEveryCell) {
  StartWith(
      "[Window]\r\nButtonWidth=100\r\nXPosition=400\r\nYPosition=100\r\n"
      "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Five\r\n"
      "[Commands]\r\nNumCommands=5\r\nColumns=2\r\n"
      "Caption1=One\r\nCaption2=Two\r\nCaption3=Three\r\nCaption4=Four\r\nCaption5=Five\r\n",
      "1\r\n2\r\n3\r\n4\r\n5\r\n");
  ASSERT_EQ(k.BarClient().cx, 200);
  ASSERT_EQ(k.BarClient().cy, 72);

  // Answers the width prompt, which shows the width in use, `shown`.
  auto askWidth = [&](const std::string& answer, const char* shown = "100") -> HWND {
    HWND ask = OpenFromButtonMenu(1, kButtonWidth, "Button Width");
    if (!ask) return nullptr;
    EXPECT_NE(FindChild(ask, "Static", "How wide would you like the buttons to be?"), nullptr);
    EXPECT_EQ(TextOf(FindChild(ask, "Edit")), shown);
    WaitFor([&] { return GetForegroundWindow() == ask; });
    TypeText(answer);  // the old width is selected: typing replaces it
    WaitFor([&] { return TextOf(FindChild(ask, "Edit")) == answer; }, 3000);
    PressKey(VK_RETURN);
    return ask;
  };

  for (const char* refused : {"87", "201", "wide"}) {
    ASSERT_NE(askWidth(refused), nullptr) << DescribeWindows(k.pid());
    HWND msg = nullptr;
    ASSERT_TRUE(WaitFor([&] {
      msg = FindVisibleWindowOf(k.pid(), "#32770");
      return msg && FindChild(msg, "Static", "Please select a button width between 88 and 200 pixels.");
    })) << refused << ": " << DescribeWindows(k.pid());
    ClickWindow(GetDlgItem(msg, IDOK));
    ASSERT_TRUE(WaitFor([&] { return FindVisibleWindowOf(k.pid(), "#32770") == nullptr; }));
    EXPECT_EQ(k.BarClient().cx, 200) << refused;
  }

  // Both ends of the range are taken.
  ASSERT_NE(askWidth("88"), nullptr) << DescribeWindows(k.pid());
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 2 * 88; })) << k.BarClient().cx;
  ASSERT_NE(askWidth("200", "88"), nullptr) << DescribeWindows(k.pid());
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 2 * 200; })) << k.BarClient().cx;
  ASSERT_NE(askWidth("150", "200"), nullptr) << DescribeWindows(k.pid());
  ASSERT_TRUE(WaitFor([&] { return k.BarClient().cx == 300; })) << k.BarClient().cx;
  EXPECT_EQ(k.BarClient().cy, 72);
  const RECT b1 = k.ButtonRect(1), b4 = k.ButtonRect(4);
  EXPECT_EQ(b1.right - b1.left, 150);
  EXPECT_EQ(b4.left - b1.left, 150);  // button 4 heads the second column

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Window", "ButtonWidth"), "150");
  EXPECT_EQ(IniValue(k.IniPath(), "Commands", "Columns"), "2");
  ASSERT_TRUE(k.Start());
  ShowBar();
  EXPECT_EQ(k.BarClient().cx, 300);
  EXPECT_EQ(k.BarClient().cy, 72);
  EXPECT_TRUE(k.Exit());
}

// A TrueType face this system has: the font dialog offers only the faces it finds, and a
// bare Wine prefix has neither the design face nor the usual Windows ones.
std::string InstalledFace() {
  struct Found {
    std::vector<std::string> faces;
  } found;
  HDC dc = GetDC(nullptr);
  LOGFONTA want{};
  want.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(
      dc, &want,
      [](const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM lp) -> int {
        if ((type & TRUETYPE_FONTTYPE) && lf->lfFaceName[0] != '@')
          reinterpret_cast<Found*>(lp)->faces.push_back(lf->lfFaceName);
        return 1;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  for (const char* preferred : {"Tahoma", "Arial", "DejaVu Sans"})
    for (const auto& f : found.faces)
      if (f == preferred) return f;
  return found.faces.empty() ? std::string() : found.faces.front();
}

using EditFont = BarFixture;

TEST_F(EditFont, TheFontDialogStartsFromTheButtonFontAndApplyOrOkSetTheSize) {
  const std::string face = InstalledFace();
  ASSERT_FALSE(face.empty()) << "no TrueType font on this system";
  StartWith(std::string(kIni) + "[Font]\r\nName=" + face + "\r\nSize=10\r\n", kDat);

  constexpr int kFaceList = 0x470, kSizeList = 0x472, kApply = 0x402;
  auto openDialog = [&] { return OpenFromButtonMenu(2, kButtonFont, "Font"); };
  auto sizeOf = [](HWND dlg) { return TextOf(FindChild(GetDlgItem(dlg, kSizeList), "Edit")); };
  // Types a size into the size box, as a user replacing what it holds.
  auto typeSize = [&](HWND dlg, const std::string& size) {
    ClickWindow(FindChild(GetDlgItem(dlg, kSizeList), "Edit"));
    PressKey(VK_END);
    for (int n = 0; n < 4; ++n) PressKey(VK_BACK);
    TypeText(size);
    return WaitFor([&] { return sizeOf(dlg) == size; }, 3000);
  };
  auto closes = [&](HWND dlg) {
    return WaitFor([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); });
  };

  // The dialog starts from the button font; Cancel leaves everything as it was.
  HWND dlg = openDialog();
  ASSERT_NE(dlg, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(GetDlgItem(dlg, kFaceList)), face);
  EXPECT_EQ(sizeOf(dlg), "10");
  ASSERT_TRUE(typeSize(dlg, "20"));
  ClickWindow(GetDlgItem(dlg, IDCANCEL));
  ASSERT_TRUE(closes(dlg));

  // Apply takes effect at once and stays when the dialog is cancelled afterwards.
  dlg = openDialog();
  ASSERT_NE(dlg, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(sizeOf(dlg), "10");
  ASSERT_TRUE(typeSize(dlg, "14"));
  ClickWindow(GetDlgItem(dlg, kApply));
  Sleep(300);
  ClickWindow(GetDlgItem(dlg, IDCANCEL));
  ASSERT_TRUE(closes(dlg));

  // OK applies the size chosen.
  dlg = openDialog();
  ASSERT_NE(dlg, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(GetDlgItem(dlg, kFaceList)), face);
  EXPECT_EQ(sizeOf(dlg), "14");
  ASSERT_TRUE(typeSize(dlg, "12"));
  ClickWindow(GetDlgItem(dlg, IDOK));
  ASSERT_TRUE(closes(dlg));
  // Nothing is laid out again: the cells keep their size.
  RECT b{};
  GetWindowRect(k.Button(1), &b);
  EXPECT_EQ(b.bottom - b.top, 24);
  EXPECT_EQ(k.BarClient().cy, 4 * 24);

  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(IniValue(k.IniPath(), "Font", "Name"), face);
  EXPECT_EQ(IniValue(k.IniPath(), "Font", "Size"), "12");
  EXPECT_EQ(k.Dat(), kDat);
}

}  // namespace
}  // namespace ks::e2e
