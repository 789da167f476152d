#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/hook_keys.h"

namespace ks::keys {
namespace {

// A US layout for letters and digits; Ctrl+letter gives its control character and Escape
// and Delete theirs, as the real translation does; the key 0xDE is a dead circumflex. Remembers every state it was asked in.
class FakeLayout : public KeyTranslator {
 public:
  int Translate(std::uint32_t key, std::uint32_t, const KeyState& state, char16_t* out,
                int) override {
    asked.push_back(state);
    const bool shift = state[vk::Shift] & 0x80;
    const bool caps = state[vk::Capital] & 1;
    if (key == 0xDE) {  // the circumflex, a dead key
      out[0] = u'^';
      return -1;
    }
    if (greek && key == 'Q') {  // a character beyond the Basic Multilingual Plane: 2 units
      out[0] = 0xD834;
      out[1] = 0xDD1E;
      return 2;
    }
    if (greek && key >= 'A' && key <= 'Z') {  // alpha and on, capital with Shift
      out[0] = static_cast<char16_t>((shift != caps ? 0x391 : 0x3B1) + (key - 'A'));
      return 1;
    }
    if (key >= 'A' && key <= 'Z') {
      if (state[vk::Control] & 0x80 && !(state[vk::Menu] & 0x80)) {
        out[0] = static_cast<char16_t>(key - 'A' + 1);
        return 1;
      }
      out[0] = static_cast<char16_t>(shift != caps ? key : key + 32);
      return 1;
    }
    if (key == '1') {
      out[0] = shift ? u'!' : u'1';
      return 1;
    }
    if (key == 0x1B || key == 0x2E) {  // Escape and Delete: ESC and DEL
      out[0] = key == 0x1B ? 0x1B : 0x7F;
      return 1;
    }
    return 0;
  }
  std::vector<KeyState> asked;
  bool greek = false;  // letters of a Greek layout instead
};

class SeenKeyboardTest : public ::testing::Test {
 protected:
  // The characters of a press of `key` with `held` down first.
  std::u16string Press(std::uint32_t key, std::initializer_list<std::uint32_t> held = {}) {
    for (std::uint32_t h : held) seen.Key(h, false);
    seen.Key(key, false);
    std::u16string chars = seen.CharsFor(key, 0, layout);
    seen.Key(key, true);
    for (std::uint32_t h : held) seen.Key(h, true);
    return chars;
  }
  // The characters of a character sent as Unicode input, one UTF-16 unit.
  std::u16string Packet(char16_t unit, std::initializer_list<std::uint32_t> held = {}) {
    for (std::uint32_t h : held) seen.Key(h, false);
    seen.Key(vk::Packet, false);
    std::u16string chars = seen.CharsFor(vk::Packet, unit, layout);
    seen.Key(vk::Packet, true);
    for (std::uint32_t h : held) seen.Key(h, true);
    return chars;
  }

