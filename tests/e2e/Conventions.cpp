// What Windows users expect of a tray tool, on the real program: "Start with Windows"
// writes the one registry value and the tick takes it away, read back with reg.exe; the
// first save of the day keeps the files as they were in backup\; a button text file cut
// short is told at start and kept beside before the first save writes over it; the editor
// turns dark and light again as the apps' theme is switched while it runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>

#include "store/backup.h"
#include "store/files_win.h"
#include "store/start_with_windows_win.h"
#include "support/fixture.h"
#include "support/harness.h"

namespace ks::e2e {
namespace {

// What `command` prints on its standard output, and its exit code.
std::pair<std::string, DWORD> RunAndRead(std::string command) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return {"", 0xFFFFFFFF};
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = write;
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
  CloseHandle(write);
  std::string out;
  DWORD code = 0xFFFFFFFF;
  if (started) {
    char buf[512];
    DWORD got = 0;
    while (ReadFile(read, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    WaitForSingleObject(pi.hProcess, 30000);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(read);
  return {out, code};
}

// The Run value as `reg query` shows it; nothing when it answers that there is none.
std::optional<std::string> RegQuery() {
  auto [out, code] = RunAndRead(std::string("reg query \"HKCU\\") + kRunKey + "\" /v " +
                                kRunValueName);
  const size_t type = out.find("REG_SZ");
  if (code != 0 || type == std::string::npos) return std::nullopt;
  size_t from = out.find_first_not_of(' ', type + 6);
  size_t to = out.find_first_of("\r\n", from);
  return from == std::string::npos ? "" : out.substr(from, to - from);
}

std::string Lower(std::string s) {
  CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

TEST(Conventions, StartWithWindowsWritesOneValueForThisExeAndTheTickRemovesIt) {
  WinRunValue run;
  ASSERT_TRUE(run.Remove());  // left by an earlier run in this prefix
  Keystrum k;
  ASSERT_TRUE(k.Start());
  const std::string mine = Lower("\"" + k.dir() + "keystrum.exe\"");
  auto holds = [&](const std::optional<std::string>& want) {
    return WaitFor([&] {
      const std::optional<std::string> now = RegQuery();
      return now.has_value() == want.has_value() && (!now || Lower(*now) == *want);
    }, 5000);
  };
  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayStartWithWindows));
  EXPECT_TRUE(holds(mine)) << RegQuery().value_or("(no value)");
  // Another copy's value shows unchecked: a click checks the item and takes the value over.
  ASSERT_TRUE(run.Write("\"C:\\Old Keystrum\\keystrum.exe\""));
  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayStartWithWindows));
  EXPECT_TRUE(holds(mine)) << RegQuery().value_or("(no value)");
  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayStartWithWindows));
  EXPECT_TRUE(holds(std::nullopt)) << RegQuery().value_or("(no value)");
  ASSERT_TRUE(k.Exit());
  run.Remove();
}

