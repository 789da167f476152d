// The codes beyond characters and the first keys: every key, combinations, a wait, the
// clipboard, a question and where the caret ends, through the fake ports.
#include <algorithm>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "typing/codes.h"
#include "typing/typist_fixture.h"

namespace ks {
namespace {

using ::testing::ElementsAre;

struct Case {
  std::string text;
  std::string sent;
  int count;  // what Undo takes back
};

class TypeCodesRun : public TypistTest {
 protected:
  // Each text, typed on its own, sends its events and leaves its count for Undo.
  void ExpectRuns(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      sink.events.clear();
      journal.clear();
      typist.SendString(target, c.text);
      EXPECT_EQ(Sent(sink), c.sent) << c.text;
      EXPECT_EQ(typist.KeystrokeCount, c.count) << c.text;
    }
  }
  // Where the first entry of the journal that begins with `prefix` stands; the end for none.
  std::ptrdiff_t At(const std::string& prefix) const {
    return std::find_if(journal.begin(), journal.end(),
                        [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }) -
           journal.begin();
  }
};

TEST_F(TypeCodesRun, KeysAndBracesAndWhatUndoTakesBack) {
  ExpectRuns({
      {"{home}{END}{pgup}{pgdn}", "+Home -Home +End -End +PgUp -PgUp +PgDn -PgDn", 0},
      {"{ins}{del}{bs}{esc}{apps}", "+Ins -Ins +Del -Del +Back -Back +Esc -Esc +Apps -Apps", 0},
      {"{f1}{f12}{F24}", "+F1 -F1 +F12 -F12 +F24 -F24", 0},
      {"a{space}b", "+A -A +Space -Space +B -B", 3},
      {"{lbrace}x{RBrace}", "+Shift +0xDB -0xDB -Shift +X -X +Shift +0xDD -0xDD -Shift", 3},
      // Bad forms vanish as every unknown code does.
      {"x{f0}{f25}{f99}{lbrace }{space }{ctrl+}y", "+X -X +Y -Y", 2},
  });
  // Extended: the navigation block and the menu key, as the arrows.
  sink.events.clear();
  typist.SendString(target, "{home}{end}{pgup}{pgdn}{ins}{del}{apps}{bs}{esc}{f5}{space}");
  for (std::size_t k = 0; k < sink.events.size(); ++k)
    EXPECT_EQ(sink.events[k].extended, k < 14) << test::KeyName(sink.events[k].vk);
}

TEST_F(TypeCodesRun, ACombinationHoldsItsModifiersInOrderAndUndoLeavesIt) {
  ExpectRuns({
      {"{ctrl+a}", "+Ctrl +A -A -Ctrl", 0},
      {"{CTRL+A}", "+Ctrl +A -A -Ctrl", 0},
      {"{ctrl+shift+end}", "+Ctrl +Shift +End -End -Shift -Ctrl", 0},
      {"{shift+ctrl+end}", "+Shift +Ctrl +End -End -Ctrl -Shift", 0},
      {"{alt+f4}", "+Alt +F4 -F4 -Alt", 0},
      {"{win+r}", "+Win +R -R -Win", 0},
      {"{shift+tab}", "+Shift +Tab -Tab -Shift", 0},
      {"{ctrl+alt+shift+win+ins}", "+Ctrl +Alt +Shift +Win +Ins -Ins -Win -Shift -Alt -Ctrl", 0},
      // A character stands for its key, whatever Shift it needs: + is on the = key.
      {"{ctrl++}", "+Ctrl +0xBB -0xBB -Ctrl", 0},
      {"{ctrl+rbrace}", "+Ctrl +0xDD -0xDD -Ctrl", 0},
      {"{ctrl+ctrl+a}", "+Ctrl +A -A -Ctrl", 0},
      {"x{ctrl+a}y", "+X -X +Ctrl +A -A -Ctrl +Y -Y", 2},
      // Nothing at all: no key, an unknown name, two characters, a character no key makes,
      // and the one combination only the system's keyboard sends.
      {"{ctrl+}{ctrl+f99}{ctrl+ab}{ctrl+\xC3\xA9}{ctrl+alt+del}{ALT+CTRL+DEL}{ctrl}", "", 0},
  });
  // The character's key on the target's layout: Z where a US keyboard has Y.
  layout.Add(2, 7);
  layout.Set('z', 'Y', 2);
  ExpectRuns({{"{ctrl+z}", "+Ctrl +Y -Y -Ctrl", 0}});
  EXPECT_EQ(vk::IsExtended(vk::LWin), true);
}

TEST_F(TypeCodesRun, AWaitComesOnceTheKeysBeforeItAreTakenAndAUsersKeyEndsIt) {
  const struct {
    std::string text;
    std::string typed;
    std::int64_t waited;
  } cases[] = {
      {"a{wait 500}b", "ab", 500},      {"{wait 20000}", "", kMaxWaitMs},
      {"{wait 0}x", "x", 0},            {"x{wait}{wait -5}{wait 1s}{wait }{wait 5 }y", "xy", 0},
      {"{WAIT 120}{wait 30}", "", 150},
  };
  for (const auto& c : cases) {
    host.now = 0;
    EXPECT_EQ(TypeOut(c.text), c.typed) << c.text;
    EXPECT_EQ(host.now, c.waited) << c.text;
  }
  // The keys before the wait went out and were taken first; the bar kept its messages.
  TypeOut("a{wait 120}b");
  EXPECT_LT(At("-A"), At("|"));
  EXPECT_EQ(journal[At("|") + 1], "taken:7/2");
  EXPECT_THAT(std::vector<std::string>(journal.begin() + At("wait:"), journal.begin() + At("+B")),
              ElementsAre("wait:50", "wait:50", "wait:20", "pump"));

  // The clock says a short wait overran: fewer of them.
  host.onWait = [&] { host.now += 40; };
  TypeOut("{wait 300}");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "wait:50"), 3);

  // Another window brought to the front meanwhile gets nothing, also when the text begins
  // with the wait.
  host.existing = {7, 9};
  host.onWait = [&] { host.foreground = 9; };
  EXPECT_EQ(TypeOut("{wait 100}ab"), "");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), std::string("notice:") + kStoppedForAnotherWindow), 1);

  // A key of the user's during the wait ends it and the run.
  host.onWait = [&] { typist.Stop(); };
  EXPECT_EQ(TypeOut("a{wait 5000}b"), "a");
  EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                          [](const std::string& e) { return e.rfind("wait:", 0) == 0; }),
            1);
}

