// The editor, the list picker and the standard dialogs, each opened by windows_demo.exe
// and driven from outside with real mouse and keyboard input.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "editor/editor_window_win.h"
#include "support/harness.h"
#include "typing/list_win.h"
#include "win/dialogs.h"

namespace {

using ks::e2e::PressKey;
using ks::e2e::TypeText;
using ks::editor::EditorWindow;

std::string OwnDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

bool WaitUntil(const std::function<bool()>& cond, int ms = 10000) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (cond()) return true;
    Sleep(20);
  }
  return cond();
}

std::string TextOf(HWND h) {
  char buf[4096] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf),
                           SMTO_ABORTIFHUNG, 5000, &n))
    return {};
  return std::string(buf, n);
}

std::wstring WideTextOf(HWND h) {
  wchar_t buf[4096] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                           5000, &n))
    return {};
  return std::wstring(buf, n);
}

std::string ClassOf(HWND h) {
  char c[256] = {};
  GetClassNameA(h, c, sizeof c);
  return c;
}

// Every mouse event carries its own absolute position: under Wine a button event sent
// right after SetCursorPos may still be delivered at the pointer's previous place.
void MouseAt(POINT p, DWORD buttonFlags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  SendInput(1, &in, sizeof in);
}

void MoveTo(POINT p) {
  SetCursorPos(p.x, p.y);
  MouseAt(p, 0);
  WaitUntil(
      [&] {
        POINT now{};
        GetCursorPos(&now);
        return now.x == p.x && now.y == p.y;
      },
      1000);
  Sleep(50);
}

void ClickAt(POINT p) {
  MoveTo(p);
  MouseAt(p, MOUSEEVENTF_LEFTDOWN);
  Sleep(30);
  MouseAt(p, MOUSEEVENTF_LEFTUP);
}

void DoubleClickAt(POINT p) {
  MoveTo(p);
  for (int i = 0; i < 2; ++i) {
    MouseAt(p, MOUSEEVENTF_LEFTDOWN);
    Sleep(20);
    MouseAt(p, MOUSEEVENTF_LEFTUP);
    Sleep(20);
  }
}

POINT CentreOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The window that has the keyboard focus in another process's thread.
HWND FocusOf(HWND topLevel) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(topLevel, nullptr), &gti)) return nullptr;
  return gti.hwndFocus;
}

