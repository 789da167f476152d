// The codes that do more than type characters, pressed on the bar of the real program into
// the typing target: a combination that replaces the target's text, the caret left where
// {cursor} stands, a wait between two characters, the clipboard typed and left as it was,
// and the question of {input} answered and cancelled.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::string Ini() {
  return "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
         "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Codes\r\n"
         "[Commands]\r\nNumCommands=5\r\nColumns=1\r\n"
         "Caption1=Replace\r\nCaption2=Cursor\r\nCaption3=Wait\r\nCaption4=Clipboard\r\n"
         "Caption5=Dear\r\n";
}
std::string Dat() {
  return "{ctrl+a}{del}New text\r\n({cursor})\r\na{wait 300}b\r\n[{clipboard}]\r\n"
         "Dear {input Name,Sir}, {input Name}!\r\n";
}

// The clipboard's Unicode text, as UTF-8; nothing when it holds none.
std::optional<std::string> ClipboardText() {
  if (!OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Utf8(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

class TypingCodesTest : public BarFixture {
 protected:
  void SetUp() override {
    StartWith(Ini(), Dat());
    StartTarget("--no-log");
  }

  // The question window once it is up and in front, or null.
  HWND Question() const {
    HWND q = nullptr;
    WaitFor([&] {
      q = FindVisibleWindowOf(k.pid(), contract::kInputClass);
      return q && GetForegroundWindow() == q;
    });
    return q;
  }
};

TEST_F(TypingCodesTest, ACombinationReplacesTheTextAndTheCaretStaysAtTheCursorCodeTillUndo) {
  SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"old text, all of it"));
  ASSERT_TRUE(TextBecomes("old text, all of it"));
  RestAndPress(1);
  EXPECT_TRUE(TextBecomes("New text"));

  // Undo goes back to the end of the text before its Backspaces.
  TypeFrom(2);
  ASSERT_TRUE(TextBecomes("()"));
  ClickWindow(FindChild(k.Bar(), "Button", "Undo"));
  EXPECT_TRUE(TextBecomes(""));
  RestAndPress(2);
  ASSERT_TRUE(TextBecomes("()"));
  TypeText("x");
  EXPECT_TRUE(TextBecomes("(x)"));
}

TEST_F(TypingCodesTest, AWaitHoldsBackTheRestOfTheText) {
  // Read from the press on, as fast as the window answers: the text may begin while the
  // button is still held.
  target.Clear();
  FocusTarget();
  const POINT c = CentreOf(k.Button(3));
  RestAt(c.x, c.y);
  MouseDown(c.x, c.y);
  bool released = false;
  std::optional<Clock::time_point> first, second;
  const auto start = Clock::now();
  while (!second && Clock::now() - start < std::chrono::seconds(10)) {
    const std::string now = TextOf(edit_);
    if (!first && !now.empty()) first = Clock::now();
    if (now == "ab") second = Clock::now();
    if (!released && Clock::now() - start > std::chrono::milliseconds(30)) {
      MouseUp(c.x, c.y);
      released = true;
    }
    Sleep(1);
  }
  ASSERT_TRUE(first && second) << "the window holds [" << TextOf(edit_) << "]";
  const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(*second - *first).count();
  // Short by at most one reading of the window.
  EXPECT_GE(gap, 290);
  EXPECT_LT(gap, 3000);
}

TEST_F(TypingCodesTest, TheClipboardIsTypedAndLeftExactlyAsItWas) {
  ASSERT_TRUE(SetClipboardText("Line one\r\nLine \xCE\xB1\xCE\xB2"));
  const DWORD sequence = GetClipboardSequenceNumber();
  TypeFrom(4);
  const std::string want = "[Line one\r\nLine \xCE\xB1\xCE\xB2]";
  EXPECT_TRUE(WaitFor([&] { return Utf8TextOf(edit_) == want; })) << Utf8TextOf(edit_);
  EXPECT_EQ(ClipboardText(), "Line one\r\nLine \xCE\xB1\xCE\xB2");
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence) << "the clipboard was written";

  // A clipboard without text types nothing, and the rest of the text goes on.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  TypeFrom(4);
  EXPECT_TRUE(TextBecomes("[]"));
}

TEST_F(TypingCodesTest, TheQuestionIsAnsweredBeforeTheFirstKeyOrCancelledForNone) {
  RestAndPress(5);
  HWND q = Question();
  ASSERT_NE(q, nullptr) << DescribeWindows(k.pid());
  EXPECT_EQ(TextOf(q), "Keystrum");
  EXPECT_NE(FindChild(q, "Static", "Name"), nullptr);
  HWND field = FindChild(q, "Edit");
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(TextOf(field), "Sir");
  EXPECT_NE(FindChild(q, "Button", "OK"), nullptr);
  EXPECT_NE(FindChild(q, "Button", "Cancel"), nullptr);
  EXPECT_EQ(TextOf(edit_), "") << "a key went out before the answer";
  // The keyboard is in the field, its default selected: typing replaces it.
  TypeText("Ann");
  ASSERT_TRUE(TextBecomes(field, "Ann"));
  PressKey(VK_RETURN);
  EXPECT_TRUE(TextBecomes("Dear Ann, Ann!"));
  EXPECT_EQ(TextOf(field), "Ann") << "a key of the run went to the question";
  EXPECT_EQ(GetForegroundWindow(), main_);

  // The last answer comes back; Esc types nothing and gives the window back.
  target.Clear();
  RestAndPress(5);
  q = Question();
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(TextOf(FindChild(q, "Edit")), "Ann");
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(q); }));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_; }));
  Sleep(500);
  EXPECT_EQ(TextOf(edit_), "");
}

}  // namespace
}  // namespace ks::e2e