TEST_F(TypeCodesRun, TheClipboardIsTypedAsCharactersWithLineBreaksAsEnter) {
  const struct {
    std::string clipboard;
    std::string text;
    std::string typed;
  } cases[] = {
      {"Line 1\r\nLine 2\nx\ty\rz", "{clipboard}", "Line 1<Enter>Line 2<Enter>x<Tab>y<Enter>z"},
      {"", "a{clipboard}b", "ab"},
      // Its braces are characters, and control characters type nothing (no Ctrl+A).
      {"{enter}\x01\x7F" "\xCE\xB1", "{CLIPBOARD}", "{enter}<U+03B1>"},
  };
  for (const auto& c : cases) {
    host.clipboard = c.clipboard;
    EXPECT_EQ(TypeOut(c.text), c.typed) << c.text;
  }
  host.clipboard = "a\r\nb";
  TypeOut("{clipboard}");
  EXPECT_EQ(typist.KeystrokeCount, 3);

  // Cut at 10,000 characters, and the user told once however often the code stands.
  host.clipboard = std::string(kMaxClipboardChars + 5, 'a');
  EXPECT_EQ(TypeOut("{clipboard}{clipboard}"), std::string(2 * kMaxClipboardChars, 'a'));
  EXPECT_EQ(std::count(journal.begin(), journal.end(), std::string("notice:") + kClipboardCut), 1);
  host.clipboard = std::string(kMaxClipboardChars, 'a');
  TypeOut("{clipboard}");
  EXPECT_EQ(At("notice:"), static_cast<std::ptrdiff_t>(journal.size()));
}

TEST_F(TypeCodesRun, TheQuestionsComeFirstAndTheirAnswersStandInPlace) {
  const struct {
    std::string text;
    std::vector<std::string> answers;
    std::string asked;
    std::string typed;
  } cases[] = {
      {"Dear {input Name}, {input Name}!", {"Ann"}, "ask:[Name=]", "Dear Ann, Ann!"},
            // Name's last answer, where City has none.
      {"{input Name,Bob} {input City,Paris}", {"Al"}, "ask:[Name=Ann][City=Paris]", "Al Paris"},
      {"{input}{INPUT ,x}", {"?"}, "ask:[Input=]", "??"},
      // Braces and control characters of an answer are characters, or nothing.
      {"{input Code}", {"{tab}\x01"}, "ask:[Code=]", "{tab}"},
  };
  for (const auto& c : cases) {
    host.answers = c.answers;
    EXPECT_EQ(TypeOut(c.text), c.typed) << c.text;
    // Asked once, before the run's window came to the front for its first key.
    ASSERT_EQ(journal.front(), c.asked) << c.text;
    EXPECT_EQ(journal[1], "front:7") << c.text;
  }
  // The last answers come back in the fields for the session.
  host.answers = std::vector<std::string>{};
  EXPECT_EQ(TypeOut("{input Name,Bob}"), "Al");
  EXPECT_EQ(journal.front(), "ask:[Name=Al]");

  // The user's keys while it is open are its answers: they stop nothing; a press or an
  // Undo meanwhile types nothing.
  host.answers = {"ok"};
  host.onAsk = [&] {
    typist.Stop();
    EXPECT_FALSE(typist.SendString(target, "nested"));
    typist.UndoTyping();
  };
  EXPECT_EQ(TypeOut("{input A}!"), "ok!");
}

