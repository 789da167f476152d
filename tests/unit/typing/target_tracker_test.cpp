#include "typing/target_tracker.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

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
  std::string Title(WindowId w) const override { return w == 100 ? "notes.txt - Notepad" : ""; }
  std::set<WindowId> hung;
  std::map<WindowId, std::uint32_t> levels;  // unknown where missing
  std::optional<std::uint32_t> ours = 0x2000;
  bool IsHung(WindowId w) const override { return hung.count(w) > 0; }
  std::optional<std::uint32_t> IntegrityLevel(WindowId w) const override {
    auto it = levels.find(w);
    return it == levels.end() ? std::nullopt : std::optional<std::uint32_t>(it->second);
  }
  std::optional<std::uint32_t> OwnIntegrityLevel() const override { return ours; }
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

// What follows the target (the bar's group for its program) hears of each new target once,
// and of nothing else: our own windows, the desktop, the shell, gaps, a closed window and a
// held target never count.
TEST_F(TargetTrackerTest, EachNewTargetIsToldOnceAndNothingElse) {
  std::vector<WindowId> told;
  tracker.onTargetChanged = [&](WindowId w) { told.push_back(w); };
  windows.closed = {300};
  tracker.ForegroundChanged(kNotepad);
  for (WindowId w : {kBar, kDesktop, WindowId{0}, kShell, kTaskbar, kEditor, kNotepad, WindowId{300}})
    tracker.ForegroundChanged(w);
  tracker.BarActivated(kNotepad);
  tracker.BarActivated(kBrowser);
  tracker.Hold();
  tracker.ForegroundChanged(kNotepad);
  tracker.Release();
  tracker.ForegroundChanged(kBrowser);
  tracker.ForegroundChanged(kNotepad);
  EXPECT_EQ(told, (std::vector<WindowId>{kNotepad, kBrowser, kNotepad}));
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
      // A shortcut pressed in the browser meanwhile activates the bar from there.
      tracker.BarActivated(kBrowser);
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

TEST_F(TargetTrackerTest, APressTypesInPlaceOnlyWhileTheTargetItselfIsInFront) {
  EXPECT_FALSE(tracker.TypesInPlace(0));  // no target yet
  tracker.ForegroundChanged(kNotepad);
  EXPECT_TRUE(tracker.TypesInPlace(kNotepad));
  // The bar, a window of ours, the desktop, nothing, or a window that just closed in
  // front: the press hands the foreground over as before.
  for (WindowId w : {kBar, kEditor, kDesktop, kTaskbar, WindowId{0}, kBrowser})
    EXPECT_FALSE(tracker.TypesInPlace(w)) << "window " << w;
  windows.closed.insert(kNotepad);
  EXPECT_FALSE(tracker.TypesInPlace(kNotepad));
}

TEST_F(TargetTrackerTest, KeysGoOnlyWhereTheyCanLandAndTheUserIsToldWhyNot) {
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad), std::nullopt);
  windows.levels = {{kNotepad, 0x2000}, {kBrowser, 0x3000}};
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad), std::nullopt);  // the same level
  EXPECT_EQ(WhyKeysCannotReach(windows, kBrowser),
            "The window to type into runs with administrator rights; start Keystrum the "
            "same way to type into it.");
  windows.levels[kNotepad] = 0x3000;
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad),
            "\"notes.txt - Notepad\" runs with administrator rights; start Keystrum the same "
            "way to type into it.");
  // A level that cannot be read, ours or theirs, lets the keys go.
  windows.ours.reset();
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad), std::nullopt);
  windows.ours = 0x3000;
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad), std::nullopt);  // both elevated

  windows.hung.insert(kNotepad);
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad),
            "\"notes.txt - Notepad\" is not responding; nothing was typed.");
  windows.closed.insert(kNotepad);
  EXPECT_EQ(WhyKeysCannotReach(windows, kNotepad),
            "The window to type into has been closed; nothing was typed.");
  EXPECT_EQ(ForegroundRefusedMessage(windows, kBrowser),
            "The window to type into could not be brought to the front; nothing was typed.");
}

}  // namespace
}  // namespace ks
