// The program's main function end to end: a left press on a bar button types its text
// into the window the user was working in.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

const char* kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
    "[ListWindow]\r\nXPosition=620\r\nYPosition=400\r\nWidth=160\r\nHeight=140\r\n"
    "[Groups]\r\nNumGroups=2\r\nActiveGroup=1\r\nGroupName1=Open\r\nGroupName2=Locked\r\n"
    "[Commands]\r\nNumCommands=8\r\nColumns=1\r\n"
    "Caption1=Hello\r\nCaption2=Odd\r\nCaption3=Keys\r\nCaption4=Undo\r\nCaption5=List\r\n"
    "Caption6=Run\r\nCaption7=Accent\r\nCaption8=Empty\r\n"
    "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nPassword=Secret\r\nCaption1=Locked\r\n";
const char* kDat =
    "Hello, World! @#{enter}\r\n"
    "1}2{}3a{b\r\n"
    "a{TAB}b{LEFT}{LEFT}X\r\n"
    "ab{ENTER}\r\n"
    "{LIST Monday,Tuesday,Friday}!\r\n"
    "x{RUN nosuchprogram.exe}y\r\n"
    "caf\xE9\r\n"
    "\r\n"
    "locked text\r\n";

class PressTest : public BarFixture {
 protected:
  void SetUp() override { StartWith(kIni, kDat); }

  // Brings a window of the program to the front as the system would, not by a click on the
  // bar, which reads the foreground of its own accord.
  static bool BringForward(HWND h) {
    SetForegroundWindow(h);
    return WaitFor([&] { return GetForegroundWindow() == h; }, 3000);
  }

  // Ends the program and starts it again on the same settings and the texts `dat`.
  void StartOver(const std::string& dat) {
    ASSERT_TRUE(k.Exit());
    StartWith(kIni, dat);
  }
};

TEST_F(PressTest, TypesTextsExactlyWithCodesKeysAndCharactersTheLayoutLacks) {
  StartTarget();
  Press(1);
  EXPECT_TRUE(TextBecomes("Hello, World! @#\r\n"));
  EXPECT_EQ(GetForegroundWindow(), main_);

  target.Clear();
  FocusTarget();
  Press(2);
  EXPECT_TRUE(TextBecomes("1}23a{b"));

  target.Clear();
  FocusTarget();
  Press(3);  // Tab types a tab, the arrows move the caret back over it
  EXPECT_TRUE(TextBecomes("aX\tb"));

  target.Clear();
  FocusTarget();
  Press(7);
  EXPECT_TRUE(TextBecomes("caf\xE9"));
}

TEST_F(PressTest, UndoTakesBackTheLastRunOnlyAndAPressWithoutTargetTypesNothing) {
  // No target yet: the bar is the only window the user has touched.
  Press(4);
  Sleep(300);
  StartTarget();
  Sleep(300);
  EXPECT_EQ(TextOf(edit_), "");
  TypeText("zz");
  ASSERT_TRUE(TextBecomes("zz"));
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  Sleep(400);
  EXPECT_EQ(TextOf(edit_), "zz");  // the first press counted no keystrokes to undo

  FocusTarget();
  Press(4);
  ASSERT_TRUE(TextBecomes("zzab\r\n"));
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  EXPECT_TRUE(TextBecomes("zz"));
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  Sleep(400);
  EXPECT_EQ(TextOf(edit_), "zz");

  // An empty text types nothing but forgets the last run.
  Press(4);
  ASSERT_TRUE(TextBecomes("zzab\r\n"));
  Press(8);
  Sleep(300);
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  Sleep(400);
  EXPECT_EQ(TextOf(edit_), "zzab\r\n");
}

TEST_F(PressTest, ListPickerTypesTheDoubleClickedEntryAndCloseTypesNothing) {
  StartTarget();
  Press(5);
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (list = FindVisibleWindowOf(k.pid(), contract::kListClass)); }));
  EXPECT_EQ(TextOf(list), "Select");
  HWND box = FindChild(list, "ListBox");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), 3);
  RECT r{};
  GetWindowRect(box, &r);
  int x = r.left + 20, y = r.top + 16 + 8;  // the second line
  Click(x, y);
  Sleep(60);
  Click(x, y);
  EXPECT_TRUE(TextBecomes("Tuesday!"));

  target.Clear();
  FocusTarget();
  Press(5);
  ASSERT_TRUE(WaitFor([&] { return (list = FindVisibleWindowOf(k.pid(), contract::kListClass)); }));
  PostMessageA(list, WM_CLOSE, 0, 0);
  EXPECT_TRUE(TextBecomes("!"));
}

