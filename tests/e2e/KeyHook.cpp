// keystrum.dll and its loader, end to end: real keys injected with SendInput go to a
// foreground edit of this process while the hook copies them to a receiver window that
// lives on another thread, as the editor's memo does while recording.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "contract.h"
#include "editor/keyhook_win.h"
#include "text/codepage_win.h"

namespace {

using ks::editor::KeyHookLibrary;
using namespace std::chrono_literals;

struct KeyMessage {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
  bool operator==(const KeyMessage& o) const { return msg == o.msg && wp == o.wp; }
};

void PrintTo(const KeyMessage& m, std::ostream* os) {
  *os << (m.msg == WM_KEYDOWN ? "down " : m.msg == WM_KEYUP ? "up " : "char ") << m.wp;
}

KeyMessage Down(WPARAM vk) { return {WM_KEYDOWN, vk, 0}; }
KeyMessage Up(WPARAM vk) { return {WM_KEYUP, vk, 0}; }
KeyMessage Char(WPARAM c) { return {WM_CHAR, c, 0}; }

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds timeout = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

// A thread with its own windows and the usual GetMessage/TranslateMessage/DispatchMessage
// loop, the loop every window of the program runs under.
class UiThread {
 public:
  explicit UiThread(std::function<void()> create) {
    std::promise<DWORD> started;
    auto ready = started.get_future();
    thread_ = std::thread([&started, create = std::move(create)] {
      MSG msg;
      PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
      create();
      started.set_value(GetCurrentThreadId());
      while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    });
    id_ = ready.get();
  }
  ~UiThread() {
    PostThreadMessageA(id_, WM_QUIT, 0, 0);
    thread_.join();
  }
  UiThread(const UiThread&) = delete;
  UiThread& operator=(const UiThread&) = delete;

 private:
  std::thread thread_;
  DWORD id_ = 0;
};

// A hidden window that writes down every key message it is given.
class Receiver {
 public:
  // `wide`: a Unicode window, which gets characters as UTF-16 units, as the memo does.
  explicit Receiver(bool wide = false) {
    log_.reserve(4096);  // the window procedure only appends within this, so it never throws
    ui_ = std::make_unique<UiThread>([this, wide] {
      if (wide) {
        static const ATOM atom = [] {
          WNDCLASSW wc{};
          wc.lpfnWndProc = Proc;
          wc.hInstance = GetModuleHandleW(nullptr);
          wc.lpszClassName = L"KeyHookTestWideReceiver";
          return RegisterClassW(&wc);
        }();
        hwnd_ = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(atom)), L"receiver", WS_OVERLAPPEDWINDOW, 0, 0,
                                100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
      } else {
        static const ATOM atom = [] {
          WNDCLASSA wc{};
          wc.lpfnWndProc = Proc;
          wc.hInstance = GetModuleHandleA(nullptr);
          wc.lpszClassName = "KeyHookTestReceiver";
          return RegisterClassA(&wc);
        }();
        hwnd_ = CreateWindowExA(0, MAKEINTATOM(atom), "receiver", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
      }
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    });
  }

  HWND hwnd() const { return hwnd_; }

  std::vector<KeyMessage> Log() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }
  size_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_.size();
  }
  void Destroy() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (self && (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR)) {
      std::lock_guard<std::mutex> lock(self->mutex_);
      if (self->log_.size() < self->log_.capacity()) self->log_.push_back({msg, wp, lp});
      return 0;
    }
    return IsWindowUnicode(h) ? DefWindowProcW(h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
  }

  mutable std::mutex mutex_;
  std::vector<KeyMessage> log_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<UiThread> ui_;  // last: its thread ends before the log goes
};

// The program the user is typing into: a foreground window with a focused multi-line edit.
class Target {
 public:
  Target() {
    ui_ = std::make_unique<UiThread>([this] {
      frame_ = CreateWindowExA(0, "STATIC", "KeyHook target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               50, 50, 400, 200, nullptr, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
      edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 380,
                              150, frame_, nullptr, GetModuleHandleA(nullptr), nullptr);
      SetForegroundWindow(frame_);
      SetFocus(edit_);
    });
    foreground_ = WaitFor([this] { return GetForegroundWindow() == frame_; });
  }

  bool IsForeground() const { return foreground_; }