// One run of windows_demo.exe, answering into a file of its own.
class Demo {
 public:
  explicit Demo(const std::vector<std::string>& args) {
    static std::atomic<int> counter{0};
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    out_.append(tmp).append("ks_windows_").append(std::to_string(GetCurrentProcessId()));
    out_.append("_").append(std::to_string(counter++)).append(".txt");
    DeleteFileA(out_.c_str());
    std::string cmd;
    cmd.append("\"").append(OwnDir()).append("windows_demo.exe\" --out \"").append(out_);
    cmd.append("\"");
    for (const std::string& a : args) cmd.append(" \"").append(a).append("\"");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &pi_);
  }
  ~Demo() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    DeleteFileA(out_.c_str());
  }
  Demo(const Demo&) = delete;
  Demo& operator=(const Demo&) = delete;

  bool started() const { return started_; }
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

  // The first visible top-level window of the demo with class `cls`.
  HWND Window(const char* cls) const {
    struct S {
      DWORD pid;
      const char* cls;
      HWND found;
    } s{pi_.dwProcessId, cls, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<S*>(lp);
          DWORD pid = 0;
          GetWindowThreadProcessId(h, &pid);
          if (pid != s->pid || !IsWindowVisible(h) || ClassOf(h) != s->cls) return TRUE;
          s->found = h;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
  }

  // Null when the demo did not start.
  HWND WaitWindow(const char* cls) const {
    if (!started_) return nullptr;
    HWND h = nullptr;
    WaitUntil([&] { return (h = Window(cls)) != nullptr; });
    // Typing only reaches it once it is the foreground window.
    if (h) WaitUntil([&] { return GetForegroundWindow() == h; }, 5000);
    return h;
  }

  // What the demo answered, once it has ended.
  std::string Result() const {
    if (WaitForSingleObject(pi_.hProcess, 15000) != WAIT_OBJECT_0) return "<still running>";
    HANDLE f = CreateFileA(out_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<no answer>";
    char buf[4096];
    DWORD n = 0;
    std::string s;
    while (ReadFile(f, buf, sizeof buf, &n, nullptr) && n > 0) s.append(buf, n);
    CloseHandle(f);
    return s;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  std::string out_;
};

void CloseBox(HWND h) { PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }

// A moment later the demo still runs and `form` is still shown: nothing ended it.
::testing::AssertionResult StillOpen(Demo& d, HWND form) {
  Sleep(300);
  if (!d.Running()) return ::testing::AssertionFailure() << "the demo ended";
  if (!IsWindowVisible(form)) return ::testing::AssertionFailure() << "the window is hidden";
  return ::testing::AssertionSuccess();
}

RECT ClientRectOf(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return r;
}

// A child's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// ---- the button editor ----

TEST(WindowsEditor, OpensWithTheFieldsAndDoneReturnsThemWithTheTypedName) {
  Demo d({"editor", "Edit button", "Hello", "A hint", "abc{enter}", "255", "3"});
  HWND form = d.WaitWindow(ks::contract::kEditorClass);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TextOf(form), "Edit button");
  EXPECT_TRUE(GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOPMOST);

  HWND name = GetDlgItem(form, EditorWindow::kButtonNameId);
  HWND hint = GetDlgItem(form, EditorWindow::kButtonHintId);
  HWND memo = GetDlgItem(form, EditorWindow::kMemoId);
  HWND keys = GetDlgItem(form, EditorWindow::kKeyListId);
  ASSERT_TRUE(name && hint && memo && keys);
  EXPECT_EQ(ClassOf(name), "Edit");
  EXPECT_EQ(TextOf(name), "Hello");
  EXPECT_EQ(TextOf(hint), "A hint");
  EXPECT_EQ(TextOf(memo), "abc{enter}\r\n");
  EXPECT_EQ(TextOf(GetDlgItem(form, EditorWindow::kDoneButtonId)), "Done");
  EXPECT_EQ(TextOf(GetDlgItem(form, EditorWindow::kRecordButtonId)), "Record");
  EXPECT_EQ(TextOf(GetDlgItem(form, EditorWindow::kColorButtonId)), "Color");
  EXPECT_TRUE(IsWindowVisible(keys));
  EXPECT_EQ(TextOf(GetDlgItem(form, EditorWindow::kShortcutLabelId)), "Shortcut:");
  EXPECT_EQ(TextOf(GetDlgItem(form, EditorWindow::kAbbreviationLabelId)), "Abbreviation:");
  EXPECT_EQ(SendMessageA(GetDlgItem(form, EditorWindow::kAbbreviationId), EM_GETLIMITTEXT, 0, 0), 31);
  EXPECT_EQ(SendMessageA(keys, CB_GETCOUNT, 0, 0), EditorWindow::kShortcutCount);
  EXPECT_EQ(SendMessageA(keys, CB_GETCURSEL, 0, 0), 3);
  // Editing an existing button starts in its text.
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(form) == memo; }, 3000));

  ClickAt(CentreOf(name));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(form) == name; }, 3000));
  PressKey(VK_END);
  TypeText("xy");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == "Helloxy"; }, 5000)) << TextOf(name);
  ClickAt(CentreOf(GetDlgItem(form, EditorWindow::kDoneButtonId)));
  EXPECT_EQ(d.Result(),
            "OK\nCaption=Helloxy\nDescription=A hint\nString=abc{enter}\nColor=255\n"
            "Shortcut=3\n");
}

TEST(WindowsEditor, CloseBoxAfterChangesReturnsNothing) {
  Demo d({"editor", "Create new button", "", "", "", "0", "0"});
  HWND form = d.WaitWindow(ks::contract::kEditorClass);
  ASSERT_NE(form, nullptr);
  HWND name = GetDlgItem(form, EditorWindow::kButtonNameId);
  // A new button starts in its name.
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(form) == name; }, 3000));
  TypeText("gone");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == "gone"; }, 5000));
  // Enter and Escape do not end the editor: only Done confirms.
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(StillOpen(d, form));
  CloseBox(form);
  EXPECT_EQ(d.Result(), "NONE\n");
}

