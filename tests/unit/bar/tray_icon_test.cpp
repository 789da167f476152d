#include "bar/tray_icon.h"

#include <gtest/gtest.h>

#include <vector>

#include "text/utf.h"

namespace ks {
namespace {

struct FakeShell : TrayIconState::Shell {
  struct Call {
    TrayIconState::Op op;
    TrayIconState::Record r;
  };
  std::vector<Call> calls;
  int refreshes = 0;
  bool Notify(TrayIconState::Op op, const TrayIconState::Record& r) override {
    calls.push_back({op, r});
    return true;
  }
  void PostTipRefresh() override { ++refreshes; }
};

TEST(TrayTip, SixtyTwoStaysSixtyThreeIsCut) {
  std::string t62(62, 'x');
  EXPECT_EQ(CutTrayTip(t62), t62);
  std::string t63 = std::string(60, 'a') + "bcd";
  ASSERT_EQ(t63.size(), 63u);
  EXPECT_EQ(CutTrayTip(t63), std::string(59, 'a') + "...");
  EXPECT_EQ(CutTrayTip(t63).size(), 62u);
}

TEST(TrayTip, CountsCharactersNotBytesAndNeverCutsOne) {
  std::string greek;
  for (int i = 0; i < 62; ++i) greek += "\xCE\xB1";  // alpha, two bytes
  EXPECT_EQ(CutTrayTip(greek), greek);
  std::string emoji;
  for (int i = 0; i < 63; ++i) emoji += "\xF0\x9F\x98\x80";  // a surrogate pair each
  std::string cut = CutTrayTip(emoji);
  EXPECT_EQ(cut, emoji.substr(0, 59 * 4) + "...");
  EXPECT_TRUE(IsValidUtf8(cut));
  EXPECT_LT(Utf16Length(cut), kTrayTipField);
}

TEST(TrayIconState, ChangesWhileInactiveRegisterNothingUntilActivated) {
  FakeShell shell;
  TrayIconState t(shell);
  t.SetIcon(42);
  t.SetToolTip("Keystrum by Someone");
  EXPECT_TRUE(shell.calls.empty());
  t.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  EXPECT_EQ(shell.calls[0].op, TrayIconState::Op::Add);
  EXPECT_EQ(shell.calls[0].r.icon, 42u);
  EXPECT_EQ(shell.calls[0].r.tip, "Keystrum by Someone");
  EXPECT_EQ(shell.refreshes, 0);
}

TEST(TrayIconState, SettingActiveTwiceAddsOnceAndDeactivatingDeletes) {
  FakeShell shell;
  TrayIconState t(shell);
  t.SetToolTip("tip");
  t.SetActive(true);
  t.SetActive(true);
  ASSERT_EQ(shell.calls.size(), 1u);
  t.SetActive(false);
  t.SetActive(false);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[1].op, TrayIconState::Op::Delete);
}

TEST(TrayIconState, ChangesWhileActiveModifyTheRegisteredIcon) {
  FakeShell shell;
  TrayIconState t(shell);
  t.SetActive(true);
  EXPECT_EQ(shell.refreshes, 1);  // added without a tip
  t.SetToolTip(std::string(70, 'z'));
  t.SetIcon(7);
  t.SetIcon(7);  // the same icon again: nothing to tell the shell
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[1].op, TrayIconState::Op::Modify);
  EXPECT_EQ(shell.calls[1].r.tip, std::string(59, 'z') + "...");
  EXPECT_EQ(shell.calls[2].r.icon, 7u);
}

TEST(TrayIconState, DestroyRemovesOnlyAShownIconAndReAddFollowsActive) {
  FakeShell shell;
  TrayIconState t(shell);
  t.Destroy();
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_FALSE(t.ReAdd());
  t.SetActive(true);
  EXPECT_TRUE(t.ReAdd());
  t.Destroy();
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[1].op, TrayIconState::Op::Add);
  EXPECT_EQ(shell.calls[2].op, TrayIconState::Op::Delete);
}

}  // namespace
}  // namespace ks
