// The real injection path: the typing engine with the SendInput sink and the
// system's keyboard layout types into a window of another process, which reports
// what arrived. The target lives in its own process so that this one pumps nothing
// between pressing keys and reading the result.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "contract.h"
#include "helpers/target_window.h"
#include "typing/ports_win.h"
#include "typing/typist.h"

namespace ks {
namespace {

bool Eventually(const std::function<bool()>& cond, int ms = 15000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (cond()) return true;
    Sleep(20);
  }
  return cond();
}

std::string ExeFolder() {
  char buf[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p(buf, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

// WM_GETTEXT works across processes where GetWindowText does not (under Wine).
std::wstring WideTextOf(HWND h) {
  DWORD_PTR len = 0;
  SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len);
  std::wstring s(len + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, len + 1, reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG,
                      5000, &got);
  s.resize(got);
  return s;
}

std::string TextOf(HWND h) {
  std::wstring w = WideTextOf(h);
  std::string s;
  for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
  return s;
}

struct ProcessCloser {
  void operator()(HANDLE h) const {
    if (h) CloseHandle(h);
  }
};
using UniqueProcess = std::unique_ptr<void, ProcessCloser>;

class TypingInject : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartTarget(""); }

  static void StartTarget(const char* args) {
    std::string cmd(1, '"');
    cmd.append(ExeFolder()).append("typing_target.exe").push_back('"');
    cmd.append(args);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      startError_ = "cannot start " + cmd + ", error " + std::to_string(GetLastError());
      return;
    }
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    WaitForInputIdle(pi.hProcess, 20000);
    // A cold Wine session takes a few seconds before the first window appears.
    if (!Eventually(
            [] {
              // Found once its controls exist too: the window is there before them.
              target_ = FindWindowA(helpers::kTypingTargetClass, nullptr);
              return target_ && GetDlgItem(target_, helpers::kTargetTextId) &&
                     GetDlgItem(target_, helpers::kTargetLogId);
            },
            30000))
      startError_ = "typing_target.exe showed no window";
  }

  static void TearDownTestSuite() {
    if (target_) PostMessageA(target_, WM_CLOSE, 0, 0);
    if (process_ && WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0)
      TerminateProcess(process_.get(), 1);
    process_.reset();
    target_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(target_, nullptr) << startError_;
    text_ = GetDlgItem(target_, helpers::kTargetTextId);
    log_ = GetDlgItem(target_, helpers::kTargetLogId);
    ASSERT_NE(text_, nullptr);
    ASSERT_NE(log_, nullptr);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target_, helpers::kTargetClear, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    SetForegroundWindow(target_);
    ASSERT_TRUE(Eventually([] { return GetForegroundWindow() == target_; }))
        << "the target window did not come to the foreground";
  }

  // Types `text` and waits until the target shows `expected`.
  std::wstring TypeAndRead(const std::string& text, const std::wstring& expected,
                           int ms = 15000) {
    typist_.SendString(ToWindowId(target_), text);
    Eventually([&] { return WideTextOf(text_) == expected; }, ms);
    return WideTextOf(text_);
  }

  // Greek, an e-acute, a check mark and an emoji: keys of the layout where it has them,
  // the rest as Unicode input, the emoji as a surrogate pair. Under Wine an EDIT and a
  // RichEdit remove one UTF-16 unit with each Backspace, and Undo counts the emoji's two.
  void TypeAnyScriptAndUndo() {
    const std::string text =
        "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 caf\xC3\xA9 "
        "\xE2\x9C\x93 \xF0\x9F\x98\x80!";
    const std::wstring wide =
        L"\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1 caf\u00E9 \u2713 \U0001F600!";
    EXPECT_EQ(TypeAndRead(text, wide), wide);
    EXPECT_EQ(typist_.KeystrokeCount, static_cast<int32_t>(wide.size()));
    typist_.UndoTyping();
    Eventually([&] { return WideTextOf(text_).empty(); });
    EXPECT_EQ(WideTextOf(text_), L"");
  }

