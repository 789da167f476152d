// Keystroke recording as a user does it: the editor opened from the button menu, Record
// pressed, keys typed into another program, Stop or Done pressed; what the memo holds, what
// the button then types and what reaches the button text file.
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "contract.h"
#include "editor/editor_win.h"
#include "support/fixture.h"

namespace ks::e2e {
namespace {

const char* kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
    "[TypeWindow]\r\nXPosition=560\r\nYPosition=420\r\nWidth=400\r\nHeight=230\r\n"
    "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Work\r\n"
    "[Commands]\r\nNumCommands=2\r\nColumns=1\r\nCaption1=Rec\r\nCaption2=Other\r\n";
const char* kDat = "\r\nother\r\n";

constexpr int kMemoId = 103, kDoneId = 104, kRecordId = 105;

// One key event from "the user": no mark, so the recorder takes it.
void Key(WORD vk, bool up, ULONG_PTR extra = 0) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  in.ki.dwExtraInfo = extra;
  SendInput(1, &in, sizeof in);
  Sleep(15);
}
void Tap(WORD vk, ULONG_PTR extra = 0) {
  Key(vk, false, extra);
  Key(vk, true, extra);
}
void ShiftTap(WORD vk) {
  Key(VK_SHIFT, false);
  Tap(vk);
  Key(VK_SHIFT, true);
}

class RecordTest : public BarFixture {
 protected:
  void SetUp() override {
    StartWith(kIni, kDat);
    StartTarget();
  }

  static void ClickAt(HWND h, bool right = false) {
    RECT r{};
    GetWindowRect(h, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    RestAt(x, y);
    Click(x, y, right);
  }

  // Button `i` types `typed` into the emptied target, and at exit the button text file
  // holds `dat`.
  void TypesAndStores(int i, const std::string& typed, const std::string& dat) {
    TypeFrom(i);
    EXPECT_TRUE(TextBecomes(edit_, typed));
    ASSERT_TRUE(k.Exit());
    EXPECT_EQ(k.Dat(), dat);
  }

};

TEST_F(RecordTest, KeysTypedInAnotherProgramLandInTheMemoAsTextAndCodes) {
  HWND ed = OpenEditor(1);
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  ASSERT_EQ(TextOf(ed), "Edit button");
  HWND memo = GetDlgItem(ed, kMemoId);
  HWND record = GetDlgItem(ed, kRecordId);
  ASSERT_NE(memo, nullptr);
  // The memo has the focus: what the user types there first stays in front.
  TypeText("Go ");
  ASSERT_TRUE(TextBecomes(memo, "Go "));

  ClickAt(record);
  ASSERT_TRUE(WaitFor([&] { return TextOf(ed) == "Edit button [Recording]"; })) << TextOf(ed);
  EXPECT_EQ(TextOf(record), "Stop");
  EXPECT_FALSE(IsWindowEnabled(memo));

  // Switching to another program keeps the recording going.
  FocusTarget();
  EXPECT_TRUE(IsWindowVisible(ed));
  EXPECT_EQ(TextOf(ed), "Edit button [Recording]");
  ShiftTap('H');
  Tap('I');
  ShiftTap('1');
  Tap(VK_TAB);
  EXPECT_TRUE(TextBecomes(memo, "Go Hi!{tab}"));
  EXPECT_TRUE(TextBecomes(edit_, "Hi!\t"));  // the keys still reach the program typed into

  ClickAt(record);
  ASSERT_TRUE(WaitFor([&] { return TextOf(ed) == "Edit button"; })) << TextOf(ed);
  EXPECT_EQ(TextOf(record), "Record");
  EXPECT_TRUE(IsWindowEnabled(memo));
  EXPECT_EQ(TextOf(memo), "Go Hi!{tab}");

  // Stopped: keys typed elsewhere are no longer written down.
  target.Clear();
  FocusTarget();
  Tap('Q');
  ASSERT_TRUE(TextBecomes(edit_, "q"));
  Sleep(200);
  EXPECT_EQ(TextOf(memo), "Go Hi!{tab}");
  EXPECT_TRUE(IsWindowVisible(ed));

  ClickAt(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(ed); }));

  // The button types what was recorded.
  TypesAndStores(1, "Go Hi!\t", "Go Hi!{tab}\r\nother\r\n");
}

