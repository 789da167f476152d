// The program against what users and their machines do to it: broken and hostile files,
// files it may not write, many copies started at once, and long runs of typing.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/settings.h"
#include "support/fixture.h"
#include "text/codepage_win.h"
#include "typing/ports_win.h"

namespace ks::e2e {
namespace {

const std::string kSecondCopyText =
    "Keystrum is already loaded.\nPlease click on the keyboard\nicon in the taskbar tray.";

RECT DesktopRect() {
  RECT r{};
  GetWindowRect(GetDesktopWindow(), &r);
  return r;
}

// Whether a user can reach the window: some of it on the desktop, its caption included.
bool WithinReach(HWND h) {
  RECT w{}, on{};
  GetWindowRect(h, &w);
  RECT caption = w;
  caption.bottom = std::min(w.bottom, w.top + GetSystemMetrics(SM_CYCAPTION));
  const RECT desk = DesktopRect();
  return IntersectRect(&on, &caption, &desk) != FALSE;
}

LoadContext Context() {
  LoadContext c;
  c.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  c.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  return c;
}

// A pair of files the program wrote is sound when it loads within the store's limits and a
// save of what it loads writes the same pair again: nothing in it is lost on the next run.
::testing::AssertionResult SoundPair(const std::string& ini, const std::string& dat) {
  Loaded l = LoadSettings(ini, dat, Context(), WinAnsiCodePage());
  const Store& s = *l.store;
  if (s.GroupCount() < 1 || s.GroupCount() > kMaxGroups)
    return ::testing::AssertionFailure() << "NumGroups " << s.GroupCount();
  if (s.ActiveGroup < 1 || s.ActiveGroup > s.GroupCount())
    return ::testing::AssertionFailure() << "ActiveGroup " << s.ActiveGroup;
  for (int g = 1; g <= s.GroupCount(); ++g)
    if (s.GroupAt(g).ButtonCount() > kMaxButtons || s.GroupAt(g).Columns < 1)
      return ::testing::AssertionFailure() << "group " << g << " out of its limits";
  SavedFiles again = SaveSettings(s, l.settings, ini, WinAnsiCodePage());
  if (again.ini != ini) return ::testing::AssertionFailure() << "the settings do not load back";
  if (again.dat != dat) return ::testing::AssertionFailure() << "the texts do not load back";
  return ::testing::AssertionSuccess();
}

// ---- broken and hostile files ----

class HardenFiles : public ::testing::Test {
 protected:
  // Starts the program on the files, shows the bar and checks that it can be used. A
  // file with fewer texts than buttons is told first, as `missing` texts.
  void StartAndShow(int missing = 0) {
    ASSERT_TRUE(k.Start()) << DescribeWindows(k.pid());
    if (missing) {
      HWND box = MessageBoxOf(k.pid());
      ASSERT_NE(box, nullptr) << DescribeWindows(k.pid());
      EXPECT_EQ(MessageText(box).rfind("keystrum.dat is cut short: " + std::to_string(missing), 0),
                0u)
          << MessageText(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      ASSERT_TRUE(WaitFor([&] { return !FindVisibleWindowOf(k.pid(), "#32770"); }));
    }
    k.TrayClick();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }))
        << DescribeWindows(k.pid());
    EXPECT_TRUE(WithinReach(k.Bar()));
    ASSERT_NE(k.Button(1), nullptr);
    EXPECT_TRUE(IsWindowVisible(k.Button(1)) != FALSE);
    EXPECT_NE(FindChild(k.Bar(), "ComboBox"), nullptr);
    EXPECT_EQ(FindVisibleWindowOf(k.pid(), "#32770"), nullptr) << "a message at start";
  }
  // Ends the program normally; the pair it leaves must be sound, and must start it again.
  void ExitAndCheck() {
    ASSERT_TRUE(k.Exit()) << DescribeWindows(k.pid());
    const std::string ini = k.Ini(), dat = k.Dat();
    EXPECT_TRUE(SoundPair(ini, dat));
    ASSERT_TRUE(k.Start());
    k.TrayClick();
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }));
    EXPECT_TRUE(IsWindowVisible(k.Button(1)) != FALSE);
    k.Kill();
  }
  int VisibleButtons() {
    int n = 0;
    for (int i = 1; i <= kMaxButtons; ++i) n += IsWindowVisible(k.Button(i)) ? 1 : 0;
    return n;
  }

  Keystrum k;
};