TEST(WindowsEditor, ResizingKeepsColorFlushRightAndStopsAtTheMinimum) {
  Demo d({"editor", "Edit button"});
  HWND form = d.WaitWindow(ks::contract::kEditorClass);
  ASSERT_NE(form, nullptr);
  HWND name = GetDlgItem(form, EditorWindow::kButtonNameId);
  HWND hint = GetDlgItem(form, EditorWindow::kButtonHintId);
  HWND color = GetDlgItem(form, EditorWindow::kColorButtonId);
  HWND memo = GetDlgItem(form, EditorWindow::kMemoId);
  HWND done = GetDlgItem(form, EditorWindow::kDoneButtonId);

  RECT w{};
  GetWindowRect(form, &w);
  const int width = w.right - w.left, height = w.bottom - w.top;
  const RECT memoBefore = RectInParent(memo);
  const int nameBefore = RectInParent(name).right - RectInParent(name).left;

  SetWindowPos(form, nullptr, 0, 0, width - 50, height + 40, SWP_NOMOVE | SWP_NOZORDER);
  RECT client = ClientRectOf(form);
  RECT n = RectInParent(name), h = RectInParent(hint), c = RectInParent(color);
  RECT m = RectInParent(memo), dn = RectInParent(done);
  EXPECT_EQ(c.right, client.right);
  EXPECT_EQ(n.right - n.left, nameBefore - 50);
  // The hint reaches the right edge; the abbreviation leaves room for the shortcut's label.
  EXPECT_EQ(h.right, client.right);
  const RECT ab = RectInParent(GetDlgItem(form, EditorWindow::kAbbreviationId));
  EXPECT_EQ(ab.right - ab.left, nameBefore - 50 - ks::editor::EditorDesignSizes{}.ShortcutLabelWidth -
                                    (ks::editor::EditorDesignSizes{}.KeyListWidth -
                                     ks::editor::EditorDesignSizes{}.ColorWidth));
  EXPECT_EQ(m.top, memoBefore.top);
  EXPECT_EQ(m.bottom - m.top, memoBefore.bottom - memoBefore.top + 40);
  EXPECT_EQ(dn.bottom, client.bottom);
  EXPECT_EQ(dn.right, client.right);

  // Far too small: the window keeps a size at which nothing collapses.
  SetWindowPos(form, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER);
  client = ClientRectOf(form);
  EXPECT_GE(client.right, ks::editor::EditorMinClientWidth());
  EXPECT_GE(client.bottom, ks::editor::EditorMinClientHeight());
  n = RectInParent(name);
  EXPECT_GT(n.right - n.left, 0);
  h = RectInParent(hint);
  EXPECT_GT(h.right - h.left, 0);
  m = RectInParent(memo);
  EXPECT_GT(m.bottom - m.top, 0);
  CloseBox(form);
  EXPECT_EQ(d.Result(), "NONE\n");
}

TEST(WindowsEditor, MemoHandlersSeeWholeCharactersOfAnyScriptAndMayChangeOrSwallowThem) {
  Demo d({"editor-keys", "Edit button", "n", "h", "x", "0", "0"});
  HWND form = d.WaitWindow(ks::contract::kEditorClass);
  ASSERT_NE(form, nullptr);
  HWND memo = GetDlgItem(form, EditorWindow::kMemoId);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(form) == memo; }, 3000));
  EXPECT_TRUE(IsWindowUnicode(memo));
  // As a Unicode window gets them from any keyboard or input method: the euro sign, an
  // emoji in its two halves, the swallowed "#" and the "a" the handler makes "A".
  for (WPARAM ch : {WPARAM{0x20AC}, WPARAM{0xD83D}, WPARAM{0xDE00}, WPARAM{'#'}, WPARAM{'a'}})
    PostMessageW(memo, WM_CHAR, ch, 1);
  ASSERT_TRUE(WaitUntil([&] { return WideTextOf(memo) == L"\u20AC\U0001F600Ax"; }, 5000))
      << TextOf(memo);
  TypeText("b");
  ASSERT_TRUE(WaitUntil([&] { return WideTextOf(memo) == L"\u20AC\U0001F600Abx"; }, 5000))
      << TextOf(memo);
  HWND record = GetDlgItem(form, EditorWindow::kRecordButtonId);
  ClickAt(CentreOf(record));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(record) == "Stop"; }, 3000));
  ClickAt(CentreOf(GetDlgItem(form, EditorWindow::kDoneButtonId)));
  std::string r = d.Result();
  // The field handed back is UTF-8, as every text of the store.
  EXPECT_NE(r.find("String=\xE2\x82\xAC\xF0\x9F\x98\x80" "Abx\n"), std::string::npos) << r;
  // The text given at the start ran the change handler before any key; the emoji came to
  // the handler once, whole; the end of the showing deactivated the editor exactly once.
  EXPECT_NE(r.find("Keys=C P8364 C P128512 C P35 P97 C D66 P98 C U66 R X \n"), std::string::npos)
      << r;
}

