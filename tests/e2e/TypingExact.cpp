// A run types exactly what is stored, and only into the window it began in: another window
// brought to the front stops it, and Undo goes back to the run's window; Caps Lock and a
// Shift the user still holds change no letter; a program that drops fast keys gets one
// character at a time; keys the system refuses stop the run, and Undo takes back only what
// landed. Driven on keystrum_probe.exe, which tells the balloons it shows and can refuse
// keys as a system that blocks input does.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

const std::string kLong = std::string(2997, 'x') + "END";
const char* kPaced = "Slow and steady, 20!";
using Clock = std::chrono::steady_clock;

std::string Ini() {
  return "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
         "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Exact\r\n"
         "[Commands]\r\nNumCommands=4\r\nColumns=1\r\n"
         "Caption1=Mixed\r\nAbbreviation1=;12\r\nCaption2=Long\r\nCaption3=Regards\r\n"
         "Abbreviation3=zq:\r\nCaption4=Paced\r\n"
         "[Pace]\r\nmstsc.exe=40\r\n";
}
std::string Dat() { return "Ab1 cd\r\n" + kLong + "\r\nbest regards,\r\n" + kPaced + "\r\n"; }

bool CapsLockOn() { return (GetKeyState(VK_CAPITAL) & 1) != 0; }

// Caps Lock pressed by the user while it lives, and off again after it, whatever the test
// found: a Caps Lock left on would turn the letters of the suite's next cases.
class CapsLock {
 public:
  CapsLock() { Toggle(); }
  ~CapsLock() {
    if (CapsLockOn()) Toggle();
  }
  CapsLock(const CapsLock&) = delete;
  CapsLock& operator=(const CapsLock&) = delete;

 private:
  static void Toggle() {
    const bool was = CapsLockOn();
    Key(VK_CAPITAL, false);
    Key(VK_CAPITAL, true);
    WaitFor([&] { return CapsLockOn() != was; }, 3000);
  }
};

class TypingExactTest : public BarFixture {
 protected:
  TypingExactTest() : BarFixture("keystrum_probe.exe") {}
  void SetUp() override { StartWith(Ini(), Dat()); }

  void Undo() { ClickWindow(FindChild(k.Bar(), "Button", "Undo")); }

  // A click into the text of `t`, as a user switches to it; true once it is in front. Not
  // on its caption: under Wine a window clicked there now and then ended up filling the
  // screen, hiding the run's window from every later click.
  static bool ClickInto(const TypingTarget& t) {
    const POINT c = CentreOf(t.edit());
    RestAt(c.x, c.y);
    Click(c.x, c.y);
    return WaitFor([&] { return GetForegroundWindow() == t.main(); }, 3000);
  }

  // The text of the balloon the program showed since the last ask, or shows within `ms`;
  // empty for none.
  std::string Balloon(int ms = 8000) const {
    std::string text;
    WaitFor(
        [&] {
          DWORD_PTR atom = 0;
          if (!SendMessageTimeoutW(k.Bar(), contract::kQueryBalloonText, 0, 0, SMTO_ABORTIFHUNG,
                                   5000, &atom) ||
              !atom)
            return false;
          wchar_t buf[256] = {};
          GlobalGetAtomNameW(static_cast<ATOM>(atom), buf, 256);
          GlobalDeleteAtom(static_cast<ATOM>(atom));
          text = Utf8(buf);
          return true;
        },
        ms);
    return text;
  }

  // The text of `edit` once it has not changed for `quietMs`.
  static std::string SettledText(HWND edit, int quietMs = 1500) {
    std::string last = TextOf(edit);
    const auto start = Clock::now();
    auto since = start;
    while (Clock::now() - since < std::chrono::milliseconds(quietMs) &&
           Clock::now() - start < std::chrono::seconds(30)) {
      Sleep(50);
      if (std::string now = TextOf(edit); now != last) {
        last = std::move(now);
        since = Clock::now();
      }
    }
    return last;
  }

  // Milliseconds from the first character in the empty `edit` until it holds `want`; -1
  // when it does not within 10 s. Read as fast as the target answers, so the time is short
  // by at most one reading.
  static long long ArrivalSpread(HWND edit, const std::string& want) {
    const auto start = Clock::now();
    std::optional<Clock::time_point> first;
    while (Clock::now() - start < std::chrono::seconds(10)) {
      const std::string now = TextOf(edit);
      if (!first && !now.empty()) first = Clock::now();
      if (now == want)
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - *first).count();
      Sleep(1);
    }
    return -1;
  }
};