TEST_F(HardenFiles, CountsBeyondTheLimitsAreClamped) {
  // 999 groups of which the file names three; one group counts -7 buttons, one 100000,
  // one has 0 columns. The third is shown.
  k.WriteIni(
      "[Groups]\r\nNumGroups=999\r\nActiveGroup=3\r\nGroupName1=Neg\r\nGroupName2=Huge\r\n"
      "GroupName3=Flat\r\n"
      "[Commands]\r\nNumCommands=-7\r\n"
      "[Commands1]\r\nNumCommands=100000\r\nColumns=-3\r\n"
      "[Commands2]\r\nNumCommands=3\r\nColumns=0\r\nCaption1=One\r\nCaption2=Two\r\n"
      "Caption3=Three\r\n");
  k.WriteDat("");
  StartAndShow(100);  // 50 and 3 texts, and one for each of the 47 groups it does not name
  EXPECT_EQ(TextOf(k.Button(1)), "One");
  EXPECT_EQ(VisibleButtons(), 3);
  EXPECT_EQ(SendMessageA(k.GroupList(), CB_GETCOUNT, 0, 0), 50);
  SIZE c = k.BarClient();
  EXPECT_GT(c.cx, 0);
  EXPECT_GE(c.cy, 4 * 24) << "one column: the list above three buttons";
  ExitAndCheck();
  const std::string ini = k.Ini();
  EXPECT_NE(ini.find("NumGroups=50"), std::string::npos);
  Loaded l = LoadSettings(ini, k.Dat(), Context(), WinAnsiCodePage());
  EXPECT_EQ(l.store->GroupAt(1).ButtonCount(), 0);
  EXPECT_EQ(l.store->GroupAt(2).ButtonCount(), 50);
  EXPECT_EQ(l.store->GroupAt(3).Columns, 1);
}

TEST_F(HardenFiles, NonNumbersAndFarPlacesGiveDefaultsAndAReachableBar) {
  k.WriteIni(
      "[Window]\r\nButtonWidth=abc\r\nXPosition=99999999\r\nYPosition=-99999999\r\n"
      "[TypeWindow]\r\nXPosition=-2147483648\r\nYPosition=2147483647\r\nWidth=-5\r\n"
      "Height=999999\r\n"
      "[ListWindow]\r\nXPosition=0x7FFFFFFF\r\nYPosition=$80000000\r\n"
      "[Font]\r\nName=\r\nSize=-400\r\n"
      "[Commands]\r\nNumCommands=1\r\nCaption1=Far\r\nColor1=zz\r\n");
  StartAndShow();
  EXPECT_EQ(TextOf(k.Button(1)), "Far");
  EXPECT_EQ(k.BarClient().cx, 100);  // ButtonWidth "abc" reads as 100
  ExitAndCheck();
  // The font size is taken within what the font dialog offers.
  EXPECT_NE(k.Ini().find("Size=6\r\n"), std::string::npos) << k.Ini();
}

TEST_F(HardenFiles, ATenMegabyteTextIsKeptWhole) {
  std::string big(10 * 1024 * 1024, 'x');
  for (size_t i = 0; i < big.size(); i += 997) big[i] = static_cast<char>('a' + (i / 997) % 26);
  k.WriteIni("[Commands]\r\nNumCommands=2\r\nCaption1=Big\r\nCaption2=After\r\n");
  k.WriteDat(big + "\r\nafter\r\n");
  StartAndShow();
  EXPECT_EQ(TextOf(k.Button(2)), "After");
  ASSERT_TRUE(k.Exit());
  EXPECT_EQ(k.Dat(), big + "\r\nafter\r\n");
  EXPECT_TRUE(SoundPair(k.Ini(), k.Dat()));
}

TEST_F(HardenFiles, ATextFileOfNulBytesWithoutLineEndsGivesOneText) {
  std::string dat;
  for (int i = 0; i < 3000; ++i) dat += i % 7 ? static_cast<char>('a' + i % 26) : '\0';
  k.WriteIni("[Commands]\r\nNumCommands=3\r\nCaption1=A\r\nCaption2=B\r\nCaption3=C\r\n");
  k.WriteDat(dat);
  StartAndShow(2);
  EXPECT_EQ(VisibleButtons(), 3);
  ASSERT_TRUE(k.Exit());
  // The whole file was the first text; the other two had none.
  EXPECT_EQ(k.Dat(), dat + "\r\n\r\n\r\n");
  EXPECT_TRUE(SoundPair(k.Ini(), k.Dat()));
}

