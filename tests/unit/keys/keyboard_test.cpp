#include "keys/keyboard.h"

#include <gtest/gtest.h>

#include "keys/fakes.h"

namespace ks::keys {
namespace {

using namespace test;

const std::vector<std::uint32_t> kShift = {vk::LShift};

// What the window in front receives from `taps`, with Caps Lock on or off at the start.
std::u16string Made(LayoutId layout, const std::vector<Tap>& taps, bool capsLock = false) {
  FakeLayouts layouts;
  Keyboard keyboard(layouts);
  KeyState state{};
  state[vk::Capital] = capsLock ? 1 : 0;
  keyboard.Sync(state);
  std::u16string made;
  for (const KeyEvent& e : Events(taps)) {
    keyboard.Key(e);
    if (!e.Up) made += keyboard.CharsFor(e, layout);
  }
  return made;
}

TEST(Keyboard, MakesWhatTheLayoutInFrontMakes) {
  struct Case {
    const char* what;
    LayoutId layout;
    std::vector<Tap> taps;
    std::u16string made;
    bool capsLock = false;
  };
  const Case cases[] = {
      {"US letters, Shift, signs", kUs, {{'A'}, {'A', kShift}, {kOem1}, {'1', kShift}}, u"aA;!"},
      {"Caps Lock on: Shift makes small letters", kUs, {{'A'}, {'A', kShift}, {'1'}}, u"Aa1", true},
      {"US: right Alt is Alt, a shortcut", kUs, {{'Q', {vk::RMenu}}, {'Q', kAltGr}}, u""},
      {"shortcuts and the Windows key make nothing",
       kUs,
       {{'V', {vk::LControl}}, {'X', {vk::LMenu}}, {'R', {vk::LWin}}},
       u""},
      {"German AltGr", kGerman, {{'Q', kAltGr}, {'E', kAltGr}, {'7', kAltGr}}, u"@€{"},
      {"German: left Ctrl+Alt is AltGr too", kGerman, {{'Q', {vk::LControl, vk::LMenu}}}, u"@"},
      {"German umlauts follow Caps Lock", kGerman, {{kOem7}, {kOem7, kShift}}, u"Ää", true},
      {"German dead keys compose",
       kGerman,
       {{kOem5}, {'E'}, {kOem6}, {'E', kShift}, {kOem6, kShift}, {'A'}},
       u"êÉà"},
      {"German: a space gives the accent", kGerman, {{kOem5}, {' '}}, u"^"},
      {"German: what does not compose comes after the accent",
       kGerman,
       {{kOem5}, {'X'}, {kOem6}, {kOem5}},
       u"^x´^"},
      {"German: Shift between accent and letter keeps it waiting",
       kGerman,
       {{kOem5}, {vk::LShift}, {'E'}},
       u"ê"},
      {"French AZERTY row and AltGr",
       kFrench,
       {{'2'}, {'2', kShift}, {'0'}, {'0', kAltGr}, {'E', kAltGr}},
       u"é2à@€"},
      {"French dead keys, AltGr's too",
       kFrench,
       {{kOem6}, {'E'}, {kOem6, kShift}, {'E'}, {'2', kAltGr}, {'N'}, {kOem6, kShift}, {'X'}},
       u"êëñ¨x"},
  };
  for (const Case& c : cases) EXPECT_EQ(Made(c.layout, c.taps, c.capsLock), c.made) << c.what;
}

TEST(Keyboard, UnicodeInputIsItsUnitWhateverTheLayout) {
  FakeLayouts layouts;
  Keyboard keyboard(layouts);
  std::u16string made;
  for (char16_t unit : std::u16string(u"Σ\U0001F600\x16")) {
    const KeyEvent e{vk::Packet, unit, false};
    keyboard.Key(e);
    made += keyboard.CharsFor(e, kGerman);
  }
  EXPECT_EQ(made, u"Σ\U0001F600");  // the paste character makes nothing
  EXPECT_TRUE(layouts.Asked.empty());
}

TEST(Keyboard, SyncTakesHeldKeysAndCapsLockFromTheSystem) {
  FakeLayouts layouts;
  Keyboard keyboard(layouts);
  KeyState state{};
  state[vk::RShift] = 0x80;
  keyboard.Sync(state);
  EXPECT_EQ(keyboard.CharsFor(Down('A'), kUs), u"A");
  state = {};
  state[vk::Capital] = 1;
  keyboard.Sync(state);
  EXPECT_EQ(keyboard.CharsFor(Down('A'), kUs), u"A");
  keyboard.Key(Down(vk::Capital));
  keyboard.Key(Down(vk::Capital));  // a repeat toggles nothing
  keyboard.Key(Up(vk::Capital));
  EXPECT_EQ(keyboard.CharsFor(Down('A'), kUs), u"a");
}

}  // namespace
}  // namespace ks::keys