TEST(Conventions, AShortTextFileIsToldAtStartAndKeptBesideAndTheDayIsBackedUp) {
  Keystrum k;
  const std::string ini =
      "[Groups]\r\nNumGroups=1\r\nGroupName1=Mail\r\n[Commands]\r\nNumCommands=3\r\n"
      "Caption1=One\r\nCaption2=Two\r\nCaption3=Three\r\n";
  const std::string dat = "first{enter}\r\nsecond\r\n";
  k.WriteIni(ini);
  k.WriteDat(dat);
  ASSERT_TRUE(k.Start());
  HWND box = MessageBoxOf(k.pid());
  ASSERT_NE(box, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(MessageText(box).substr(0, 45), "keystrum.dat is cut short: 1 text is missing.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(k.Exit());  // the exit writes the files in the program's own form

  EXPECT_EQ(ReadFileBytes(k.DatPath() + ".short"), dat);
  EXPECT_EQ(k.Dat(), dat + "\r\n");
  const std::string today = BackupName(LocalDate(), "");
  EXPECT_EQ(FilesIn(k.dir() + "backup\\"),
            (std::set<std::string>{today + ".dat", today + ".ini"}));
  EXPECT_EQ(ReadFileBytes(k.dir() + "backup\\" + today + ".ini"), ini);
  EXPECT_EQ(ReadFileBytes(k.dir() + "backup\\" + today + ".dat"), dat);
}

// ---- dark mode ----

// Sets the apps' theme as the Settings app does: the value, then the broadcast.
bool SwitchAppsTheme(bool light) {
  const DWORD value = light ? 1 : 0;
  if (RegSetKeyValueW(HKEY_CURRENT_USER,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                      L"AppsUseLightTheme", REG_DWORD, &value, sizeof value) != ERROR_SUCCESS)
    return false;
  DWORD_PTR answer = 0;
  SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                      reinterpret_cast<LPARAM>(L"ImmersiveColorSet"), SMTO_ABORTIFHUNG, 3000,
                      &answer);
  return true;
}

// The brightest channel of the screen's pixel at `p`, -1 when it cannot be read.
int Brightness(POINT p) {
  const std::string px = ScreenPixels(RECT{p.x, p.y, p.x + 1, p.y + 1});
  if (px.size() < 3) return -1;
  int most = 0;
  for (int i = 0; i < 3; ++i) most = std::max(most, static_cast<int>(static_cast<unsigned char>(px[i])));
  return most;
}

// The editor's multi-line memo.
HWND MemoOf(HWND editor) {
  for (HWND c = GetWindow(editor, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "Edit" && (GetWindowLongW(c, GWL_STYLE) & ES_MULTILINE)) return c;
  return nullptr;
}

class ConventionsDark : public BarFixture {
 protected:
  void TearDown() override {
    SwitchAppsTheme(true);
    BarFixture::TearDown();
  }
};

TEST_F(ConventionsDark, TheBarAndTheEditorFollowTheAppsThemeWhileTheyRun) {
  ASSERT_TRUE(SwitchAppsTheme(true));
  StartWith("[Groups]\r\nNumGroups=1\r\nGroupName1=Mail\r\n[Commands]\r\nNumCommands=1\r\n"
            "Caption1=Thanks\r\nColor1=8388608\r\n",  // navy, unreadable on the dark face
            "Thank you{enter}\r\n");
  HWND ed = OpenEditor(1);
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  HWND memo = MemoOf(ed);
  ASSERT_NE(memo, nullptr);
  RECT m{};
  GetWindowRect(memo, &m);
  const POINT inMemo{m.left + 6, m.bottom - 6};  // below the one line of text
  POINT beside{2, 2};                            // the editor's own background
  ClientToScreen(ed, &beside);
  ASSERT_TRUE(WaitFor([&] { return Brightness(inMemo) > 200 && Brightness(beside) > 150; }))
      << Brightness(inMemo) << " " << Brightness(beside);

  ASSERT_TRUE(SwitchAppsTheme(false));
  EXPECT_TRUE(WaitFor([&] { return Brightness(inMemo) < 60 && Brightness(beside) < 60; }, 5000))
      << Brightness(inMemo) << " " << Brightness(beside);
  Sleep(200);
  EXPECT_TRUE(Picture("editor-dark", {ed}, 0));

  ASSERT_TRUE(SwitchAppsTheme(true));
  EXPECT_TRUE(WaitFor([&] { return Brightness(inMemo) > 200 && Brightness(beside) > 150; }, 5000))
      << Brightness(inMemo) << " " << Brightness(beside);
  PostMessageA(ed, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(ed); }));

  // The bar, with the editor out of its way: its buttons' faces go dark too.
  RECT b{};
  GetWindowRect(k.Button(1), &b);
  const POINT onFace{b.left + 4, b.top + 4};  // beside the caption
  EXPECT_GT(Brightness(onFace), 150);
  ASSERT_TRUE(SwitchAppsTheme(false));
  EXPECT_TRUE(WaitFor([&] { return Brightness(onFace) < 80; }, 5000)) << Brightness(onFace);
  EXPECT_TRUE(Picture("bar-dark", {k.Bar()}, 0));
}

TEST_F(ConventionsDark, TheInputBoxOpensDarkWhenTheAppsAre) {
  ASSERT_TRUE(SwitchAppsTheme(false));
  StartWith("[Groups]\r\nNumGroups=1\r\nGroupName1=Mail\r\n[Commands]\r\nNumCommands=1\r\n"
            "Caption1=Thanks\r\n",
            "Thank you{enter}\r\n");
  HWND ask = OpenFromButtonMenu(1, 8, "Button Width");
  ASSERT_NE(ask, nullptr) << DescribeWindows(k.pid());
  HWND edit = FindChild(ask, "Edit");
  ASSERT_NE(edit, nullptr);
  RECT e{};
  GetWindowRect(edit, &e);
  const POINT inEdit{e.right - 6, e.bottom - 4};  // right of the number
  POINT beside{2, 2};
  ClientToScreen(ask, &beside);
  EXPECT_TRUE(WaitFor([&] { return Brightness(inEdit) < 60 && Brightness(beside) < 60; }, 5000))
      << Brightness(inEdit) << " " << Brightness(beside);
  PostMessageA(ask, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
}  // namespace ks::e2e