TEST_F(HardenFiles, ASettingsFileOfBinaryGarbageGivesTheDefaultBar) {
  std::string junk(64 * 1024, '\0');
  uint32_t x = 2463534242u;  // xorshift: the same garbage on every run
  for (char& c : junk) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  k.WriteIni(junk);
  StartAndShow();
  EXPECT_EQ(TextOf(k.Button(1)), "Example");
  EXPECT_EQ(VisibleButtons(), 1);
  ExitAndCheck();
}

// ---- files the program may not write ----

// Ends the program as Exit does; the refusal it shows is read, answered, and returned.
std::string ExitThroughRefusal(Keystrum& k) {
  HWND tray = k.TrayForm();
  if (!tray) return "(no tray form)";
  PostMessageA(tray, WM_CLOSE, 0, 0);
  HWND box = MessageBoxOf(k.pid());
  if (!box) return "(no message; " + DescribeWindows(k.pid()) + ")";
  std::string text = TextOf(box) + ": " + MessageText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  if (!k.WaitExit()) text += " (and the program did not end)";
  return text;
}

const char* kSmallIni =
    "[Window]\r\nXPosition=300\r\nYPosition=200\r\n"
    "[Commands]\r\nNumCommands=2\r\nCaption1=One\r\nCaption2=Two\r\n";
const char* kSmallDat = "one{enter}\r\ntwo\r\n";

TEST(HardenFaults, AReadOnlySettingsFileIsToldAtExitAndBothFilesStay) {
  Keystrum k;
  k.WriteIni(kSmallIni);
  k.WriteDat(kSmallDat);
  ASSERT_TRUE(SetFileAttributesA(k.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(k.Start());
  k.TrayClick();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }));
  EXPECT_EQ(ExitThroughRefusal(k), "Keystrum: Unable to write to " + k.IniPath());
  EXPECT_EQ(k.Ini(), kSmallIni);
  EXPECT_EQ(k.Dat(), kSmallDat);
}

// A folder where no new file may be made (the program's folder under Program Files, a
// read-only share): the save's new files are refused. Wine keeps no read-only flag on a
// folder and the tests run with every right, so the new settings file's name is taken by a
// folder, which refuses its creation the same way.
TEST(HardenFaults, AFolderThatTakesNoNewFileIsToldAtExitAndBothFilesStay) {
  Keystrum k;
  k.WriteIni(kSmallIni);
  k.WriteDat(kSmallDat);
  const std::string blocker = k.IniPath() + ".new";
  ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
  ASSERT_TRUE(k.Start());
  EXPECT_EQ(ExitThroughRefusal(k), "Keystrum: Unable to write to " + k.IniPath());
  EXPECT_EQ(k.Ini(), kSmallIni);
  EXPECT_EQ(k.Dat(), kSmallDat);
  RemoveDirectoryA(blocker.c_str());
}

// ---- many copies at once ----

TEST(HardenRace, EightCopiesStartedAtOnceLeaveOneRunning) {
  Keystrum k;  // the folder and the exe
  const std::string cmd0 = "\"" + k.dir() + "keystrum.exe\"";
  struct Copy {
    HANDLE process = nullptr, thread = nullptr;
    DWORD pid = 0;
  };
  std::vector<Copy> copies(8);
  for (Copy& c : copies) {
    std::string cmd = cmd0;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, k.dir().c_str(), &si, &pi));
    c = Copy{pi.hProcess, pi.hThread, pi.dwProcessId};
  }
  for (Copy& c : copies) ResumeThread(c.thread);

  // Each copy ends up either running with its windows or showing the message.
  std::vector<HWND> boxes(copies.size());
  std::vector<bool> runs(copies.size());
  auto settled = [&] {
    int done = 0;
    for (size_t i = 0; i < copies.size(); ++i) {
      if (!boxes[i]) {
        HWND box = FindVisibleWindowOf(copies[i].pid, "#32770");
        if (box && MessageText(box) == kSecondCopyText) boxes[i] = box;
      }
      runs[i] = FindWindowOf(copies[i].pid, contract::kTrayIconClass) != nullptr &&
                FindWindowOf(copies[i].pid, contract::kBarClass) != nullptr;
      done += boxes[i] || runs[i];
    }
    return done == static_cast<int>(copies.size());
  };
  EXPECT_TRUE(WaitFor(settled, 60000));
  int running = 0, told = 0;
  for (size_t i = 0; i < copies.size(); ++i) {
    running += runs[i] ? 1 : 0;
    if (!boxes[i]) continue;
    ++told;
    EXPECT_EQ(TextOf(boxes[i]), contract::kTitle);
    EXPECT_EQ(FindWindowOf(copies[i].pid, contract::kTrayIconClass), nullptr);
    PostMessageA(boxes[i], WM_COMMAND, IDOK, 0);
  }
  EXPECT_EQ(running, 1);
  EXPECT_EQ(told, 7);
  for (size_t i = 0; i < copies.size(); ++i) {
    if (boxes[i]) {
      EXPECT_EQ(WaitForSingleObject(copies[i].process, 15000), WAIT_OBJECT_0) << i;
    }
  }
  for (size_t i = 0; i < copies.size(); ++i) {
    if (runs[i]) {
      EXPECT_EQ(WaitForSingleObject(copies[i].process, 0), WAIT_TIMEOUT) << "the survivor ended";
      PostMessageA(FindWindowOf(copies[i].pid, contract::kTrayFormClass), WM_CLOSE, 0, 0);
    }
  }
  for (Copy& c : copies) {
    if (WaitForSingleObject(c.process, 15000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "copy " << c.pid << " still runs: " << DescribeWindows(c.pid);
      TerminateProcess(c.process, 9);
      WaitForSingleObject(c.process, 5000);
    }
    CloseHandle(c.thread);
    CloseHandle(c.process);
  }
}