  static inline UniqueProcess process_;
  static inline std::string startError_;
  static inline HWND target_ = nullptr;

  HWND text_ = nullptr;
  HWND log_ = nullptr;
  SendInputSink sink_;
  WinKeyboardLayout layout_;
  WinClock clock_;
  PlainHandOver host_;
  WinInputConditions conditions_;
  Typist typist_{
      TypingPorts{sink_, layout_, clock_, host_, nullptr, nullptr, nullptr, nullptr, nullptr, &conditions_}};
};

TEST_F(TypingInject, PlainTextArrivesExactly) {
  EXPECT_EQ(TypeAndRead("Hello, World! @#", L"Hello, World! @#"), L"Hello, World! @#");
  EXPECT_EQ(typist_.KeystrokeCount, 16);
}

TEST_F(TypingInject, LongTextArrivesWhole) {
  // Back to back, without a pause: nothing may be lost or reordered on the way. The target
  // logs every key into a text it sets whole each time: on a machine busy with other work
  // the 600 characters take 15 to 20 seconds to land, so the wait is long (it ends as
  // soon as all is in).
  std::string text;
  std::wstring expected;
  for (int i = 0; i < 12; ++i) {
    const std::string line = "Line " + std::to_string(i) + ": The QUICK brown fox (~!@#$%^&*_+|:\"<>?)";
    text += line + "{ENTER}";
    expected += std::wstring(line.begin(), line.end()) + L"\r\n";
  }
  EXPECT_EQ(TypeAndRead(text, expected, 90000), expected);
}

TEST_F(TypingInject, TabAndArrowsArriveAsKeys) {
  // The caret moves back over c, so b lands between a and c.
  EXPECT_EQ(TypeAndRead("ac{LEFT}b{RIGHT}{TAB}d", L"abc\td"), L"abc\td");
  const std::string log = TextOf(log_);
  // Left arrow: virtual key 25, the layout's scan code 4B, the extended bit set.
  EXPECT_NE(log.find("+25:4B:1 "), std::string::npos) << log;
  EXPECT_NE(log.find("-25:4B:1 "), std::string::npos) << log;
  EXPECT_NE(log.find("+27:4D:1 "), std::string::npos) << log;
  EXPECT_NE(log.find("+09:0F:0 "), std::string::npos) << log;
  EXPECT_NE(log.find("+41:1E:0 "), std::string::npos) << log;  // a, with its scan code
}

TEST_F(TypingInject, UndoTakesBackTheLastRunOnly) {
  ASSERT_EQ(TypeAndRead("keep", L"keep"), L"keep");
  ASSERT_EQ(TypeAndRead("x{ENTER}y", L"keepx\r\ny"), L"keepx\r\ny");
  // Three keystrokes, three Backspaces; the one for Enter removes the whole line break.
  typist_.UndoTyping();
  Eventually([&] { return WideTextOf(text_) == L"keep"; });
  EXPECT_EQ(WideTextOf(text_), L"keep");
  EXPECT_EQ(typist_.KeystrokeCount, 0);
}

TEST_F(TypingInject, CharacterWithoutKeyArrivesIntact) {
  ASSERT_EQ(layout_.CharToKey(layout_.LayoutOf(0), u'\u00E9'), -1)
      << "this layout has a key for e acute";
  EXPECT_EQ(TypeAndRead("caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC"), L"caf\u00E9 \u20AC");
  EXPECT_EQ(typist_.KeystrokeCount, 6);
}

TEST_F(TypingInject, AnyScriptArrivesExactlyAndUndoEmptiesIt) { TypeAnyScriptAndUndo(); }