  std::string Text() const {
    char buf[256] = {};
    SendMessageA(edit_, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
  }

 private:
  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
  bool foreground_ = false;
  std::unique_ptr<UiThread> ui_;
};

bool IsExtended(WORD vk) { return vk >= VK_LEFT && vk <= VK_DOWN; }

void Key(WORD vk, bool up, ULONG_PTR extra = 0) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
  in.ki.dwExtraInfo = extra;
  SendInput(1, &in, sizeof in);
  std::this_thread::sleep_for(5ms);
}

void Tap(WORD vk, ULONG_PTR extra = 0) {
  Key(vk, false, extra);
  Key(vk, true, extra);
}

void ShiftTap(WORD vk, WORD shift = VK_SHIFT) {
  Key(shift, false);
  Tap(vk);
  Key(shift, true);
}

// Waits for `count` messages, then a little longer, so that a duplicate arriving late is
// caught as well.
std::vector<KeyMessage> Collect(const Receiver& r, size_t count) {
  WaitFor([&] { return r.Count() >= count; });
  std::this_thread::sleep_for(300ms);
  return r.Log();
}

std::string TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  std::string dir = std::string(base) + "keyhook-test-" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(GetTickCount());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

// ---- the loader ----

TEST(KeyHookLoader, LoadsTheLibraryBesideTheProgram) {
  KeyHookLibrary lib;
  EXPECT_TRUE(lib.Available());
  EXPECT_EQ(lib.Path(), ks::editor::ProgramFolder() + "keystrum.dll");
  EXPECT_EQ(lib.Path().find(":\\"), 1u) << lib.Path();
}

TEST(KeyHookLoader, MissingOrBrokenLibraryIsReportedUnavailable) {
  const std::string dir = TempFolder();
  Receiver receiver;
  {
    KeyHookLibrary lib(dir);
    EXPECT_FALSE(lib.Available());
    EXPECT_EQ(lib.Path(), dir + "\\keystrum.dll");
    EXPECT_FALSE(lib.Start(receiver.hwnd()));
    lib.Stop();
  }
  // A file of that name that is no library at all.
  const std::string fake = dir + "\\keystrum.dll";
  HANDLE f = CreateFileA(fake.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(f, "not a library", 13, &written, nullptr);
  CloseHandle(f);
  {
    KeyHookLibrary lib(dir + "\\");
    EXPECT_EQ(lib.Path(), fake);
    EXPECT_FALSE(lib.Available());
  }
  DeleteFileA(fake.c_str());
  RemoveDirectoryA(dir.c_str());
  EXPECT_STRNE(ks::editor::kKeyHookMissingMessage, "");
}

TEST(KeyHookLoader, LoadsFromAFolderNamedInAnyScript) {
  const std::string base = TempFolder();
  const std::wstring dir = ks::Wide(base) + L"\\\u0391\u03C1\u03C7\u03B5\u03AF\u03B1 \u2713";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring copy = dir + L"\\keystrum.dll";
  ASSERT_TRUE(CopyFileW(ks::Wide(ks::editor::ProgramFolder() + "keystrum.dll").c_str(),
                        copy.c_str(), FALSE));
  {
    KeyHookLibrary lib(ks::Utf8(dir));
    EXPECT_TRUE(lib.Available()) << lib.Path();
    EXPECT_NE(GetModuleHandleW(copy.c_str()), nullptr) << "loaded from elsewhere";
  }
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(dir.c_str());
  RemoveDirectoryA(base.c_str());
}

TEST(KeyHookLoader, NeverLoadsThroughARelativePath) {
  // The working folder holds the real library; a relative folder must still not be used.
  ASSERT_NE(GetFileAttributesA(".\\keystrum.dll"), INVALID_FILE_ATTRIBUTES);
  KeyHookLibrary lib(".");
  EXPECT_FALSE(lib.Available());
}

// ---- the hook ----

// The library's hook running for a receiver, with a target in front to type into.
class KeyHookRunning : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(target.IsForeground());
    ASSERT_TRUE(lib.Available());
    ASSERT_TRUE(lib.Start(receiver.hwnd()));
  }

  Receiver receiver;
  Target target;
  KeyHookLibrary lib;
};

