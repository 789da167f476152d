#pragma once
// The fixture of the suites that drive the bar: a Keystrum started on prepared files with
// its bar shown, the typing target beside it, and the presses, waits and finders they share.
// Header only, since the benchmarks build the driver without GoogleTest.
#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <string>

#include "contract.h"
#include "support/harness.h"
#include "text/codepage_win.h"

namespace ks::e2e {

// A value of a settings file as the platform's own reader sees it, in UTF-8 (the wide
// reader takes ANSI and UTF-16 files alike), "<none>" when absent. Path and names are
// ASCII.
inline std::string IniValue(const std::string& path, const char* section, const char* key) {
  auto wide = [](const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); };
  wchar_t buf[512] = {};
  GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"<none>", buf, 512,
                           wide(path).c_str());
  char out[2048] = {};
  WideCharToMultiByte(CP_UTF8, 0, buf, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

// The same through the platform's wide reader, as UTF-8: a value in any script.
inline std::string IniValueW(const std::string& path, const char* section, const char* key) {
  wchar_t buf[512] = {};
  GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<none>", buf, 512,
                           Wide(path).c_str());
  return Utf8(buf);
}

// `utf8` as a file in UTF-16LE with its byte-order mark, the Unicode form of a settings file.
inline std::string Utf16LeFile(const std::string& utf8) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : Wide(utf8)) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  return bytes;
}

// The positions of GroupMenu's items as the arrow keys reach them (separators are skipped).
enum GroupMenuItem {
  kNewGroup = 1, kEditGroup, kDeleteGroup, kPasswordProtect, kRemovePassword, kPrograms
};

class BarFixture : public ::testing::Test {
 protected:
  // `exe` names another build of the program to run (keystrum_probe.exe).
  explicit BarFixture(const char* exe = "keystrum.exe") : k(exe) {}

  // Ends the program normally when it still runs: what it saves is part of what is tested.
  void TearDown() override {
    if (k.Running()) {
      EXPECT_TRUE(k.Exit());
    }
  }