// Caps Lock, as the user left it on, turns no letter's case, and stays on.
TEST_F(TypingInject, CapsLockChangesNoLetter) {
  auto toggle = [] {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_CAPITAL;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  };
  const bool wasOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
  if (!wasOn) toggle();
  const bool on = Eventually([] { return (GetKeyState(VK_CAPITAL) & 1) != 0; }, 3000);
  EXPECT_TRUE(on) << "Caps Lock did not come on";
  if (on) {
    EXPECT_EQ(TypeAndRead("Ab1 cd: Z", L"Ab1 cd: Z"), L"Ab1 cd: Z");
  }
  EXPECT_NE(GetKeyState(VK_CAPITAL) & 1, 0) << "the run changed Caps Lock";
  if (!wasOn) toggle();
  Eventually([] { return (GetKeyState(VK_CAPITAL) & 1) == 0; }, 3000);
}

// The same into a RichEdit.
class TypingInjectRich : public TypingInject {
 protected:
  static void SetUpTestSuite() { StartTarget(" --rich"); }
};

TEST_F(TypingInjectRich, AnyScriptArrivesExactlyAndUndoEmptiesIt) { TypeAnyScriptAndUndo(); }

// A low-level keyboard hook sees the tag on every key this program injects.
TEST_F(TypingInject, EveryInjectedKeyCarriesTheTag) {
  static std::atomic<int> tagged{0}, untagged{0};
  tagged = 0;
  untagged = 0;
  std::atomic<DWORD> hookThread{0};
  std::atomic<bool> hooked{false};
  std::thread t([&] {
    hookThread = GetCurrentThreadId();
    HHOOK hook = SetWindowsHookExA(
        WH_KEYBOARD_LL,
        [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
          if (code == HC_ACTION) {
            const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
            (k->dwExtraInfo == contract::kInjectTag ? tagged : untagged)++;
          }
          return CallNextHookEx(nullptr, code, wp, lp);
        },
        GetModuleHandleA(nullptr), 0);
    hooked = hook != nullptr;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (hook) UnhookWindowsHookEx(hook);
  });
  ASSERT_TRUE(Eventually([&] { return hookThread != 0; }));
  Sleep(200);
  if (hooked) {
    EXPECT_EQ(TypeAndRead("A{UP}\xC3\xA9", L"A\u00E9"), L"A\u00E9");
    Eventually([&] { return tagged >= 8; }, 3000);
  }
  PostThreadMessageA(hookThread, WM_QUIT, 0, 0);
  t.join();
  ASSERT_TRUE(hooked) << "no low-level keyboard hook";
  // Shift down, A down, A up, Shift up, Up down, Up up, the character down and up.
  EXPECT_EQ(tagged, 8);
  EXPECT_EQ(untagged, 0);
}

// The clock formats with the user's locale; these expectations are the US English ones.
TEST(TypingInjectClock, FormatsAFixedInstantInTheUsersLocale) {
  if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_ENGLISH)
    GTEST_SKIP() << "needs an English user locale";
  SYSTEMTIME sunday{};
  sunday.wYear = 2026;
  sunday.wMonth = 12;
  sunday.wDay = 27;
  sunday.wDayOfWeek = 0;
  sunday.wHour = 23;
  sunday.wMinute = 59;
  sunday.wSecond = 58;
  WinClock clock(sunday);
  EXPECT_EQ(clock.LongDayName(), "Sunday");
  EXPECT_EQ(clock.MonthName(), "December");
  if (GetUserDefaultLCID() == 0x0409) {
    EXPECT_EQ(clock.ShortDate(), "12/27/2026");
    EXPECT_EQ(clock.LongTime(), "11:59:58 PM");
  }
  SYSTEMTIME monday = sunday;
  monday.wDay = 28;
  monday.wDayOfWeek = 1;
  EXPECT_EQ(WinClock(monday).LongDayName(), "Monday");
  SYSTEMTIME saturday = sunday;
  saturday.wDay = 26;
  saturday.wDayOfWeek = 6;
  EXPECT_EQ(WinClock(saturday).LongDayName(), "Saturday");
}

}  // namespace
}  // namespace ks