// ---- long runs of typing ----

class HardenLoad : public BarFixture {
 protected:
  void StartWith(const std::string& dat) {
    BarFixture::StartWith(
        "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
        "[Commands]\r\nNumCommands=1\r\nCaption1=Load\r\n",
        dat + "\r\n");
    // Without its key log: these runs read only the text.
    StartTarget("--no-log");
  }
  void Press() { BarFixture::Press(1, 10); }
};

// Every press types the whole text, every Undo takes all of it back: nothing is dropped,
// no Shift is left held, no count is carried into the next run.
TEST_F(HardenLoad, ManyPressesWithUndoBetweenDropNothing) {
  constexpr int kPresses = 1000;
  StartWith("Ab1");
  HWND undo = FindChild(k.Bar(), "Button", "Undo");
  ASSERT_NE(undo, nullptr);
  RECT u{};
  GetWindowRect(undo, &u);
  const int ux = (u.left + u.right) / 2, uy = (u.top + u.bottom) / 2;
  int done = 0;
  std::string failure;
  std::vector<int> lostClicks;
  auto describe = [&](const char* what) {
    HWND fg = GetForegroundWindow();
    failure = std::string(what) + "; the target holds [" + TextOf(edit_) + "], the foreground is " +
              ClassOf(fg) + " '" + TextOf(fg) + "'";
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(k.Bar(), nullptr), &gti))
      failure += "; the bar's focus " + ClassOf(gti.hwndFocus) + " '" + TextOf(gti.hwndFocus) +
                 "', capture " + ClassOf(gti.hwndCapture) + " '" + TextOf(gti.hwndCapture) + "'";
    failure += "; Undo state " + std::to_string(SendMessageA(undo, BM_GETSTATE, 0, 0));
    Sleep(3000);
    failure += "; 3 s later [" + TextOf(edit_) + "]";
  };
  for (; done < kPresses; ++done) {
    Press();
    if (!WaitFor([&] { return TextOf(edit_) == "Ab1"; }, 5000)) {
      describe("press");
      break;
    }
    Click(ux, uy);
    if (!WaitFor([&] { return TextOf(edit_).empty(); }, 5000)) {
      // Under Wine a click of the driver is now and then lost with the whole text still
      // in place and the bar in front (seen about once in 700 presses); the user clicks
      // again. A second click that takes nothing back is a fault, and so are many losses.
      describe("undo");
      lostClicks.push_back(done);
      Click(ux, uy);
      if (!WaitFor([&] { return TextOf(edit_).empty(); }, 5000) || lostClicks.size() > 3) break;
      failure.clear();
    }
  }
  EXPECT_EQ(done, kPresses) << failure;
  EXPECT_LE(lostClicks.size(), 3u) << "Undo clicks lost at presses " << ::testing::PrintToString(lostClicks);
}

// A piece of the typed text: literal, or one of the clock's texts at some instant.
struct Piece {
  std::string text;
  const std::vector<std::string>* choices = nullptr;
};