  // Writes both files, starts the program and shows its bar.
  void StartWith(const std::string& ini, const std::string& dat) {
    k.WriteIni(ini);
    k.WriteDat(dat);
    ASSERT_TRUE(k.Start());
    ShowBar();
  }
  // A click on the tray icon, and the bar is up.
  void ShowBar() {
    k.TrayClick();
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }));
  }

  // Starts the typing target (with `args`, e.g. "--no-log").
  void LaunchTarget(const std::string& args = {}) {
    ASSERT_TRUE(target.Start(args));
    main_ = target.main();
    edit_ = target.edit();
  }
  // Starts the typing target and makes it the window the user works in.
  void StartTarget(const std::string& args = {}) {
    LaunchTarget(args);
    FocusTarget();
  }
  // Clicks the target's caption, as a user switching back to it: the caret stays put.
  void FocusTarget() {
    ASSERT_TRUE(target.Focus()) << "foreground: " << ClassOf(GetForegroundWindow()) << " '"
                                << TextOf(GetForegroundWindow()) << "'; " << DescribeWindows(k.pid());
    Sleep(150);  // the system tells the bar of the switch: the target is known
  }

  // A left press on bar button `i`, held for `holdMs`.
  void Press(int i, int holdMs = 30) {
    POINT c = CentreOf(k.Button(i));
    MouseDown(c.x, c.y);
    Sleep(holdMs);
    MouseUp(c.x, c.y);
  }
  // The same after the pointer has rested on the button.
  void RestAndPress(int i) {
    POINT c = CentreOf(k.Button(i));
    RestAt(c.x, c.y);
    Press(i);
  }

  // A press on bar button `i` with the target in front, into an emptied target.
  void TypeFrom(int i) {
    target.Clear();
    FocusTarget();
    RestAndPress(i);
  }

  // The text of `h` (the target's Edit when not given) becomes `want` within `ms`.
  ::testing::AssertionResult TextBecomes(const std::string& want, int ms = 8000) const {
    return TextBecomes(edit_, want, ms);
  }
  static ::testing::AssertionResult TextBecomes(HWND h, const std::string& want, int ms = 8000) {
    if (WaitFor([&] { return TextOf(h) == want; }, ms)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window holds [" << TextOf(h) << "]";
  }

  // A right click on bar button `i`, then "Edit Button" from the button menu by keyboard:
  // the editor once it is in front, or null when it does not come.
  HWND OpenEditor(int i) {
    if (!ChooseFromButtonMenu(i, 3)) return nullptr;  // Undo Typing, New Button, Edit Button
    HWND ed = nullptr;
    WaitFor([&] { return (ed = FindVisibleWindowOf(k.pid(), contract::kEditorClass)) != nullptr; });
    if (ed) WaitFor([&] { return GetForegroundWindow() == ed; });
    return ed;
  }

  // A right click on bar button `i`, item `item` (counted from 0) of the button menu by
  // keyboard, and the dialog titled `title` the item opens; null when either does not come.
  HWND OpenFromButtonMenu(int i, int item, const char* title) {
    return ChooseFromButtonMenu(i, item) ? Dialog(title, 10000) : nullptr;
  }
  // A right click on bar button `i`, the pointer resting on it first, and item `item`
  // (counted from 0) of the button menu by keyboard; false when the menu does not open.
  bool ChooseFromButtonMenu(int i, int item) {
    POINT c = CentreOf(k.Button(i));
    RestAt(c.x, c.y);
    Click(c.x, c.y, true);
    if (!k.MenuOpens(10000)) return false;
    Sleep(150);
    for (int n = 0; n < item; ++n) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    return true;
  }

  // ---- the group menu and its boxes ----
  // A right click on the group list, then the item `item` of GroupMenu by keyboard.
  void GroupMenu(GroupMenuItem item) {
    ASSERT_EQ(FindVisibleWindowOf(k.pid(), "#32770"), nullptr) << DescribeWindows(k.pid());
    // Right after it is shown the bar may still be taking its place: the click goes where
    // the group list is once the system finds it under that point.
    POINT c{};
    ASSERT_TRUE(WaitFor([&] {
      c = CentreOf(k.GroupList());
      const HWND under = WindowFromPoint(c);
      return under == k.GroupList() || IsChild(k.GroupList(), under);
    })) << "the group list is not under its own centre: " << ClassOf(WindowFromPoint(c));
    RestAt(c.x, c.y);
    Click(c.x, c.y, true);
    ASSERT_TRUE(k.MenuOpens()) << "no group menu";
    Sleep(150);
    for (int i = 0; i < item; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
  }

  // Answers the input box `caption` (which must ask `prompt`) by typing `answer` over its
  // default text and clicking OK, or Cancel when `ok` is false.
  void Answer(const char* caption, const char* prompt, const std::string& answer,
              bool ok = true) {
    HWND box = Dialog(caption);
    ASSERT_NE(box, nullptr) << "no input box '" << caption << "': " << DescribeWindows(k.pid());
    EXPECT_NE(StaticTexts(box).find(prompt), std::string::npos) << StaticTexts(box);
    HWND edit = FindChild(box, "Edit");
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; }))
        << "foreground: " << ClassOf(GetForegroundWindow()) << " '"
        << TextOf(GetForegroundWindow()) << "'";
    // Select whatever the box holds, so the typing replaces it.
    PressKey(VK_END);
    INPUT shiftHome[4] = {};
    for (INPUT& in : shiftHome) in.type = INPUT_KEYBOARD;
    shiftHome[0].ki.wVk = VK_SHIFT;
    shiftHome[1].ki.wVk = VK_HOME;
    shiftHome[2].ki.wVk = VK_HOME;
    shiftHome[2].ki.dwFlags = KEYEVENTF_KEYUP;
    shiftHome[3].ki.wVk = VK_SHIFT;
    shiftHome[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, shiftHome, sizeof(INPUT));
    if (answer.empty())
      PressKey(VK_DELETE);
    else
      TypeText(answer);
    ASSERT_TRUE(WaitFor([&] { return TextOf(edit) == answer; }, 4000)) << TextOf(edit);
    ClickWindow(GetDlgItem(box, ok ? IDOK : IDCANCEL));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
  }

  // Waits for the message or question box whose text is `text` and clicks `button` in it.
  void Reply(const std::string& text, int button = IDOK) {
    HWND box = nullptr;
    bool found = WaitFor([&] {
      for (HWND b : FindWindowsOf(k.pid(), "#32770"))
        if (IsWindowVisible(b) && StaticTexts(b).find(text) != std::string::npos) box = b;
      return box != nullptr;
    });
    ASSERT_TRUE(found) << "no box saying '" << text << "': " << DescribeWindows(k.pid());
    EXPECT_EQ(TextOf(box), contract::kTitle);
    HWND b = GetDlgItem(box, button);
    ASSERT_NE(b, nullptr);
    ClickWindow(b);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
  }

  // Keys pressed together as a hand presses them: down in order, up in reverse, a moment
  // apart (Ctrl+Alt+letter, Ctrl+Alt+Space).
  static void Chord(std::initializer_list<WORD> keys) {
    auto key = [](WORD vk, DWORD flags) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wVk = vk;
      in.ki.dwFlags = flags;
      SendInput(1, &in, sizeof in);
      Sleep(20);
    };
    for (WORD vk : keys) key(vk, 0);
    Sleep(60);
    for (auto vk = std::rbegin(keys); vk != std::rend(keys); ++vk) key(*vk, KEYEVENTF_KEYUP);
  }

  // The program's visible box that says `text`, or null after `ms`.
  HWND BoxSaying(const std::string& text, int ms = 8000) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND b : FindWindowsOf(k.pid(), "#32770"))
            if (IsWindowVisible(b) && StaticTexts(b).find(text) != std::string::npos) found = b;
          return found != nullptr;
        },
        ms);
    return found;
  }

  // The program's visible dialog titled `title`, or null after `ms`.
  HWND Dialog(const char* title, int ms = 8000) const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND box : FindWindowsOf(k.pid(), "#32770"))
            if (IsWindowVisible(box) && TextOf(box) == title) found = box;
          return found != nullptr;
        },
        ms);
    return found;
  }

  // The password box that names group `group`, once it is in front, given `password` and
  // Enter.
  ::testing::AssertionResult GivePassword(const std::string& group, const std::string& password) {
    HWND box = Dialog("Group Password");
    if (!box) return ::testing::AssertionFailure() << "no password box; " << DescribeWindows(k.pid());
    if (StaticTexts(box).find(group) == std::string::npos)
      return ::testing::AssertionFailure() << "the password box says " << StaticTexts(box);
    if (!WaitFor([&] { return GetForegroundWindow() == box; }))
      return ::testing::AssertionFailure() << "the password box is not in front";
    TypeText(password);
    PressKey(VK_RETURN);
    return ::testing::AssertionSuccess();
  }

  Keystrum k;
  TypingTarget target;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
};

}  // namespace ks::e2e