TEST_F(TypingExactTest, ARunTypesOnlyIntoItsWindowAndUndoGoesBackThere) {
  // The other window first, out of the way: the run's window then comes up in front of
  // its own accord.
  TypingTarget other;
  ASSERT_TRUE(other.Start("--no-log"));
  SetWindowPos(other.main(), nullptr, 100, 440, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const HWND otherEdit = other.edit();
  StartTarget("--no-log");

  // The user types in another window after a run; Undo takes the run back in its own
  // window and leaves every character of the other one.
  RestAndPress(1);
  ASSERT_TRUE(TextBecomes("Ab1 cd"));
  ASSERT_TRUE(ClickInto(other));
  TypeText("keep this");
  ASSERT_TRUE(TextBecomes(otherEdit, "keep this"));
  Undo();
  EXPECT_TRUE(TextBecomes(""));
  EXPECT_EQ(GetForegroundWindow(), main_);
  EXPECT_EQ(SettledText(otherEdit, 300), "keep this");

  // Another window comes to the front while a long run types: it gets at most the keys
  // already on their way, never the rest of the run.
  target.Clear();
  other.Clear();
  FocusTarget();
  RestAndPress(2);
  ASSERT_TRUE(WaitFor([&] { return !TextOf(edit_).empty(); }, 15000));
  ASSERT_TRUE(ClickInto(other));
  const std::string landed = SettledText(edit_);
  const std::string elsewhere = SettledText(otherEdit);
  EXPECT_LT(landed.size(), kLong.size() / 2) << "the run went on after the switch";
  EXPECT_EQ(landed.find("END"), std::string::npos);
  EXPECT_EQ(elsewhere.find("END"), std::string::npos);
  EXPECT_LE(elsewhere.size(), 300u) << "more than the keys on their way went to the other window";
  EXPECT_EQ(Balloon(), "Typing stopped: another window came to the front");

  Undo();
  EXPECT_TRUE(TextBecomes("", 30000));
  EXPECT_EQ(SettledText(otherEdit, 500), elsewhere);
}

TEST_F(TypingExactTest, CapsLockAndAHeldShiftChangeNoLetter) {
  StartTarget();
  {
    CapsLock caps;
    ASSERT_TRUE(CapsLockOn());
    RestAndPress(1);
    EXPECT_TRUE(TextBecomes("Ab1 cd"));

    target.Clear();
    FocusTarget();
    TypeText(";12");
    EXPECT_TRUE(TextBecomes("Ab1 cd"));
    // Still on for the user's own keys.
    TypeText("e");
    EXPECT_TRUE(TextBecomes("Ab1 cdE"));
    EXPECT_TRUE(CapsLockOn());
  }
  ASSERT_FALSE(CapsLockOn());

  // The abbreviation's last key needs Shift, which the user lets go a moment after it: the
  // text waits for the hand, or it would come out in capitals. It begins with a small
  // letter, since the release of a capital's own Shift would let go of the user's as well.
  target.Clear();
  FocusTarget();
  TypeText("zq");
  Key(VK_SHIFT, false);
  Key(VK_OEM_1, false);
  Key(VK_OEM_1, true);
  Sleep(200);
  Key(VK_SHIFT, true);
  EXPECT_TRUE(TextBecomes("best regards,"));
}

TEST_F(TypingExactTest, AProgramWithAPaceGetsOneCharacterAtATime) {
  const std::string remoteExe = k.dir() + "mstsc.exe";
  ASSERT_TRUE(CopyFileA((ExeDir() + "typing_target.exe").c_str(), remoteExe.c_str(), FALSE));
  TypingTarget remote;
  ASSERT_TRUE(remote.Start("--no-log", remoteExe));
  ASSERT_TRUE(remote.Focus());
  Sleep(150);  // the bar learns of the switch
  RestAndPress(4);
  const long long paced = ArrivalSpread(remote.edit(), kPaced);
  ASSERT_GE(paced, 0) << "the window holds [" << TextOf(remote.edit()) << "]";
  EXPECT_GE(paced, 18 * 40);  // 19 gaps, less one for the reading

  StartTarget("--no-log");
  RestAndPress(4);
  const long long plain = ArrivalSpread(edit_, kPaced);
  ASSERT_GE(plain, 0) << "the window holds [" << TextOf(edit_) << "]";
  EXPECT_LT(plain * 2, paced);
}

TEST_F(TypingExactTest, KeysTheSystemRefusesStopTheRunAndUndoTakesBackWhatLanded) {
  StartTarget("--no-log");
  TypeText("keep ");
  ASSERT_TRUE(TextBecomes("keep "));
  ASSERT_EQ(SendMessageW(k.Bar(), contract::kProbeLimitInput, 120, 1), 1);
  RestAndPress(2);
  EXPECT_EQ(SettledText(edit_), "keep " + std::string(60, 'x'));
  EXPECT_EQ(Balloon(), "Typing stopped: Windows refused the keys. Undo takes back what was typed.");

  SendMessageW(k.Bar(), contract::kProbeLimitInput, 0, 0);
  Undo();
  EXPECT_TRUE(TextBecomes("keep "));
}

}  // namespace
}  // namespace ks::e2e