TEST_F(RecordTest, DoneWhileRecordingStopsAndStoresAndEscapeElsewhereKeepsTheEditorOpen) {
  HWND ed = OpenEditor(2);
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  HWND memo = GetDlgItem(ed, kMemoId);
  HWND record = GetDlgItem(ed, kRecordId);
  ASSERT_EQ(TextOf(memo), "other");
  // A key typed in the memo first: the editor then treats the memo as its dialog's edit.
  PressKey(VK_END);
  TypeText(".");
  ASSERT_TRUE(TextBecomes(memo, "other."));

  ClickAt(record);
  ASSERT_TRUE(WaitFor([&] { return TextOf(ed) == "Edit button [Recording]"; })) << TextOf(ed);
  FocusTarget();

  // Keys that carry Keystrum's own mark are typed but never recorded.
  Tap('Z', contract::kInjectTag);
  Tap('X');
  ASSERT_TRUE(TextBecomes(edit_, "zx"));
  EXPECT_TRUE(TextBecomes(memo, "other.x"));

  // Escape in the other program is the user's, not the editor's.
  Tap(VK_ESCAPE);
  Sleep(400);
  EXPECT_TRUE(IsWindowVisible(ed)) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(ed), "Edit button [Recording]");
  Tap(VK_RETURN);
  EXPECT_TRUE(TextBecomes(memo, "other.x{enter}\r\n"));

  // Done while recording: the hook stops, the caption and the button come back, and the
  // recorded text is stored.
  ClickAt(GetDlgItem(ed, kDoneId));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(ed); })) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(ed), "Edit button");
  EXPECT_EQ(TextOf(record), "Record");
  EXPECT_TRUE(IsWindowEnabled(memo));
  FocusTarget();
  Tap('W');
  ASSERT_TRUE(TextBecomes(edit_, "zx\r\nw"));
  Sleep(200);
  EXPECT_EQ(TextOf(memo), "other.x{enter}\r\n");

  TypesAndStores(2, "other.x\r\n", "\r\nother.x{enter}\r\n");
}

TEST_F(RecordTest, WhatIsRecordedIsExactlyWhatTheOtherProgramReceived) {
  HWND ed = OpenEditor(2);
  ASSERT_NE(ed, nullptr) << DescribeWindows(k.pid());
  HWND memo = GetDlgItem(ed, kMemoId);
  SetWindowTextA(memo, "");
  ClickAt(GetDlgItem(ed, kRecordId));
  ASSERT_TRUE(WaitFor([&] { return TextOf(ed) == "Edit button [Recording]"; })) << TextOf(ed);
  FocusTarget();
  // a, Caps Lock, b, Shift+c, Shift+1, Shift+;, Caps Lock, d
  Tap('A');
  Tap(VK_CAPITAL);
  Tap('B');
  ShiftTap('C');
  ShiftTap('1');
  ShiftTap(VK_OEM_1);
  Tap(VK_CAPITAL);
  Tap('D');
  ASSERT_TRUE(TextBecomes(edit_, "aBc!:d"));
  EXPECT_TRUE(TextBecomes(memo, TextOf(edit_)));
  // Characters of other scripts as an input method or an on-screen keyboard sends them:
  // a sigma, an e-acute, a check mark and an emoji (two halves that arrive apart).
  const std::string sent = "aBc!:d\xCE\xA3\xC3\xA9\xE2\x9C\x93\xF0\x9F\x98\x80";
  TypeUnicode("\xCE\xA3\xC3\xA9\xE2\x9C\x93\xF0\x9F\x98\x80");
  ASSERT_TRUE(WaitFor([&] { return Utf8TextOf(edit_) == sent; })) << Utf8TextOf(edit_);
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(memo) == sent; })) << Utf8TextOf(memo);
  ClickAt(GetDlgItem(ed, kRecordId));
  ASSERT_TRUE(WaitFor([&] { return TextOf(ed) == "Edit button"; })) << TextOf(ed);
}

// At exit the editor window is destroyed after the wiring that recorded into it: its
// destruction must not call into the wiring, whose memory may hold anything by then.
TEST(RecordWiring, TheEditorWindowOutlivesItsWiringWithoutCallingIntoIt) {
  editor::EditorWindow form;
  ASSERT_TRUE(form.Create(nullptr, nullptr));
  SetWindowTextA(form.hwnd(), "Edit button");
  editor::KeyHookLibrary hook(ExeDir());
  ASSERT_TRUE(hook.Available()) << hook.Path();
  alignas(editor::ButtonEditor) unsigned char room[sizeof(editor::ButtonEditor)];
  auto* wiring = new (room) editor::ButtonEditor(form, hook);
  wiring->ToggleRecording();
  ASSERT_TRUE(wiring->Recording());
  wiring->~ButtonEditor();
  // The recording ended with its wiring: caption and memo are back.
  EXPECT_EQ(TextOf(form.hwnd()), "Edit button");
  EXPECT_TRUE(IsWindowEnabled(form.memo()));
  std::memset(room, 0xFF, sizeof room);
  DestroyWindow(form.hwnd());
  EXPECT_FALSE(IsWindow(form.hwnd()));
}

}  // namespace
}  // namespace ks::e2e