TEST(WindowsEditor, ColourDialogCancelKeepsTheColourAndOkTakesTheNewOne) {
  Demo d({"editor", "Edit button", "n", "h", "t", "255", "0"});
  HWND form = d.WaitWindow(ks::contract::kEditorClass);
  ASSERT_NE(form, nullptr);
  HWND colorButton = GetDlgItem(form, EditorWindow::kColorButtonId);

  ClickAt(CentreOf(colorButton));
  HWND dlg = d.WaitWindow("#32770");
  ASSERT_NE(dlg, nullptr);
  ClickAt(CentreOf(GetDlgItem(dlg, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));

  ClickAt(CentreOf(colorButton));
  dlg = d.WaitWindow("#32770");
  ASSERT_NE(dlg, nullptr);
  // The red, green and blue boxes of the full dialog; the preset is the button's red.
  constexpr int kRed = 706, kGreen = 707, kBlue = 708;
  EXPECT_EQ(TextOf(GetDlgItem(dlg, kRed)), "255");
  EXPECT_EQ(TextOf(GetDlgItem(dlg, kGreen)), "0");
  for (auto [id, value] : {std::pair{kRed, "0"}, std::pair{kGreen, "128"}, std::pair{kBlue, "0"}}) {
    HWND edit = GetDlgItem(dlg, id);
    ClickAt(CentreOf(edit));
    SendMessageA(edit, EM_SETSEL, 0, -1);
    TypeText(value);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == value; }, 5000)) << TextOf(edit);
  }
  ClickAt(CentreOf(GetDlgItem(dlg, IDOK)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
  ClickAt(CentreOf(GetDlgItem(form, EditorWindow::kDoneButtonId)));
  EXPECT_EQ(d.Result(), "OK\nCaption=n\nDescription=h\nString=t\nColor=32768\nShortcut=0\n");
}

// ---- the list picker ----

POINT EntryCentre(HWND list, int index) {
  RECT r = ClientRectOf(list);
  POINT p{r.right / 2, index * ks::typing::ListPickerWindow::kItemHeight +
                           ks::typing::ListPickerWindow::kItemHeight / 2};
  ClientToScreen(list, &p);
  return p;
}

TEST(WindowsListPicker, DoubleClickOnTheSecondEntryPicksIt) {
  Demo d({"list", "Monday,Tuesday,Friday"});
  HWND form = d.WaitWindow(ks::contract::kListClass);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TextOf(form), "Select");
  // Activation puts it into the topmost band, above the topmost bar.
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; },
                        3000));
  EXPECT_TRUE(GetWindowLongPtrA(form, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_NE(GetWindow(form, GW_OWNER), nullptr);
  HWND list = GetDlgItem(form, ks::typing::ListPickerWindow::kListId);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ClassOf(list), "ListBox");
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 16);
  // The list fills the client area.
  RECT lr = RectInParent(list), cr = ClientRectOf(form);
  EXPECT_TRUE(EqualRect(&lr, &cr));
  DoubleClickAt(EntryCentre(list, 1));
  EXPECT_EQ(d.Result(), "OK\nSelection=Tuesday\n");
}

TEST(WindowsListPicker, EnterAndEmptyDoubleClickDoNothingAndCloseBoxPicksNothing) {
  Demo d({"list", "a,,b"});
  HWND form = d.WaitWindow(ks::contract::kListClass);
  ASSERT_NE(form, nullptr);
  HWND list = GetDlgItem(form, ks::typing::ListPickerWindow::kListId);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);

  ClickAt(EntryCentre(list, 0));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, 3000));
  PressKey(VK_RETURN);
  EXPECT_TRUE(StillOpen(d, form));

  // A double-click notice while nothing is selected picks nothing.
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  PostMessageA(form, WM_COMMAND, MAKEWPARAM(ks::typing::ListPickerWindow::kListId, LBN_DBLCLK),
               reinterpret_cast<LPARAM>(list));
  EXPECT_TRUE(StillOpen(d, form));

  CloseBox(form);
  EXPECT_EQ(d.Result(), "NONE\n");
}

