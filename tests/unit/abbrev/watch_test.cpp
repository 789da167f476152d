#include "abbrev/watch.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "contract.h"
#include "keys/fakes.h"

namespace ks::abbrev {

void PrintTo(const Match& m, std::ostream* os) {
  *os << "{button " << m.Group << "." << m.Button << ", " << m.Backspaces << " backspaces, "
      << m.Characters << " characters, kept " << static_cast<int>(m.Kept) << "}";
}

namespace {

using namespace keys::test;

std::vector<Tap> operator+(std::vector<Tap> a, const std::vector<Tap>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class WatchTest : public ::testing::Test {
 protected:
  WatchTest() { watch.SetAbbreviations({{1, 1, ";sig"}, {1, 2, "btw"}, {2, 5, "sig"}}); }

  // The matches the keys make, in order.
  std::vector<Match> Type(const std::vector<Tap>& taps, std::uintptr_t extra = 0) {
    std::vector<Match> found;
    for (KeyEvent e : Events(taps)) {
      e.ExtraInfo = extra;
      if (auto m = watch.Key(e, layout).Typed) found.push_back(*m);
    }
    return found;
  }
  std::vector<Match> Type(std::string_view text) { return Type(UsKeys(text)); }

  FakeLayouts layouts;
  AbbreviationWatch watch{layouts};
  LayoutId layout = kUs;
};

// The last key of each is kept from the window: one Backspace fewer.
const Match kSemicolonSig{1, 1, 3, 3, u'g'};
const Match kBtw{1, 2, 2, 2, u'w'};
const Match kSig{2, 5, 2, 2, u'g'};
using Matches = std::vector<Match>;

TEST_F(WatchTest, WhatWasTypedMatchesWhenItEndsWithAnAbbreviation) {
  EXPECT_EQ(Type("x;sig"), Matches{kSemicolonSig}) << "the longer of two that end here";
  EXPECT_EQ(watch.Kept(), u"") << "a match starts afresh";
  EXPECT_EQ(Type("sing si g"), Matches{});
  EXPECT_EQ(Type(";si"), Matches{});
  EXPECT_EQ(Type("x"), Matches{});
  EXPECT_EQ(Type("btw;sig sig"), (Matches{kBtw, kSemicolonSig, kSig}));
  EXPECT_EQ(Type("BTW Btw"), Matches{}) << "as typed, case and all";
}

TEST_F(WatchTest, BackspaceTakesTheLastCharacterOff) {
  EXPECT_EQ(Type(UsKeys(";sx") + std::vector<Tap>{{vk::Back}} + UsKeys("ig")),
            Matches{kSemicolonSig});
  EXPECT_EQ(Type(std::vector<Tap>{{vk::Back}, {vk::Back}}), Matches{}) << "nothing left to take";
  EXPECT_EQ(Type("bt"), Matches{});
  // Ctrl+Backspace takes a word or more: nothing before it is known any longer.
  EXPECT_EQ(Type(UsKeys(";six") + std::vector<Tap>{{vk::Back, {vk::LControl}}} + UsKeys("g")),
            Matches{});
}

TEST_F(WatchTest, ClicksFocusCaretMovesAndTheEndingKeysStartAfresh) {
  struct Case {
    const char* what;
    std::function<void()> between;
    bool resets;
  };
  auto key = [&](std::uint32_t k, std::vector<std::uint32_t> held = {}) {
    return [this, k, held] { Type(std::vector<Tap>{{k, held}}); };
  };
  const Case cases[] = {
      {"a mouse click, a change of foreground or focus", [&] { watch.Reset(); }, true},
      {"Left", key(vk::Left), true},
      {"Up", key(vk::Up), true},
      {"Right", key(vk::Right), true},
      {"Down", key(vk::Down), true},
      {"Home", key(vk::Home), true},
      {"End", key(vk::End), true},
      {"Page Up", key(vk::Prior), true},
      {"Page Down", key(vk::Next), true},
      {"Esc", key(vk::Escape), true},
      {"Enter", key(vk::Return), true},
      {"Tab", key(vk::Tab), true},
      {"Ctrl+V", key('V', {vk::LControl}), true},
      {"Windows+D", key('D', {vk::LWin}), true},
      {"Shift alone", key(vk::LShift), false},
      {"Caps Lock twice",
       [&] {
         Type(std::vector<Tap>{{vk::Capital}, {vk::Capital}});
       },
       false},
      {"F5", key(0x74), false},
      {"Delete", key(0x2E), false},
  };
  for (const Case& c : cases) {
    watch.Reset();
    Type(";si");
    c.between();
    EXPECT_EQ(Type("g").size(), c.resets ? 0u : 1u) << c.what;
  }
}

TEST_F(WatchTest, TheProgramsOwnInputIsNeverWatched) {
  EXPECT_EQ(Type(UsKeys(";sig"), contract::kInjectTag), Matches{});
  Type(";si");
  Type(UsKeys("xyz"), contract::kInjectTag);
  EXPECT_EQ(Type("g"), Matches{kSemicolonSig});
  // The program's Shift is down for the system too: the user's key makes a capital then.
  Type(";si");
  KeyEvent shift = Down(vk::LShift);
  shift.ExtraInfo = contract::kInjectTag;
  watch.Key(shift, layout);
  EXPECT_EQ(Type("g"), Matches{});
}

TEST_F(WatchTest, NothingIsWatchedInAPasswordFieldWhileRecordingOrTyping) {
  const std::function<void(bool)> pauses[] = {
      [&](bool on) { watch.SetPasswordField(on); },
      [&](bool on) { watch.SetRecording(on); },
      [&](bool on) { watch.SetTyping(on); },
  };
  for (const auto& pause : pauses) {
    Type(";s");
    pause(true);
    EXPECT_EQ(Type("ig;sig"), Matches{});
    EXPECT_EQ(watch.Kept(), u"");
    pause(false);
    EXPECT_EQ(Type("g"), Matches{}) << "what came before the pause is forgotten";
    EXPECT_EQ(Type(";sig"), Matches{kSemicolonSig});
  }
  // Two pauses at once: the end of one does not end the other.
  watch.SetPasswordField(true);
  watch.SetRecording(true);
  watch.SetPasswordField(false);
  EXPECT_EQ(Type(";sig"), Matches{});
  watch.SetRecording(false);
  EXPECT_EQ(Type(";sig"), Matches{kSemicolonSig});
}

TEST_F(WatchTest, AKeyOfTheUserWhileTypingStopsTheRun) {
  watch.Key(Down('G'), layout);  // the abbreviation's last key starts the run
  watch.SetTyping(true);
  KeyEvent own = Down('X');
  own.ExtraInfo = contract::kInjectTag;
  EXPECT_FALSE(watch.Key(own, layout).StopRun);
  EXPECT_FALSE(watch.Key(Down('G'), layout).StopRun) << "its repeat";
  EXPECT_FALSE(watch.Key(Up('G'), layout).StopRun) << "its release";
  EXPECT_TRUE(watch.Key(Down(vk::Escape), layout).StopRun);
  watch.SetTyping(false);
  EXPECT_FALSE(watch.Key(Down('A'), layout).StopRun);
}

TEST_F(WatchTest, KeepsNoMoreThanTheLongestAbbreviation) {
  Type("abcdefgh");
  EXPECT_EQ(watch.Kept(), u"efgh");
  watch.SetAbbreviations({{1, 1, "xy"}});
  EXPECT_EQ(watch.Kept(), u"gh");
  watch.SetAbbreviations({});
  EXPECT_EQ(watch.Kept(), u"");
  layouts.Asked.clear();
  EXPECT_EQ(Type("abc"), Matches{});
  EXPECT_TRUE(layouts.Asked.empty()) << "with no abbreviation no key is even translated";
}

TEST_F(WatchTest, OnlyValidAbbreviationsAreWatchedAndOfTwoAlikeTheFirst) {
  watch.SetAbbreviations(
      {{3, 1, "dup"}, {1, 1, "dup"}, {1, 2, "a b"}, {1, 3, std::string(32, 'z')}, {1, 4, ""}});
  EXPECT_EQ(Type("dup"), (Matches{{3, 1, 2, 2, u'p'}}));
  EXPECT_EQ(Type("a b"), Matches{});
  Type(std::string(40, 'z'));
  EXPECT_EQ(watch.Kept(), u"zzz") << "nothing beyond the length of the one left";
}

TEST_F(WatchTest, DeadKeysAndAltGrOnGermanAndFrenchLayouts) {
  watch.SetAbbreviations({{1, 1, "q@"},
                          {1, 2, "crêpe"},
                          {1, 3, "^x"},
                          {1, 4, "a^"},
                          {2, 1, "fête"},
                          {2, 2, "@à"},
                          {2, 3, "noël"},
                          {2, 4, "€é"}});
  layout = kGerman;
  EXPECT_EQ(Type(std::vector<Tap>{{'Q'}, {'Q', kAltGr}}), (Matches{{1, 1, 1, 1, u'@'}}));
  EXPECT_EQ(Type(std::vector<Tap>{{'C'}, {'R'}, {kOem5}, {'E'}, {'P'}, {'E'}}),
            (Matches{{1, 2, 4, 4, u'e'}}));
  EXPECT_EQ(Type(std::vector<Tap>{{kOem5}, {'X'}}), (Matches{{1, 3, 2, 2}}))
      << "an accent that does not compose comes before the letter";
  EXPECT_EQ(Type(std::vector<Tap>{{'A'}, {kOem5}, {' '}}), (Matches{{1, 4, 2, 2}}))
      << "a space after an accent gives the accent alone";
  layout = kFrench;
  EXPECT_EQ(Type(std::vector<Tap>{{'F'}, {kOem6}, {'E'}, {'T'}, {'E'}}), (Matches{{2, 1, 3, 3, u'e'}}));
  EXPECT_EQ(Type(std::vector<Tap>{{'0', kAltGr}, {'0'}}), (Matches{{2, 2, 1, 1, u'à'}}));
  EXPECT_EQ(Type(std::vector<Tap>{{'N'}, {'O'}, {kOem6, {vk::LShift}}, {'E'}, {'L'}}),
            (Matches{{2, 3, 3, 3, u'l'}}));
  EXPECT_EQ(Type(std::vector<Tap>{{'E', kAltGr}, {'2'}}), (Matches{{2, 4, 1, 1, u'é'}}));
  // Backspace while an accent waits takes the accent, not the letter before it.
  EXPECT_EQ(Type(std::vector<Tap>{{'F'}, {kOem6}, {vk::Back}, {kOem6}, {'E'}, {'T'}, {'E'}}),
            (Matches{{2, 1, 3, 3, u'e'}}));
}

TEST_F(WatchTest, TheLastKeyIsKeptFromTheWindowOnlyWhenItAloneMadeAPlainCharacter) {
  watch.SetAbbreviations({{1, 1, ";sig"}, {2, 1, "pw", true}, {1, 2, "crê"}});
  EXPECT_EQ(Type("pw"), (Matches{{2, 1, 2, 2}})) << "a locked group's stays whole in the window";
  watch.SetFocusOurs(true);
  EXPECT_EQ(Type(";sig"), (Matches{{1, 1, 4, 4}})) << "typed in a window of the program";
  watch.SetFocusOurs(false);
  EXPECT_EQ(Type(";sig"), Matches{kSemicolonSig});
  layout = kGerman;
  EXPECT_EQ(Type(std::vector<Tap>{{'C'}, {'R'}, {kOem5}, {'E'}}), (Matches{{1, 2, 3, 3}}))
      << "a key that finished an accent is the window's composing";
}

TEST_F(WatchTest, ACharacterBeyondTheBasicPlaneIsTwoBackspacesInAnEdit) {
  watch.SetAbbreviations({{1, 1, "x\U0001F600"}});
  auto packets = [&](std::u16string_view units) {
    std::vector<Match> found;
    for (char16_t u : units) {
      if (auto m = watch.Key(KeyEvent{vk::Packet, u, false}, layout).Typed) found.push_back(*m);
      watch.Key(KeyEvent{vk::Packet, u, true}, layout);
    }
    return found;
  };
  EXPECT_EQ(packets(u"x\U0001F600"), (Matches{{1, 1, 3, 2}}));
  packets(u"ab\U0001F600");
  EXPECT_EQ(watch.Kept(), u"b\U0001F600");
  Type(std::vector<Tap>{{vk::Back}});
  EXPECT_EQ(watch.Kept(), u"b") << "Backspace takes both halves";
}

}  // namespace
}  // namespace ks::abbrev
