#include "bar/target_tracker.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace ks {
namespace {

// Windows 1..9 are the program's own, 90 and 91 the desktop and the shell's window, 95
// the taskbar, everything else another program's. `closed` lists windows that no longer
// exist.
struct ScriptedWindows : WindowFacts {
  std::set<WindowId> closed;
  bool Exists(WindowId w) const override { return !closed.count(w); }
  bool IsOwn(WindowId w) const override { return w >= 1 && w <= 9; }
  bool IsDesktop(WindowId w) const override { return w == 90 || w == 91; }
  std::string ClassName(WindowId w) const override {
    return w == 95 ? "Shell_TrayWnd" : "Notepad";
  }
};

constexpr WindowId kBar = 1, kEditor = 2, kList = 3, kMessageBox = 4, kAppWindow = 5;
constexpr WindowId kDesktop = 90, kShell = 91, kTaskbar = 95;
constexpr WindowId kNotepad = 100, kBrowser = 200;

struct TargetTrackerTest : ::testing::Test {
  ScriptedWindows windows;
  WindowId target = 0;
  TargetTracker tracker{windows, target};
};

TEST_F(TargetTrackerTest, NothingButTheProgramAndTheDesktopSeenMeansNoTarget) {
  for (WindowId w : {kDesktop, kBar, WindowId{0}, kShell, kAppWindow, kEditor})
    tracker.ForegroundChanged(w);
  tracker.BarActivated(0);
  EXPECT_EQ(target, 0u);
}

TEST_F(TargetTrackerTest, FollowsOtherProgramsAndKeepsThemThroughOursTheDesktopAndGaps) {
  tracker.ForegroundChanged(kNotepad);  // in front when the program started
  EXPECT_EQ(tracker.Target(), kNotepad);
  // A press on the bar: the foreground leaves Notepad, passes through nobody, reaches the
  // bar; a locked group asks in a message box; the list picker and the editor come and go.
  for (WindowId w : {WindowId{0}, kBar, kMessageBox, kBar, kList, kEditor, kAppWindow, kBar}) {
    tracker.ForegroundChanged(w);
    EXPECT_EQ(target, kNotepad) << "after window " << w;
  }
  tracker.ForegroundChanged(kBrowser);
  EXPECT_EQ(target, kBrowser);
  // Minimising every program leaves the desktop in front, a click on the tray icon
  // activates the taskbar; the browser stays the target.
  tracker.ForegroundChanged(kDesktop);
  tracker.ForegroundChanged(kShell);
  tracker.ForegroundChanged(0);
  tracker.ForegroundChanged(kTaskbar);
  tracker.BarActivated(kTaskbar);
  EXPECT_EQ(target, kBrowser);
  tracker.ForegroundChanged(kNotepad);
  EXPECT_EQ(target, kNotepad);
}

TEST_F(TargetTrackerTest, TheWindowTheBarTookTheActivationFromIsTakenBeforeItsEvent) {
  tracker.ForegroundChanged(kNotepad);
  // The user switched to the browser and at once clicked the bar: the browser's event is
  // still on its way when the bar is activated.
  tracker.BarActivated(kBrowser);
  EXPECT_EQ(target, kBrowser);
  tracker.ForegroundChanged(kBrowser);  // the late event changes nothing
  tracker.ForegroundChanged(kBar);
  EXPECT_EQ(target, kBrowser);
  // Activated from one of our own windows, or without being told from where: no change.
  tracker.BarActivated(kEditor);
  tracker.BarActivated(0);
  EXPECT_EQ(target, kBrowser);
}

TEST_F(TargetTrackerTest, AnEventForAWindowClosedMeanwhileKeepsTheTargetBeforeIt) {
  tracker.ForegroundChanged(kNotepad);
  // A dialog of another program came to the front and closed before its event was handled.
  windows.closed.insert(kBrowser);
  tracker.ForegroundChanged(kBrowser);
  tracker.BarActivated(kBrowser);
  EXPECT_EQ(target, kNotepad);
  EXPECT_TRUE(tracker.MayBeTarget(kNotepad));
  EXPECT_FALSE(tracker.MayBeTarget(kBrowser));
}

TEST_F(TargetTrackerTest, AHeldTargetStaysWhateverComesToTheFrontUntilTheLastHoldEnds) {
  tracker.ForegroundChanged(kNotepad);
  {
    // The password question of a press is open; the user switches to the browser and,
    // inside, a message of ours nests a second hold.
    TargetHold question(&tracker);
    tracker.ForegroundChanged(kBrowser);
    {
      TargetHold message(&tracker);
      tracker.ForegroundChanged(kBrowser);
    }
    tracker.ForegroundChanged(kBrowser);
    EXPECT_EQ(target, kNotepad);
  }
  tracker.ForegroundChanged(kBrowser);
  EXPECT_EQ(target, kBrowser);
  // A release without a hold leaves nothing owed: the next hold still holds.
  tracker.Release();
  {
    TargetHold question(&tracker);
    tracker.ForegroundChanged(kNotepad);
    EXPECT_EQ(target, kBrowser);
  }
}

}  // namespace
}  // namespace ks