// The target follows the foreground as the system tells of its moves: a switch to another
// program is seen while the bar and a box of ours are open, although a window of ours is
// in front again when the text goes out. A run keeps its window: the pick of a list goes
// where the run began, whatever the user switched to while the picker was open.
TEST_F(PressTest, ASwitchOfProgramIsSeenWhileTheBarABoxOrTheListPickerIsOpen) {
  StartTarget();
  TypingTarget other;
  ASSERT_TRUE(other.Start());
  SetWindowPos(other.main(), nullptr, 100, 440, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const HWND otherEdit = other.edit();

  ASSERT_TRUE(other.Focus());
  ASSERT_TRUE(BringForward(k.Bar()));
  Press(1);
  EXPECT_TRUE(TextBecomes(otherEdit, "Hello, World! @#\r\n"));
  EXPECT_EQ(TextOf(edit_), "");

  // The width question is open while the user goes back to the first program; the
  // question, in front again, is cancelled and hands the front to the bar.
  HWND ask = OpenFromButtonMenu(2, 8, "Button Width");
  ASSERT_NE(ask, nullptr) << DescribeWindows(k.pid());
  FocusTarget();
  ASSERT_TRUE(BringForward(ask));
  PostMessageA(ask, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == k.Bar(); }))
      << ClassOf(GetForegroundWindow());
  Press(2);
  EXPECT_TRUE(TextBecomes("1}23a{b"));
  EXPECT_EQ(TextOf(otherEdit), "Hello, World! @#\r\n");

  // The picker waits while the user switches to the other program; the pick goes to the
  // run's window all the same.
  other.Clear();
  Press(5);
  HWND list = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (list = FindVisibleWindowOf(k.pid(), contract::kListClass)); }));
  ASSERT_TRUE(other.Focus());
  Sleep(150);
  HWND box = FindChild(list, "ListBox");
  RECT r{};
  GetWindowRect(box, &r);
  const int x = r.left + 20, y = r.top + 8;  // the first line
  Click(x, y);
  Sleep(60);
  Click(x, y);
  EXPECT_TRUE(TextBecomes("1}23a{bMonday!"));
  EXPECT_EQ(TextOf(otherEdit), "");
}

TEST_F(PressTest, AMissingProgramIsReportedAndTypingGoesOn) {
  StartTarget();
  Press(6);
  HWND box = Dialog(contract::kTitle);
  ASSERT_NE(box, nullptr) << DescribeWindows(k.pid()) << " target: [" << TextOf(edit_) << "]";
  EXPECT_NE(FindChild(box, "Static", "Unable to start NOSUCHPROGRAM.EXE"), nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(TextBecomes("xy"));
}

TEST_F(PressTest, KeysBeforeARunCodeAreInTheTargetBeforeAConsoleProgramStarts) {
  // Button 6 types "run" and starts a console program, whose console window comes to the
  // front at once; the program notes in the target's title what the target held then.
  std::string dat = kDat;
  dat.replace(dat.find("x{RUN nosuchprogram.exe}y"), 25,
              "run{RUN " + ExeDir() + "console_wait.exe}");
  StartOver(dat);
  StartTarget("--slow-keys");  // a target that takes its keys slowly, as on a busy machine
  Press(6);
  EXPECT_TRUE(TextBecomes("run"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(main_).rfind("started after: ", 0) == 0; }))
      << TextOf(main_);
  EXPECT_EQ(TextOf(main_), "started after: run");
  Sleep(1500);  // the console program has ended
}