TEST_F(KeyHookRunning, DeliversDownCharUpInOrderWithShiftsOwnKeys) {
  // Either Shift is Shift (16) to the receiver.
  ShiftTap('H', VK_LSHIFT);
  Tap('I');
  ShiftTap('1', VK_RSHIFT);
  Tap(VK_TAB);

  const std::vector<KeyMessage> expected = {
      Down(VK_SHIFT), Down('H'),  Char('H'),    Up('H'),    Up(VK_SHIFT),
      Down('I'),      Char('i'),  Up('I'),      Down(VK_SHIFT), Down('1'),
      Char('!'),      Up('1'),    Up(VK_SHIFT), Down(VK_TAB), Char(9),
      Up(VK_TAB)};
  const std::vector<KeyMessage> got = Collect(receiver, expected.size());
  EXPECT_EQ(got, expected);
  // The hook takes nothing away from the program being typed into.
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "Hi!\t"; })) << target.Text();

  // The message words carry the key as a key-down and key-up of their own would.
  ASSERT_GE(got.size(), 4u);
  const LPARAM hScan = static_cast<LPARAM>(MapVirtualKeyA('H', MAPVK_VK_TO_VSC));
  EXPECT_EQ(got[1].lp & 0xFFFF, 1);                   // repeat count
  EXPECT_EQ((got[1].lp >> 16) & 0xFF, hScan);         // scan code
  EXPECT_EQ((got[1].lp >> 30) & 3, 0);                // fresh press
  EXPECT_EQ((static_cast<unsigned long long>(got[3].lp) >> 30) & 3, 3u);  // release
  lib.Stop();
}

TEST_F(KeyHookRunning, ArrowsAreKeysOnlyEnterAndBackspaceAreCharacters) {
  Tap(VK_LEFT);
  Tap(VK_UP);
  Tap(VK_RIGHT);
  Tap(VK_DOWN);
  Tap(VK_RETURN);
  Tap(VK_BACK);

  const std::vector<KeyMessage> expected = {
      Down(VK_LEFT),   Up(VK_LEFT),     Down(VK_UP),  Up(VK_UP), Down(VK_RIGHT),
      Up(VK_RIGHT),    Down(VK_DOWN),   Up(VK_DOWN),  Down(VK_RETURN), Char(13),
      Up(VK_RETURN),   Down(VK_BACK),   Char(8),      Up(VK_BACK)};
  const std::vector<KeyMessage> got = Collect(receiver, expected.size());
  EXPECT_EQ(got, expected);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_NE(got[0].lp & (LPARAM{1} << 24), 0) << "arrow keys are extended keys";
}

TEST_F(KeyHookRunning, KeysKeystrumInjectsItselfAreLeftOut) {
  Tap('A', ks::contract::kInjectTag);
  Tap('B');
  Tap('C', ks::contract::kInjectTag);

  const std::vector<KeyMessage> expected = {Down('B'), Char('b'), Up('B')};
  const std::vector<KeyMessage> got = Collect(receiver, expected.size());
  EXPECT_EQ(got, expected);
  // Left out of the recording, but typed all the same.
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "abc"; })) << target.Text();
}

// Characters sent as Unicode input (an on-screen keyboard, an input method's output, a
// typing tool) come to a Unicode receiver as their UTF-16 units, an emoji as its two
// halves, each after the key-down of the packet key that carried it.
TEST(KeyHookCapture, UnicodeInputReachesAUnicodeReceiverUnitByUnit) {
  Receiver receiver(true);
  Target target;
  ASSERT_TRUE(target.IsForeground());
  KeyHookLibrary lib;
  ASSERT_TRUE(lib.Start(receiver.hwnd()));

  for (wchar_t unit : std::wstring(L"\u03A3\u00E9\U0001F600")) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = unit;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    std::this_thread::sleep_for(5ms);
  }

  const std::vector<KeyMessage> expected = {
      Down(VK_PACKET), Char(0x3A3),  Up(VK_PACKET), Down(VK_PACKET), Char(0xE9),
      Up(VK_PACKET),   Down(VK_PACKET), Char(0xD83D), Up(VK_PACKET), Down(VK_PACKET),
      Char(0xDE00),    Up(VK_PACKET)};
  EXPECT_EQ(Collect(receiver, expected.size()), expected);
}

