#include "abbrev/keyboard.h"

#include <gtest/gtest.h>

#include "contract.h"
#include "keys/fakes.h"

namespace ks::abbrev {
namespace {

using namespace keys::test;

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