  // Only the circumflex over e composes, as far as this test needs.
  SeenKeyboard seen{[](char16_t base, char16_t mark) -> char16_t {
    return base == u'e' && mark == 0x0302 ? u'\u00EA' : 0;
  }};
  FakeLayout layout;
};

TEST(GenericKey, LeftAndRightModifiersBecomeTheGenericCodes) {
  EXPECT_EQ(GenericKey(vk::LShift), vk::Shift);
  EXPECT_EQ(GenericKey(vk::RShift), vk::Shift);
  EXPECT_EQ(GenericKey(vk::LControl), vk::Control);
  EXPECT_EQ(GenericKey(vk::RControl), vk::Control);
  EXPECT_EQ(GenericKey(vk::LMenu), vk::Menu);
  EXPECT_EQ(GenericKey(vk::RMenu), vk::Menu);
  EXPECT_EQ(GenericKey('A'), 'A');
  EXPECT_EQ(GenericKey(vk::Shift), vk::Shift);
}

TEST_F(SeenKeyboardTest, AKeyHeldDownRepeatsAndItsReleaseFollowsADown) {
  EXPECT_FALSE(seen.Key('A', false));
  EXPECT_TRUE(seen.Key('A', false));
  EXPECT_TRUE(seen.Key('A', true));
  EXPECT_FALSE(seen.Key('A', true));
}

TEST_F(SeenKeyboardTest, ShiftOnEitherSideAndCapsLockChooseTheCase) {
  EXPECT_EQ(Press('A'), u"a");
  EXPECT_EQ(Press('A', {vk::LShift}), u"A");
  EXPECT_EQ(Press('A', {vk::RShift}), u"A");
  EXPECT_EQ(Press('1', {vk::RShift}), u"!");
  // Caps Lock toggles on its first press only, not on the repeats of a held key.
  seen.Key(vk::Capital, false);
  seen.Key(vk::Capital, false);
  seen.Key(vk::Capital, true);
  EXPECT_EQ(Press('A'), u"A");
  EXPECT_EQ(Press('A', {vk::LShift}), u"a");
  seen.Reset(false);
  EXPECT_EQ(Press('A'), u"a");
  seen.Reset(true);
  EXPECT_EQ(Press('A'), u"A");
}

TEST_F(SeenKeyboardTest, ShortcutsMakeNoCharacterButAltGrDoes) {
  EXPECT_EQ(Press('V', {vk::LControl}), u"");
  EXPECT_EQ(Press('V', {vk::RMenu}), u"");
  EXPECT_TRUE(layout.asked.empty()) << "a shortcut never asks the layout";
  // Ctrl and Alt together are AltGr: the layout is asked with both, generic codes set.
  Press('E', {vk::LControl, vk::RMenu});
  ASSERT_EQ(layout.asked.size(), 1u);
  EXPECT_TRUE(layout.asked[0][vk::Control] & 0x80);
  EXPECT_TRUE(layout.asked[0][vk::Menu] & 0x80);
  EXPECT_FALSE(layout.asked[0][vk::Shift] & 0x80);
}

TEST_F(SeenKeyboardTest, OnlyBackspaceTabAndEnterOfTheControlCharactersArrive) {
  EXPECT_EQ(Press(vk::Back), u"\b");
  EXPECT_EQ(Press(vk::Tab), u"\t");
  EXPECT_EQ(Press(vk::Return), u"\r");
  EXPECT_TRUE(layout.asked.empty());
  // What the layout makes below a blank, and DEL, is dropped.
  EXPECT_EQ(Press(0x1B), u"");
  EXPECT_EQ(Press(0x2E), u"");
  EXPECT_EQ(layout.asked.size(), 2u);
}

TEST_F(SeenKeyboardTest, ADeadKeyWaitsForTheNextCharacterAndResetForgetsIt) {
  EXPECT_EQ(Press(0xDE), u"");
  EXPECT_EQ(Press('E'), u"\u00EA");
  // Enter after an accent gets the accent in front, as the other program does.
  EXPECT_EQ(Press(0xDE), u"");
  EXPECT_EQ(Press(vk::Return), u"^\r");
  EXPECT_EQ(Press(0xDE), u"");
  seen.Reset(false);
  EXPECT_EQ(Press('E'), u"e");
}

TEST_F(SeenKeyboardTest, CharactersOfAnyLayoutArriveAsTheLayoutMakesThem) {
  layout.greek = true;
  EXPECT_EQ(Press('A'), u"\u03B1");
  EXPECT_EQ(Press('B', {vk::RShift}), u"\u0392");
  EXPECT_EQ(Press('Q'), u"\U0001D11E");  // both halves of the pair, in order
}

TEST_F(SeenKeyboardTest, UnicodeInputArrivesAsSentWithoutAskingTheLayout) {
  // Greek, an e acute, a check mark, and an emoji as its two halves.
  std::u16string got;
  for (char16_t unit : std::u16string(u"\u03A3\u00E9\u2713\U0001F600")) got += Packet(unit);
  EXPECT_EQ(got, u"\u03A3\u00E9\u2713\U0001F600");
  // Held modifiers change nothing: the character was chosen by whoever sent it.
  EXPECT_EQ(Packet(u'x', {vk::LControl}), u"x");
  EXPECT_EQ(Packet(u'\t'), u"\t");
  EXPECT_EQ(Packet(0x16), u"");  // the paste character, as from a key
  EXPECT_TRUE(layout.asked.empty());
  // A waiting accent keeps waiting for the next key of the layout.
  EXPECT_EQ(Press(0xDE), u"");
  EXPECT_EQ(Packet(u'\u03C9'), u"\u03C9");
  EXPECT_EQ(Press('E'), u"\u00EA");
}

}  // namespace
}  // namespace ks::keys