TEST_F(KeyHookRunning, ShortcutChordsMakeNoCharacters) {
  // Ctrl+V would otherwise reach the receiver as character 22, an edit control's paste.
  Key(VK_CONTROL, false);
  Tap('V');
  Key(VK_CONTROL, true);
  Tap('W');
  // Alt with a letter is a menu key of the program in front, not text.
  Key(VK_MENU, false);
  Tap('F');
  Key(VK_MENU, true);

  const std::vector<KeyMessage> expected = {
      Down(VK_CONTROL), Down('V'), Up('V'),       Up(VK_CONTROL), Down('W'), Char('w'),
      Up('W'),          Down(VK_MENU), Down('F'), Up('F'),        Up(VK_MENU)};
  const std::vector<KeyMessage> got = Collect(receiver, expected.size());
  EXPECT_EQ(got, expected);
}

TEST(KeyHookCapture, ReceiverThatHasGoneDropsKeysAndTypingGoesOn) {
  Receiver first;
  Target target;
  ASSERT_TRUE(target.IsForeground());
  KeyHookLibrary lib;
  ASSERT_TRUE(lib.Start(first.hwnd()));

  first.Destroy();
  ASSERT_FALSE(IsWindow(first.hwnd()));
  Tap('X');
  Tap('Y');
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "xy"; })) << target.Text();
  EXPECT_EQ(first.Count(), 0u);

  // A new start with a live window captures again.
  Receiver second;
  ASSERT_TRUE(lib.Start(second.hwnd()));
  Tap('Q');
  const std::vector<KeyMessage> expected = {Down('Q'), Char('q'), Up('Q')};
  const std::vector<KeyMessage> got = Collect(second, expected.size());
  EXPECT_EQ(got, expected);
}

TEST(KeyHookCapture, StartSwitchesReceiverAndStopEndsCapture) {
  Receiver a;
  Receiver b;
  Target target;
  ASSERT_TRUE(target.IsForeground());
  KeyHookLibrary lib;
  lib.Stop();  // not running: nothing to do
  ASSERT_TRUE(lib.Start(a.hwnd()));
  ASSERT_TRUE(lib.Start(b.hwnd()));
  Tap('K');
  const std::vector<KeyMessage> expected = {Down('K'), Char('k'), Up('K')};
  EXPECT_EQ(Collect(b, expected.size()), expected);
  EXPECT_EQ(a.Count(), 0u);

  lib.Stop();
  lib.Stop();
  Tap('M');
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "km"; })) << target.Text();
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(b.Count(), expected.size());

  // A handle that is no window (any more) starts nothing.
  EXPECT_FALSE(lib.Start(nullptr));
  a.Destroy();
  EXPECT_FALSE(lib.Start(a.hwnd()));
}

TEST(KeyHookCapture, LibraryFreedWhileHookedStaysUntilStopped) {
  Receiver receiver;
  Target target;
  ASSERT_TRUE(target.IsForeground());
  const std::string path = ks::editor::ProgramFolder() + "keystrum.dll";
  ASSERT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "another test left the library loaded";

  using StartFn = BOOL(WINAPI*)(HWND);
  using StopFn = BOOL(WINAPI*)();
  HMODULE m = LoadLibraryExA(path.c_str(), nullptr, 0);
  ASSERT_NE(m, nullptr);
  auto start = reinterpret_cast<StartFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(m, "KeyHook_Start")));
  ASSERT_NE(start, nullptr);
  ASSERT_TRUE(start(receiver.hwnd()));
  // A careless host frees the library under its running hook: the code must stay mapped.
  FreeLibrary(m);
  EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr);
  Tap('U');
  const std::vector<KeyMessage> expected = {Down('U'), Char('u'), Up('U')};
  EXPECT_EQ(Collect(receiver, expected.size()), expected);

  // Stopping ends the thread, which lets the library go for good.
  m = LoadLibraryExA(path.c_str(), nullptr, 0);
  ASSERT_NE(m, nullptr);
  auto stop = reinterpret_cast<StopFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(m, "KeyHook_Stop")));
  ASSERT_NE(stop, nullptr);
  stop();
  FreeLibrary(m);
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr);
  Tap('V');
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "uv"; })) << target.Text();
  EXPECT_EQ(receiver.Count(), expected.size());
}

}  // namespace
