#include "abbrev/keyboard.h"

#include <gtest/gtest.h>

#include "contract.h"
#include "keys/fakes.h"

namespace ks::abbrev {
namespace {

using namespace keys::test;

TEST(ShortcutAtPress, IsJudgedWithTheLayoutInFrontAtEachPress) {
  FakeLayouts layouts;
  Keyboard keyboard(layouts);
  keyboard.Key(Down(vk::LControl));
  keyboard.Key(Down(vk::LMenu));
  // The user works in a US window, switches that window to German, then to French.
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kUs), 17);
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kGerman), 0) << "AltGr+Q types @";
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('E'), kGerman), 0) << "AltGr+E types €";
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('W'), kGerman), 23);
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kFrench), 17);
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('E'), kFrench), 0);
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kUs), 17);
  EXPECT_EQ(layouts.Asked,
            (std::vector<LayoutId>{kUs, kGerman, kGerman, kGerman, kFrench, kFrench, kUs}));
  // Not a shortcut at all: a release, a key that is no letter, Shift or Windows held too.
  EXPECT_EQ(ShortcutAtPress(keyboard, Up('Q'), kUs), 0);
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('1'), kUs), 0);
  keyboard.Key(Down(vk::RShift));
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kUs), 0);
  keyboard.Key(Up(vk::RShift));
  keyboard.Key(Down(vk::LWin));
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kUs), 0);
  keyboard.Key(Up(vk::LWin));
  keyboard.Key(Up(vk::LMenu));
  EXPECT_EQ(ShortcutAtPress(keyboard, Down('Q'), kUs), 0) << "Ctrl alone";
}

TEST(ShortcutAtPress, ADeadKeyOnCtrlAltIsACharacterInTheMaking) {
  FakeLayouts layouts;
  EXPECT_TRUE(keys::CtrlAltMakesCharacter(layouts, kFrench, '2'));  // AltGr+2: dead ~
  EXPECT_TRUE(keys::CtrlAltMakesCharacter(layouts, kFrench, '0'));
  EXPECT_FALSE(keys::CtrlAltMakesCharacter(layouts, kFrench, 'A'));
  EXPECT_FALSE(keys::CtrlAltMakesCharacter(layouts, kUs, 'E'));
}

TEST(StopsRun, OnlyAFreshPressOfTheUserStopsARun) {
  KeyEvent own = Down('A');
  own.ExtraInfo = contract::kInjectTag;
  KeyEvent otherTool = Down('A');
  otherTool.ExtraInfo = 0x1234;  // injected by another program: the user's all the same
  EXPECT_TRUE(StopsRun(Down('A'), false));
  EXPECT_TRUE(StopsRun(otherTool, false));
  EXPECT_TRUE(StopsRun(Down(vk::LShift), false));
  EXPECT_FALSE(StopsRun(Up('G'), true)) << "the release of the abbreviation's last key";
  EXPECT_FALSE(StopsRun(Down('G'), true)) << "a repeat of a key held before";
  EXPECT_FALSE(StopsRun(own, false));
}

}  // namespace
}  // namespace ks::abbrev
