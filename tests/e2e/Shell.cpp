// The program's shell as a user meets it: start, tray icon, bar, second copy, exit.
#include <gtest/gtest.h>

#include "support/harness.h"

namespace ks::e2e {
namespace {

TEST(Shell, StartsHiddenWithOnlyTheTrayIconAndShowsTheBarOnClick) {
  Keystrum k;
  ASSERT_TRUE(k.Start());
  HWND bar = k.Bar();
  ASSERT_NE(bar, nullptr);
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_FALSE(IsWindowVisible(k.TrayForm()));
  EXPECT_EQ(TextOf(bar), contract::kTitle);
  // Off the taskbar: every top-level window of the program is a tool window or owned.
  for (const char* cls : {contract::kApplicationClass, contract::kBarClass}) {
    HWND w = FindWindowOf(k.pid(), cls);
    ASSERT_NE(w, nullptr) << cls;
    EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << cls;
  }

  k.TrayClick();
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(bar) != FALSE; }));
  EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The default store: the group list above the one "Example" button, one cell wide.
  SIZE c = k.BarClient();
  EXPECT_EQ(c.cx, 100);
  EXPECT_EQ(c.cy, 48);
  HWND b1 = k.Button(1);
  ASSERT_NE(b1, nullptr);
  EXPECT_EQ(TextOf(b1), "Example");
  EXPECT_TRUE(IsWindowVisible(b1));
  EXPECT_FALSE(IsWindowVisible(k.Button(2)));
  EXPECT_EQ(TextOf(k.GroupList()), "Default");
  ASSERT_TRUE(k.Exit());
}

TEST(Shell, SecondCopyShowsTheMessageAndLeavesTheFirstAlone) {
  Keystrum k;
  ASSERT_TRUE(k.Start());
  HANDLE second = k.StartAnother();
  ASSERT_NE(second, nullptr);
  DWORD secondPid = GetProcessId(second);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindVisibleWindowOf(secondPid, "#32770")) != nullptr; }));
  EXPECT_EQ(TextOf(box), contract::kTitle);
  HWND text = FindChild(box, "Static", "Keystrum is already loaded.\nPlease click on the keyboard\nicon in the taskbar tray.");
  EXPECT_NE(text, nullptr);
  EXPECT_EQ(FindWindowOf(secondPid, contract::kTrayIconClass), nullptr);
  EXPECT_EQ(FindWindowOf(secondPid, contract::kBarClass), nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(WaitForSingleObject(second, 15000), WAIT_OBJECT_0);
  CloseHandle(second);
  EXPECT_TRUE(k.Running());
  EXPECT_NE(k.Bar(), nullptr);
  ASSERT_TRUE(k.Exit());
}

TEST(Shell, TheEndOfTheWindowsSessionSavesBeforeTheProcessIsEnded) {
  Keystrum k;
  ASSERT_TRUE(k.Start());
  EXPECT_FALSE(FileExists(k.IniPath()));
  // What Windows sends at log-off, before it ends the process without a normal exit.
  DWORD_PTR r = 0;
  SendMessageTimeoutA(k.TrayForm(), WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 10000, &r);
  SendMessageTimeoutA(k.TrayForm(), WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 10000, &r);
  k.Kill();
  EXPECT_NE(k.Ini().find("GroupName1=Default"), std::string::npos) << k.Ini();
  EXPECT_EQ(k.Dat(), "This is an example button{enter}\r\n");
}

TEST(Shell, ReadHelpFileOpensTheOldHelpFileBesideTheExeElseTheGuideElseSaysSo) {
  DocumentViewer viewer({"html", "hlp"});
  ASSERT_TRUE(viewer.registered());
  Keystrum k;
  ASSERT_TRUE(k.Start());
  // With no message left open, "Read Help File" from the tray icon's menu.
  auto readHelp = [&] {
    return FindVisibleWindowOf(k.pid(), "#32770") == nullptr &&
           k.TrayMenu(Keystrum::kTrayReadHelp);
  };

  ASSERT_TRUE(readHelp());
  HWND box = MessageBoxOf(k.pid());
  ASSERT_NE(box, nullptr) << "no message without a help file";
  EXPECT_EQ(MessageText(box), "Unable to open the Keystrum help file.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  ASSERT_TRUE(WriteFileBytes(k.dir() + "keystrum.html", "<p>The guide</p>"));
  ASSERT_TRUE(readHelp());
  EXPECT_NE(viewer.Showing(k.dir() + "keystrum.html"), nullptr);
  viewer.CloseAll();

  ASSERT_TRUE(WriteFileBytes(k.dir() + "keystrum.hlp", "old help"));
  ASSERT_TRUE(readHelp());
  EXPECT_NE(viewer.Showing(k.dir() + "keystrum.hlp"), nullptr);
  viewer.CloseAll();
  EXPECT_EQ(FindVisibleWindowOf(k.pid(), "#32770"), nullptr);
  ASSERT_TRUE(k.Exit());
}

}  // namespace
}  // namespace ks::e2e