TEST(WindowsListPicker, EmptyEntryCanBePicked) {
  Demo d({"list", "a,,b"});
  HWND form = d.WaitWindow(ks::contract::kListClass);
  ASSERT_NE(form, nullptr);
  HWND list = GetDlgItem(form, ks::typing::ListPickerWindow::kListId);
  DoubleClickAt(EntryCentre(list, 1));
  EXPECT_EQ(d.Result(), "OK\nSelection=\n");
}

// ---- input box and questions ----

TEST(WindowsInputBox, OkReturnsTheTypedText) {
  Demo d({"input", "Create new Group", "What would you like to name the new Group?", ""});
  ASSERT_TRUE(d.started());
  HWND box = d.WaitWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), "Create new Group");
  EXPECT_EQ(TextOf(GetDlgItem(box, ks::win::kInputPromptId)),
            "What would you like to name the new Group?");
  HWND edit = GetDlgItem(box, ks::win::kInputEditId);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(ClassOf(edit), "Edit");
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255);
  EXPECT_EQ(TextOf(GetDlgItem(box, IDOK)), "OK");
  EXPECT_EQ(TextOf(GetDlgItem(box, IDCANCEL)), "Cancel");
  EXPECT_TRUE(GetWindowLongPtrA(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
  TypeText("Team 2");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == "Team 2"; }, 5000)) << TextOf(edit);
  ClickAt(CentreOf(GetDlgItem(box, IDOK)));
  EXPECT_EQ(d.Result(), "OK\nAnswer=Team 2\n");
}

// A preselected default goes when the user types; without preselection the caret follows
// it. Enter is OK, the default button; Cancel answers nothing.
TEST(WindowsInputBox, TypingReplacesOnlyAPreselectedDefault) {
  struct Case {
    std::vector<std::string> args;
    const char* shown;
    const char* typed;
    const char* then;
    bool cancel;
    const char* result;
  };
  const Case cases[] = {
      {{"input", "Button Width", "How wide would you like the buttons to be?", "88", "preselect"},
       "88", "120", "120", false, "OK\nAnswer=120\n"},
      {{"input", "Rename Group", "What would you like to rename the Group to?", "Default"},
       "Default", "X", "DefaultX", true, "NONE\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    Demo d(c.args);
    ASSERT_TRUE(d.started());
    HWND box = d.WaitWindow("#32770");
    ASSERT_NE(box, nullptr);
    HWND edit = GetDlgItem(box, ks::win::kInputEditId);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == c.shown; }, 3000));
    TypeText(c.typed);
    ASSERT_TRUE(WaitUntil([&] { return TextOf(edit) == c.then; }, 5000)) << TextOf(edit);
    if (c.cancel)
      ClickAt(CentreOf(GetDlgItem(box, IDCANCEL)));
    else
      PressKey(VK_RETURN);
    EXPECT_EQ(d.Result(), c.result);
  }
}

TEST(WindowsInputBox, ConfirmIsYesOnlyForYes) {
  for (bool yes : {true, false}) {
    Demo d({"confirm", "Are you sure you want to delete the Example button?", "Confirm"});
    ASSERT_TRUE(d.started());
    HWND box = d.WaitWindow("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Confirm");
    HWND button = GetDlgItem(box, yes ? IDYES : IDNO);
    ASSERT_NE(button, nullptr);
    ClickAt(CentreOf(button));
    EXPECT_EQ(d.Result(), yes ? "OK\n" : "NONE\n");
  }
}

TEST(WindowsInputBox, MessageIsTitledWithTheProgramName) {
  Demo d({"message", "Invalid Password."});
  ASSERT_TRUE(d.started());
  HWND box = d.WaitWindow("#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(TextOf(box), ks::contract::kTitle);
  ClickAt(CentreOf(GetDlgItem(box, IDOK)));
  EXPECT_EQ(d.Result(), "OK\n");
}

}  // namespace
