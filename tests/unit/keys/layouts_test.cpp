#include "keys/layouts.h"

#include <gtest/gtest.h>

#include "keys/fakes.h"
#include "keys/keyboard.h"

namespace ks::keys {
namespace {

using namespace test;

TEST(CtrlAltMakesCharacter, AsksTheLayoutGivenAndCountsADeadKey) {
  struct Case {
    const char* what;
    LayoutId layout;
    std::uint32_t key;
    bool character;
  };
  const Case cases[] = {
      {"US: no AltGr, a shortcut", kUs, 'Q', false},
      {"US", kUs, 'E', false},
      {"German AltGr+Q: @", kGerman, 'Q', true},
      {"German AltGr+E: €", kGerman, 'E', true},
      {"German: nothing on W", kGerman, 'W', false},
      {"French AZERTY: nothing on Q", kFrench, 'Q', false},
      {"French AltGr+E: €", kFrench, 'E', true},
      {"French AltGr+0: @", kFrench, '0', true},
      {"French AltGr+2: a dead ~, a character in the making", kFrench, '2', true},
      {"French: nothing on A", kFrench, 'A', false},
  };
  for (const Case& c : cases) {
    FakeLayouts layouts;
    EXPECT_EQ(CtrlAltMakesCharacter(layouts, c.layout, c.key), c.character) << c.what;
    EXPECT_EQ(layouts.Asked, std::vector<LayoutId>{c.layout}) << c.what;
    // The keyboard a hook follows takes the same chord alike: the shortcut keys and the
    // abbreviation watch never disagree on whose key it is.
    Keyboard keyboard(layouts);
    keyboard.Key(Down(vk::LControl));
    keyboard.Key(Down(vk::LMenu));
    const bool typed = !keyboard.CharsFor(Down(c.key), c.layout).empty();
    EXPECT_EQ(typed || keyboard.AccentWaiting(), c.character) << c.what;
  }
}

}  // namespace
}  // namespace ks::keys