// Whether `typed` from `pos` is the pieces from `i` on.
bool Matches(const std::string& typed, size_t pos, const std::vector<Piece>& pieces, size_t i,
             size_t& reached) {
  reached = std::max(reached, pos);
  if (i == pieces.size()) return pos == typed.size();
  const Piece& p = pieces[i];
  if (!p.choices)
    return typed.compare(pos, p.text.size(), p.text) == 0 &&
           Matches(typed, pos + p.text.size(), pieces, i + 1, reached);
  for (const std::string& c : *p.choices)
    if (typed.compare(pos, c.size(), c) == 0 &&
        Matches(typed, pos + c.size(), pieces, i + 1, reached))
      return true;
  return false;
}

// One long text with every code but RUN and LIST, in short lines so that the target's
// edit wraps none of them (Up and Down move by shown lines).
TEST_F(HardenLoad, ALongTextWithEveryCodeArrivesInOrder) {
  constexpr size_t kLength = 10000;
  std::vector<std::string> dates, days, months, times;
  std::vector<Piece> pieces;
  std::string text;
  auto lit = [&](const std::string& s) { pieces.push_back({s, nullptr}); };
  for (int n = 0;; ++n) {
    char num[8];
    wsprintfA(num, "%03d", n);
    const std::string block = std::string("#") + num +
                              " {tab}x{left}{left}Y{right}{RIGHT}z{ENTER}"
                              "{date} {Day}{enter}"
                              "{MONTH}|{time}{Enter}{up}^{down}"
                              "!@#$%^&*()_+-=[]\\;',./`~{x}{}{ENTER }{{tab}}<>?:\"|{eNtEr}";
    if (text.size() + block.size() > kLength) break;
    text += block;
    lit(std::string("#") + num + " Y\txz\r\n");
    pieces.push_back({"", &dates});
    lit(" ");
    pieces.push_back({"", &days});
    lit("\r\n^");
    pieces.push_back({"", &months});
    lit("|");
    pieces.push_back({"", &times});
    lit("\r\n!@#$%^&*()_+-=[]\\;',./`~}<>?:\"|\r\n");
  }
  while (text.size() < kLength) {
    const size_t left = kLength - text.size();
    const std::string line = left >= 27 ? std::string(20, 'q') + "{enter}" : std::string(left, 'q');
    text += line;
    lit(left >= 27 ? std::string(20, 'q') + "\r\n" : line);
  }
  ASSERT_EQ(text.size(), kLength);

  StartWith(text);
  SYSTEMTIME start{};
  GetLocalTime(&start);
  Press();
  ASSERT_TRUE(WaitFor([&] { return !TextOf(edit_).empty(); }, 20000)) << "nothing typed";
  std::string typed;
  std::string last;
  // Done when the text has stopped growing for two seconds.
  for (int still = 0; still < 4;) {
    Sleep(500);
    typed = TextOf(edit_);
    still = typed == last ? still + 1 : 0;
    last = typed;
  }
  SYSTEMTIME end{};
  GetLocalTime(&end);

  // The clock's texts of every second the typing took.
  FILETIME f{};
  SystemTimeToFileTime(&start, &f);
  ULARGE_INTEGER t{{f.dwLowDateTime, f.dwHighDateTime}};
  FILETIME fe{};
  SystemTimeToFileTime(&end, &fe);
  const ULARGE_INTEGER te{{fe.dwLowDateTime, fe.dwHighDateTime}};
  std::set<std::string> d, dy, m, tm;
  constexpr ULONGLONG kSecond = 10000000ULL;  // in the file time's 100 ns
  for (t.QuadPart -= kSecond; t.QuadPart <= te.QuadPart + kSecond; t.QuadPart += kSecond) {
    FILETIME ft{t.LowPart, t.HighPart};
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    WinClock clock(st);
    d.insert(clock.ShortDate());
    dy.insert(clock.LongDayName());
    m.insert(clock.MonthName());
    tm.insert(clock.LongTime());
  }
  dates.assign(d.begin(), d.end());
  days.assign(dy.begin(), dy.end());
  months.assign(m.begin(), m.end());
  times.assign(tm.begin(), tm.end());

  size_t reached = 0;
  EXPECT_TRUE(Matches(typed, 0, pieces, 0, reached))
      << "typed " << typed.size() << " characters; they differ from character " << reached
      << ": [" << typed.substr(reached > 40 ? reached - 40 : 0, 120) << "]";
}

}  // namespace
}  // namespace ks::e2e