// A press while an answer is being typed asks its own question and types its own answer;
// the first run's answer goes on after it.
TEST_F(TypeCodesRun, ARunStartedWhileAnAnswerIsTypedHasAnswersOfItsOwn) {
  host.answers = {"abc"};
  bool nested = false;
  host.onPump = [&] {
    if (nested) return;
    nested = true;
    host.answers = {"XY"};
    typist.SendString(target, "{input B}");
  };
  EXPECT_EQ(TypeOut("{input A}!"), "aXYbc!");
}

TEST_F(TypeCodesRun, ACancelledQuestionTypesNothingAndLeavesTheLastRunToUndo) {
  TypeOut("abc");
  journal.clear();
  host.answers.reset();
  EXPECT_FALSE(typist.SendString(target, "x{input Name}y"));
  EXPECT_THAT(journal, ElementsAre("ask:[Name=]", "front:7"));
  EXPECT_EQ(typist.KeystrokeCount, 3);

  // Without a question window nothing is asked, and nothing typed.
  TypingPorts ports = host.Ports(sink, layout, clock);
  ports.question = nullptr;
  Typist unasked{ports};
  sink.events.clear();
  EXPECT_FALSE(unasked.SendString(target, "x{input Name}"));
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(TypeCodesRun, TheCaretGoesBackToTheCursorCodeAndUndoTakesTheTextBackFromItsEnd) {
  ExpectRuns({
      {"({cursor})", "+Shift +9 -9 -Shift +Shift +0 -0 -Shift +Left -Left", 2},
      {"a{cursor}b{enter}c", "+A -A +B -B +Enter -Enter +C -C +Left -Left +Left -Left +Left -Left", 4},
      {"{cursor}a{CURSOR}b", "+A -A +B -B +Left -Left +Left -Left", 2},
      {"ab{cursor}", "+A -A +B -B", 2},
      // What Undo does not count, the caret does not go back over.
      {"{cursor}{ctrl+a}{home}x", "+Ctrl +A -A -Ctrl +Home -Home +X -X +Left -Left", 1},
  });
  EXPECT_EQ(typist.CaretMoves(), 1);

  TypeOut("({cursor})x");
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_EQ(Typed(), "<Right><Right><Back><Back><Back>");
  EXPECT_EQ(typist.CaretMoves(), 0);
  // Only the Left presses that reached the window are moved back.
  sink.accepts = 6;  // x and one Left
  TypeOut("{cursor}xy");
  EXPECT_EQ(typist.KeystrokeCount, 2);
  EXPECT_EQ(typist.CaretMoves(), 1);
}

TEST_F(TypeCodesRun, ACursorBeforeARunCountsWhatCameAfterTheProgramStarted) {
  EXPECT_EQ(TypeOut("({cursor}{run calc})"), "()<Left>");
  // The program's window came to the front: the typing ends there, and the caret stays.
  host.existing = {7, 9};
  host.onPump = [&] {
    if (std::count(journal.begin(), journal.end(), "start:CALC|")) host.foreground = 9;
  };
  EXPECT_EQ(TypeOut("({cursor}{run calc})"), "(");
  EXPECT_EQ(typist.CaretMoves(), 0);
}

TEST(TypeCodesParse, CombinationsWaitsAndQuestions) {
  using C = Combination;
  EXPECT_EQ(ParseCombination("ctrl+a"), (C{{vk::Control}, 0, U'a'}));
  EXPECT_EQ(ParseCombination("Win+Shift+F24"), (C{{vk::LWin, vk::Shift}, 0x87, 0}));
  EXPECT_EQ(ParseCombination("alt+lbrace"), (C{{vk::Menu}, 0, U'{'}));
  EXPECT_EQ(ParseCombination("ctrl+alt+ins"), (C{{vk::Control, vk::Menu}, vk::Insert, 0}));
  for (const char* none : {"ctrl+", "ctrl", "a", "ctrl+alt+del", "ctrl+delete", "shift+ctrl+"})
    EXPECT_EQ(ParseCombination(none), std::nullopt) << none;

  EXPECT_EQ(WaitMs("500"), 500);
  EXPECT_EQ(WaitMs("0010000"), 10000);
  EXPECT_EQ(WaitMs("99999999999999999999"), kMaxWaitMs);
  for (const char* none : {"", "-5", "+5", "5 ", " 5", "5ms"})
    EXPECT_EQ(WaitMs(none), std::nullopt) << none;

  EXPECT_EQ(ParseInput("Name,a,b"), (InputField{"Name", "a,b"}));
  EXPECT_EQ(ParseInput(""), (InputField{"Input", ""}));
  EXPECT_THAT(InputFieldsOf("{input B,1}{x{input A}{input B,2}{INPUT C}{input A,3}{"),
              ElementsAre(InputField{"B", "1"}, InputField{"C", ""}, InputField{"A", "3"}));
}

}  // namespace
}  // namespace ks