TEST_F(PressTest, ALockedGroupAsksOnceAndTypesOnlyWithTheRightPassword) {
  StartTarget();
  HWND list = k.GroupList();
  SendMessageA(list, CB_SETCURSEL, 0, 0);  // "Locked" sorts first
  SendMessageA(k.Bar(), WM_COMMAND, MAKEWPARAM(contract::kBarGroupListId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  ASSERT_TRUE(WaitFor([&] { return TextOf(k.Button(1)) == "Locked"; }));
  FocusTarget();

  Press(1);
  HWND ask = Dialog("Group Password");
  ASSERT_NE(ask, nullptr);
  EXPECT_NE(FindChild(ask, "Static", "Please type the password for this group:"), nullptr);
  SendMessageA(FindChild(ask, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
  PostMessageA(ask, WM_COMMAND, IDOK, 0);
  HWND invalid = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    invalid = FindVisibleWindowOf(k.pid(), "#32770");
    return invalid && FindChild(invalid, "Static", "Invalid Password.");
  }));
  PostMessageA(invalid, WM_COMMAND, IDOK, 0);
  Sleep(400);
  EXPECT_EQ(TextOf(edit_), "");

  FocusTarget();
  Press(1);
  ask = Dialog("Group Password");
  ASSERT_NE(ask, nullptr);
  SendMessageA(FindChild(ask, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Secret"));
  PostMessageA(ask, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(TextBecomes("locked text"));

  FocusTarget();
  Press(1);  // unlocked now: no question
  EXPECT_TRUE(TextBecomes("locked textlocked text"));
}

// Every window that held the foreground while it lived, read each millisecond.
class ForegroundLog {
 public:
  ForegroundLog() : thread_([this] {
    while (!stop_) {
      HWND fg = GetForegroundWindow();
      if (seen_.insert(fg).second) order_.push_back(fg);
      Sleep(1);
    }
  }) {}
  ~ForegroundLog() { Stop(); }
  std::vector<HWND> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return order_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::set<HWND> seen_;
  std::vector<HWND> order_;
  std::thread thread_;
};

TEST_F(PressTest, PressesAndUndoWithTheTargetInFrontLeaveTheForegroundAndTheFocusThere) {
  StartTarget();
  const DWORD thread = GetWindowThreadProcessId(main_, nullptr);
  ForegroundLog log;
  std::string want;
  for (int n = 0; n < 5; ++n) {
    Press(4);
    want += "ab\r\n";
    ASSERT_TRUE(TextBecomes(want));
  }
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  EXPECT_TRUE(TextBecomes(std::string(want, 0, want.size() - 4)));
  EXPECT_EQ(log.Stop(), std::vector<HWND>{main_});
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  ASSERT_TRUE(GetGUIThreadInfo(thread, &gti));
  EXPECT_EQ(gti.hwndFocus, edit_);

  // With the bar in front the press hands the foreground back to the target first.
  ASSERT_TRUE(BringForward(k.Bar()));
  Press(4);
  EXPECT_TRUE(TextBecomes(std::string(want, 0, want.size() - 4) + "ab\r\n"));
  EXPECT_EQ(GetForegroundWindow(), main_);
}

// A text in several scripts, stored in the Unicode form of the button text file: Greek,
// an e-acute, a check mark and an emoji land in a wide EDIT exactly. Undo sends as many
// Backspaces as the control with the focus takes: a plain EDIT two for the emoji.
class PressAnyScript : public PressTest {
 protected:
  void SetUp() override {
    k.WriteIni(
        "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
        "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Any\r\n"
        "[Commands]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Mixed\r\n");
    k.WriteDat("\xEF\xBB\xBF" + kText + "\r\n");
    ASSERT_TRUE(k.Start());
    k.TrayClick();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }));
  }
  const std::string kText =
      "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 caf\xC3\xA9 "
      "\xE2\x9C\x93 \xF0\x9F\x98\x80";
};

TEST_F(PressAnyScript, AGreekTextLandsExactlyInAWideEditAndUndoEmptiesIt) {
  StartTarget();
  Press(1);
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(edit_) == kText; }, 8000))
      << "the target holds [" << Utf8TextOf(edit_) << "]";
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  EXPECT_TRUE(WaitFor([&] { return SendMessageW(edit_, WM_GETTEXTLENGTH, 0, 0) == 0; }, 8000))
      << "the target holds [" << Utf8TextOf(edit_) << "]";
}

}  // namespace
}  // namespace ks::e2e
