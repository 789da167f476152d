#include "typing/typist.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <tuple>
#include <string>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "typing/codes.h"
#include "typing/fakes.h"
#include "typing/typist_fixture.h"

namespace ks {
namespace {

using test::Journal;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---- keystroke synthesis ----

TEST_F(TypistTest, PlainAndShiftedCharactersCountOnceEach) {
  typist.SendKey('a');
  typist.SendKey('A');
  typist.Flush();
  EXPECT_THAT(Keys(), ElementsAre("+A", "-A", "+Shift", "+A", "-A", "-Shift"));
  EXPECT_EQ(typist.KeystrokeCount, 2);
}

TEST_F(TypistTest, ModifiersGoUpInTheOrderTheyWentDown) {
  layout.Set(u'\u20AC', 0x0645);  // Ctrl+Alt+E: the euro sign on a German keyboard
  typist.SendKey(U'\u20AC');
  typist.Flush();
  EXPECT_THAT(Keys(), ElementsAre("+Alt", "+Ctrl", "+E", "-E", "-Alt", "-Ctrl"));
  EXPECT_EQ(typist.KeystrokeCount, 1);

  journal.clear();
  layout.Set(u'\u20AC', 0x0745);
  typist.SendString(target, "\xE2\x82\xAC");  // a run asks its layout anew
  EXPECT_THAT(Keys(), ElementsAre("+Shift", "+Alt", "+Ctrl", "+E", "-E", "-Shift", "-Alt", "-Ctrl"));
  EXPECT_EQ(typist.KeystrokeCount, 1);
}

// The A key alone makes an "a": without the layout's own modifier (Kana, OEM) the key
// cannot make the character.
TEST_F(TypistTest, ACharacterThatNeedsALayoutsOwnModifierGoesAsUnicode) {
  layout.Set(u'\u20AC', 0x0841);
  typist.SendKey(U'\u20AC');
  EXPECT_THAT(Keys(), ElementsAre("U+20AC"));
}

TEST_F(TypistTest, ControlCharactersTypeTheirKeys) {
  typist.SendKey('\b');
  typist.SendKey('\r');
  typist.SendKey('\t');
  EXPECT_THAT(Keys(), ElementsAre("+Back", "-Back", "+Enter", "-Enter", "+Tab", "-Tab"));
}

TEST_F(TypistTest, OnlyWholeKeystrokesCount) {
  typist.SimulateKeyDown(16);
  typist.SimulateKeyUp(16);
  EXPECT_EQ(typist.KeystrokeCount, 0);
  typist.SimulateKeystroke(13, 0);
  typist.Flush();
  EXPECT_EQ(typist.KeystrokeCount, 1);
  EXPECT_THAT(Keys(), ElementsAre("+Shift", "-Shift", "+Enter", "-Enter"));
}

TEST_F(TypistTest, EveryEventCarriesTheLayoutsScanCode) {
  typist.SendKey('A');
  typist.SimulateKeystroke(13, 0);
  ASSERT_EQ(sink.events.size(), 6u);
  const uint16_t expected[] = {0x2A, 0x1E, 0x1E, 0x2A, 0x1C, 0x1C};
  for (size_t k = 0; k < 6; ++k) EXPECT_EQ(sink.events[k].scan, expected[k]) << "event " << k;

  sink.events.clear();
  typist.SimulateKeystroke(13, 0x5C);  // a caller's own scan code is kept
  EXPECT_EQ(sink.events[0].scan, 0x5C);
  EXPECT_EQ(sink.events[1].scan, 0x5C);
}

TEST_F(TypistTest, ArrowKeysAndOnlyThoseAreExtended) {
  typist.SendString(target, "{UP}{DOWN}{LEFT}{RIGHT}");
  ASSERT_EQ(sink.events.size(), 8u);
  for (const auto& ev : sink.events) EXPECT_TRUE(ev.extended) << test::KeyName(ev.vk);
  EXPECT_THAT(Keys(), ElementsAre("+Up", "-Up", "+Down", "-Down", "+Left", "-Left", "+Right",
                                  "-Right"));
  EXPECT_EQ(sink.events[0].scan, 0x48);

  sink.events.clear();
  typist.SendString(target, "Ab{ENTER}{TAB}");
  for (const auto& ev : sink.events) EXPECT_FALSE(ev.extended) << test::KeyName(ev.vk);
}

TEST_F(TypistTest, CharacterWithoutKeyIsSentAsItself) {
  typist.SendKey(U'\u00E9');  // e acute: no key on a US keyboard
  typist.SendKey(U'\u20AC');  // euro sign, outside Latin-1
  typist.Flush();
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_TRUE(sink.events[0].unicode);
  EXPECT_EQ(sink.events[0].ch, u'\u00E9');
  EXPECT_EQ(sink.events[1].ch, u'\u20AC');
  EXPECT_EQ(typist.KeystrokeCount, 2);
}

TEST_F(TypistTest, NulTypesAndCountsNothing) {
  typist.SendKey(U'\0');
  EXPECT_THAT(sink.events, IsEmpty());
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

// ---- texts in any script ----

// Greek, an e-acute, a check mark and an emoji, in UTF-8.
const std::string kMixed = "\xCE\xB1\xCE\xB2\xC3\xA9\xE2\x9C\x93\xF0\x9F\x98\x80";

TEST_F(TypistTest, CharactersWithoutAKeyGoOutAsUnicodeAndAPairCountsOnce) {
  EXPECT_EQ(TypeOut("a" + kMixed + "{ENTER}"),
            "a<U+03B1><U+03B2><U+00E9><U+2713><U+D83D><U+DE00><Enter>");
  // One Backspace per character: most targets remove a surrogate pair with one.
  EXPECT_EQ(typist.KeystrokeCount, 7);
  journal.clear();
  sink.events.clear();
  typist.UndoTyping();
  std::string backs;
  for (int k = 0; k < 7; ++k) backs += "<Back>";
  EXPECT_EQ(Typed(), backs);
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

TEST_F(TypistTest, ACharacterALayoutKeyMakesGoesOutWithThatKey) {
  layout.Set(u'\u00E9', 0x0032);  // e acute on the 2 key, as on a French keyboard
  layout.Set(u'\u03B1', 0x0141);  // alpha on Shift+A, as on a Greek one
  typist.SendString(target, kMixed);
  EXPECT_THAT(Keys(), ElementsAre("+Shift", "+A", "-A", "-Shift", "U+03B2", "+2", "-2", "U+2713",
                                  "U+D83D", "U+DE00"));
  EXPECT_EQ(typist.KeystrokeCount, 5);
}

TEST_F(TypistTest, ClockTextAndListPicksInAnyScriptAreTypedWhole) {
  clock.day = "\xCE\xA4\xCE\xB5\xCF\x84\xCE\xAC\xCF\x81\xCF\x84\xCE\xB7";  // Tetarti
  EXPECT_EQ(TypeOut("{DAY}"), "<U+03A4><U+03B5><U+03C4><U+03AC><U+03C1><U+03C4><U+03B7>");
  host.pick = "\xE6\x97\xA5\xE6\x9C\xAC";
  EXPECT_EQ(TypeOut("{LIST \xE6\x97\xA5\xE6\x9C\xAC,\xF0\x9F\x98\x80}"), "<U+65E5><U+672C>");
  EXPECT_THAT(host.lastEntries, ElementsAre("\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80"));
}

TEST_F(TypistTest, ArgumentsAreCutAt255UnitsNeverInsideACharacter) {
  const std::string emoji = "\xF0\x9F\x98\x80";
  std::string program(250, 'p');
  for (int k = 0; k < 4; ++k) program += emoji;  // units 251..258
  typist.SendString(target, "{RUN " + program + "}");
  // 250 + two whole pairs = 254 units; the third pair would end at 256.
  const std::string want = std::string(250, 'P') + emoji + emoji;
  EXPECT_THAT(journal, ::testing::Contains("start:" + want + "|"));
}

// ---- the interpreter ----

TEST_F(TypistTest, KeyCodesIgnoreCase) {
  ExpectTyped({{"{enter}{Enter}{ENTER}", "<Enter><Enter><Enter>"},
               {"{tab}{up}{down}{left}{right}", "<Tab><Up><Down><Left><Right>"}});
}

TEST_F(TypistTest, UnknownCodesVanishWithTheirBraces) {
  ExpectTyped({{"{ENTER }", ""}, {"{ ENTER}", ""}, {"{}", ""}, {"x{y}z", "xz"}, {"{{ENTER}", ""},
               {"{ENTER}}", "<Enter>}"}, {"{RUN}{LIST}", ""}});
  EXPECT_THAT(journal, ::testing::Not(::testing::Contains(::testing::StartsWith("start:"))));
  EXPECT_THAT(journal, ::testing::Not(::testing::Contains(::testing::StartsWith("list:"))));
}

TEST_F(TypistTest, BraceWithoutCloseIsTyped) {
  ExpectTyped({{"a{b", "a{b"}, {"}", "}"}, {"{x}b{c{", "b{c{"}});
  EXPECT_EQ(typist.KeystrokeCount, 4);
}

TEST_F(TypistTest, OnlyAsciiLettersAreUpperCased) {
  EXPECT_EQ(UpperAscii("enter \xE9z{}"), "ENTER \xE9Z{}");
  // Nothing else is folded, so a code with a non-ASCII letter matches nothing.
  EXPECT_EQ(TypeOut("{\xC3\xA9nter}{ENTER}"), "<Enter>");
}

TEST_F(TypistTest, ClockCodesTypeTheirTextLiterally) {
  EXPECT_EQ(TypeOut("{DATE}{ENTER}"), "12/31/26<Enter>");
  EXPECT_EQ(TypeOut("{day} {Month} {TIME}"), "Thursday December 11:59:58 PM");
  clock.date = "{ENTER}";
  EXPECT_EQ(TypeOut("{DATE}"), "{ENTER}");
}

TEST_F(TypistTest, CountCoversCharactersKeysAndClockText) {
  typist.SendString(target, "ab{ENTER}{DATE}");
  EXPECT_EQ(typist.KeystrokeCount, 11);
}

TEST_F(TypistTest, EachItemIsFollowedByOnePumpAndTheRunEndsWithItsKeysSent) {
  journal.clear();
  typist.SendString(target, "a{DATE}{x}{");
  // Four items: a, the date (its eight characters back to back), the vanishing {x}
  // and the literal {. A short run sends its keys once, at its end.
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "pump"), 4);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "|"), 1);
  EXPECT_EQ(journal.back(), "|");
  const auto firstDateKey = std::find(journal.begin(), journal.end(), "+1");
  const auto lastDateKey = std::find(journal.begin(), journal.end(), "+6");
  ASSERT_NE(lastDateKey, journal.end());
  EXPECT_EQ(std::count(firstDateKey, lastDateKey, "pump"), 0);
}

TEST_F(TypistTest, ALongRunSendsItsKeysInBatchesBeforeItsPumps) {
  journal.clear();
  typist.SendString(target, std::string(300, 'a'));  // 600 key events
  ASSERT_EQ(std::count(journal.begin(), journal.end(), "+A"), 300);
  // A batch goes out as soon as it is full, before the pump that follows it, and what
  // is left goes out when the run ends.
  std::size_t keys = 0, flushes = 0;
  for (size_t k = 0; k < journal.size(); ++k) {
    if (journal[k] == "+A" || journal[k] == "-A") ++keys;
    if (journal[k] == "|") {
      ++flushes;
      EXPECT_TRUE(keys >= kFlushBatch || k + 1 == journal.size()) << "a flush of " << keys;
      keys = 0;
    }
  }
  EXPECT_EQ(flushes, 3u);
  EXPECT_EQ(journal.back(), "|");
}

// The program's key watch, in the journal.
struct JournalWatch : KeyWatch {
  explicit JournalWatch(Journal& j) : journal(j) {}
  void StandAside() override { journal.push_back("aside"); }
  void Return() override { journal.push_back("back"); }
  Journal& journal;
};

// The first batch of a run goes out at once, so nobody could stop it: the watch stands
// aside for it alone, and the later batches can still be stopped by a key of the user's.
TEST_F(TypistTest, TheWatchStandsAsideForTheFirstBatchOfARunOrAnUndoAlone) {
  JournalWatch watch{journal};
  TypingPorts ports = host.Ports(sink, layout, clock);
  ports.watch = &watch;
  Typist watched{ports};
  auto flushes = [&] {
    std::vector<std::string> out;
    for (const std::string& e : journal)
      if (e == "|" || e == "aside" || e == "back") out.push_back(e);
    journal.clear();
    return out;
  };
  journal.clear();
  watched.SendString(7, std::string(300, 'a'));
  EXPECT_THAT(flushes(), ElementsAre("aside", "|", "back", "|", "|"));
  watched.UndoTyping();
  EXPECT_THAT(flushes(), ElementsAre("aside", "|", "back", "|", "|"));
  // Keys before a program start are a first batch too; a run without keys sends none.
  watched.SendString(7, "a{RUN x}b");
  EXPECT_THAT(flushes(), ElementsAre("aside", "|", "back", "|"));
  watched.SendString(7, "");
  EXPECT_THAT(flushes(), ElementsAre("|"));
}

TEST_F(TypistTest, EmptyTextStillResetsTheCount) {
  typist.KeystrokeCount = 5;
  typist.SendString(target, "");
  EXPECT_EQ(typist.KeystrokeCount, 0);
  EXPECT_THAT(sink.events, IsEmpty());
}

TEST_F(TypistTest, NothingIsTypedWithoutATarget) {
  typist.KeystrokeCount = 5;
  target = 0;
  typist.SendString(target, "abc");
  EXPECT_THAT(journal, IsEmpty());
  EXPECT_EQ(typist.KeystrokeCount, 5);

  // A target that has closed since it was recorded is no target either.
  target = 99;
  typist.SendString(target, "abc");
  EXPECT_THAT(Keys(), IsEmpty());
  EXPECT_EQ(typist.KeystrokeCount, 5);
}

// ---- program launch ----

TEST_F(TypistTest, RunHandsTheShellTheUpperCasedProgramAndParameters) {
  TypeOut("{run notepad.exe}");
  EXPECT_THAT(journal, ::testing::Contains("start:NOTEPAD.EXE|"));
  TypeOut("{RUN notepad.exe,c:\\readme.txt}");
  EXPECT_THAT(journal, ::testing::Contains("start:NOTEPAD.EXE|C:\\README.TXT"));
  TypeOut("{RUN }");
  EXPECT_THAT(journal, ::testing::Contains("start:|"));
  TypeOut("{RUN prog, -x}");
  EXPECT_THAT(journal, ::testing::Contains("start:PROG| -X"));
  TypeOut("{RUN a,b,c}");
  EXPECT_THAT(journal, ::testing::Contains("start:A|B,C"));
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

TEST_F(TypistTest, RunArgumentsAreCutSilently) {
  TypeOut("{RUN " + std::string(300, 'p') + "}");
  EXPECT_THAT(journal, ::testing::Contains("start:" + std::string(255, 'P') + "|"));

  journal.clear();
  typist.StartProgram("x," + std::string(300, 'q'));
  EXPECT_THAT(journal, ::testing::Contains("start:x|" + std::string(255, 'q')));
}

TEST_F(TypistTest, FailedStartIsReportedAndTypingGoesOn) {
  host.startSucceeds = false;
  EXPECT_EQ(TypeOut("{RUN calc,-a}x"), "x");
  auto start = std::find(journal.begin(), journal.end(), "start:CALC|-A");
  ASSERT_NE(start, journal.end());
  EXPECT_EQ(*(start + 1), "msg:Unable to start CALC");
  EXPECT_LT(start - journal.begin(), std::find(journal.begin(), journal.end(), "+X") - journal.begin());
}

TEST_F(TypistTest, KeysBeforeARunOrListCodeAreSentAndTakenBeforeTheProgramOrPicker) {
  // A program or the picker takes the foreground: what came before must be in the
  // target by then.
  for (const char* text : {"r{RUN prog}", "r{LIST a,b}"}) {
    journal.clear();
    TypeOut(text);
    const auto key = std::find(journal.begin(), journal.end(), "-R");
    const auto flush = std::find(key, journal.end(), "|");
    const auto taken = std::find(flush, journal.end(), "taken:7/2");  // the key of r, down and up
    ASSERT_NE(taken, journal.end()) << text;
    const std::string next = std::string(text).find("RUN") != std::string::npos ? "start:" : "list:";
    EXPECT_EQ((taken + 1)->rfind(next, 0), 0u) << text << ": " << *(taken + 1);
  }
}

// ---- list picker ----

TEST_F(TypistTest, ListEntriesKeepTheirCase) {
  TypeOut("{LIST Yes,No}");
  EXPECT_THAT(host.lastEntries, ElementsAre("Yes", "No"));
  TypeOut("{list Monday,Tuesday,Friday}");
  EXPECT_THAT(host.lastEntries, ElementsAre("Monday", "Tuesday", "Friday"));
  TypeOut("{LIST }");
  EXPECT_THAT(host.lastEntries, ElementsAre(""));
  TypeOut("{LIST a,,b}");
  EXPECT_THAT(host.lastEntries, ElementsAre("a", "", "b"));
  TypeOut("{LIST x}");
  EXPECT_THAT(host.lastEntries, ElementsAre("x"));
  TypeOut("{LIST a{b,c}");
  EXPECT_THAT(host.lastEntries, ElementsAre("a{b", "c"));
}

TEST_F(TypistTest, PickIsTypedLiterallyIntoTheTarget) {
  host.pick = "a{b}";
  EXPECT_EQ(TypeOut("{LIST a{b,c}z"), "a{b}z");
  EXPECT_EQ(typist.KeystrokeCount, 5);
  const auto list = std::find(journal.begin(), journal.end(), "list:[a{b][c]");
  ASSERT_NE(list, journal.end());
  EXPECT_EQ(*(list - 2), "|");  // nothing left buffered while the picker is up
  EXPECT_EQ(*(list - 1), "taken:7/0");
  EXPECT_EQ(*(list + 1), "front:7");
  EXPECT_EQ(*(list + 2), "+A");
  // The pick is sent before the target is asked to the front once more.
  const auto again = std::find(list + 2, journal.end(), "front:7");
  ASSERT_NE(again, journal.end());
  EXPECT_EQ(*(again - 1), "|");
}

TEST_F(TypistTest, ClosedPickerTypesNothingButTheRest) {
  host.pick.reset();
  EXPECT_EQ(TypeOut("{LIST a,b}z"), "z");
  const auto list = std::find(journal.begin(), journal.end(), "list:[a][b]");
  ASSERT_NE(list, journal.end());
  EXPECT_EQ(*(list + 1), "front:7");

  host.pick = "";
  EXPECT_EQ(TypeOut("{LIST a,,b}"), "");
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

TEST_F(TypistTest, LongListIsCutBeforeTheCommaIsAdded) {
  TypeOut("{LIST " + std::string(250, 'a') + "," + std::string(20, 'b') + "}");
  EXPECT_THAT(host.lastEntries, ElementsAre(std::string(250, 'a'), std::string(4, 'b')));
}

TEST_F(TypistTest, ListWithoutTrailingCommaEnds) {
  typist.SelectFromList("a,b");
  EXPECT_THAT(host.lastEntries, ElementsAre("a", "b"));
  typist.SelectFromList("solo");
  EXPECT_THAT(host.lastEntries, ElementsAre("solo"));
}

// ---- re-entry from the message pump ----

TEST_F(TypistTest, RunStartedFromThePumpDoesNotDisturbTheOuterRun) {
  std::string button = "ab";
  bool nested = false;
  host.onPump = [&] {
    if (nested) return;
    nested = true;
    button = "changed under the outer run";
    typist.SendString(target, "Z");
  };
  typist.SendString(target, button);
  EXPECT_EQ(Typed(), "aZb");
  // The nested run reset the count; the outer run counted on from there.
  EXPECT_EQ(typist.KeystrokeCount, 2);
}

// ---- undo ----

TEST_F(TypistTest, UndoSendsOneBackspacePerKeystrokeOnce) {
  typist.SendString(target, "ab{ENTER}");
  journal.clear();
  typist.UndoTyping();
  EXPECT_THAT(journal, ElementsAre("front:7", "+Back", "-Back", "pump", "+Back", "-Back",
                                   "pump", "+Back", "-Back", "pump", "|"));
  EXPECT_EQ(typist.KeystrokeCount, 0);

  journal.clear();
  typist.UndoTyping();
  EXPECT_THAT(Keys(), IsEmpty());
}

TEST_F(TypistTest, AnUndoFromThePumpDuringAnUndoFindsNothingLeft) {
  typist.SendString(target, "abc");
  int nested = 0;
  host.onPump = [&] {
    if (nested++ == 0) typist.UndoTyping();
  };
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_EQ(Typed(), "<Back><Back><Back>");
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

// An abbreviation: its Backspaces go out first in the same run, and Undo takes back the
// text alone (the abbreviation is not typed back).
TEST_F(TypistTest, BackspacesBeforeTheTextArePartOfTheRunButNotOfItsUndo) {
  sink.events.clear();
  typist.SendString(target, "Hi{ENTER}", Erase{4, 4});
  EXPECT_EQ(Typed(), "<Back><Back><Back><Back>Hi<Enter>");
  EXPECT_EQ(typist.KeystrokeCount, 3);
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_EQ(Typed(), "<Back><Back><Back>");
}

// A key of the user's stops the run after the character under way; what was typed stays
// and counts for Undo, and the next run is not stopped by it.
TEST_F(TypistTest, StopEndsTheRunUnderWayAndNoOtherRun) {
  int pumps = 0;
  host.onPump = [&] {
    if (++pumps == 2) typist.Stop();
  };
  EXPECT_EQ(TypeOut("abcdef"), "ab");
  EXPECT_EQ(typist.KeystrokeCount, 2);
  EXPECT_EQ(TypeOut("xyz"), "xyz");
}

TEST_F(TypistTest, UndoBeforeTypingSendsNothing) {
  typist.UndoTyping();
  EXPECT_THAT(journal, IsEmpty());
}

// ---- a target the keys cannot reach ----

TEST_F(TypistTest, NothingIsTypedOnceTheTargetCannotBeBroughtForward) {
  // Refused at the start: no key, and the last run stays undoable.
  typist.SendString(target, "abc");
  host.frontAnswers = {false};
  EXPECT_EQ(TypeOut("xyz"), "");
  EXPECT_EQ(typist.KeystrokeCount, 3);
  host.frontAnswers = {false};
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_EQ(Typed(), "");
  EXPECT_EQ(typist.KeystrokeCount, 3);

  // Lost after a pick: neither the pick nor the rest goes anywhere, and no second try.
  host.pick = "Tuesday";
  host.frontAnswers = {true, false};
  EXPECT_EQ(TypeOut("a{LIST Monday,Tuesday}b"), "a");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "front:7 refused"), 1);

  // Lost after a message in the middle of the run: the rest stays untyped, also in the
  // run the failed one was nested in.
  host.startSucceeds = false;
  host.frontAnswers = {true, true, false};
  bool nested = false;
  host.onPump = [&] {
    if (!nested) {
      nested = true;
      typist.SendString(target, "x{RUN nothing.exe}y");
    }
  };
  EXPECT_EQ(TypeOut("ab"), "ax");
}

// ---- whatever the user does meanwhile ----

TEST_F(TypistTest, ARunTypesOnlyWhileItsWindowIsInFront) {
  // The tracker may take another window as the target meanwhile: the run keeps its own.
  host.existing = {7, 9};
  host.onPump = [&] { target = 9; };
  EXPECT_EQ(TypeOut(std::string(300, 'a')), std::string(300, 'a'));
  EXPECT_EQ(typist.UndoWindow(), 7u);

  // Another window in front: the batch under way goes nowhere, and nothing after it.
  target = 7;
  int pumps = 0;
  host.onPump = [&] {
    if (++pumps == 200) host.foreground = 9;
  };
  EXPECT_EQ(TypeOut(std::string(300, 'a')), std::string(128, 'a'));  // the first batch
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "discard"), 1);
  EXPECT_EQ(std::count(journal.begin(), journal.end(), std::string("notice:") + kStoppedForAnotherWindow), 1);
  EXPECT_EQ(pumps, 256);  // the run ended at the batch it could not send
  EXPECT_EQ(typist.KeystrokeCount, 128);

  // Undo brings the run's window back and takes back what landed there.
  host.onPump = nullptr;
  sink.events.clear();
  journal.clear();
  typist.UndoTyping();
  EXPECT_EQ(journal[0], "front:7");
  EXPECT_EQ(Typed(), [] {
    std::string backs;
    for (int k = 0; k < 128; ++k) backs += "<Back>";
    return backs;
  }());
}

TEST_F(TypistTest, UndoTakesBackOnlyInTheWindowTypedInto) {
  host.existing = {7, 8};
  typist.SendString(target, "abc");
  // The user went on in another window, which is now the target and in front.
  target = host.foreground = 8;
  journal.clear();
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_THAT(journal, ::testing::Contains("front:7"));
  EXPECT_EQ(Typed(), "<Back><Back><Back>");

  // The window cannot come back: no Backspace anywhere, and the run stays to undo.
  target = 7;
  typist.SendString(target, "abc");
  host.foreground = 8;
  host.frontAnswers = {false};
  sink.events.clear();
  typist.UndoTyping();
  EXPECT_EQ(Typed(), "");
  EXPECT_EQ(typist.KeystrokeCount, 3);

  // It closed: the user is told, and nothing is left to take back.
  host.existing = {8};
  journal.clear();
  typist.UndoTyping();
  EXPECT_THAT(journal, ElementsAre("msg:The window typed into has been closed; there is nothing to undo."));
  EXPECT_EQ(typist.KeystrokeCount, 0);
}

// Each text, typed into window 7 as set up, reaches the system as these events.
TEST_F(TypistTest, KeysAreChosenAsTheTargetMakesThemWhateverItsLayoutCapsLockOrInputMethod) {
  const struct {
    const char* what;
    std::function<void()> setUp;
    std::string text;
    std::string sent;
  } cases[] = {
      {"Caps Lock turns the Shift of letters alone", [&] { host.capsLock = true; }, "Ab1",
       "+A -A +Shift +B -B -Shift +1 -1"},
      {"the target's own layout: '/' is Shift+7 on a German one",
       [&] {
         layout.Add(2, 7);
         layout.Set('/', 0x137, 2);
         layout.Set('#', 0xBF, 2);
       },
       "/#", "+Shift +7 -7 -Shift +0xBF -0xBF"},
      {"an accent key of the layout goes as the character itself",
       [&] { layout.SetDead(0xDE, 0, 0); }, "'e", "U+0027 +E -E"},
      {"an accent the user left waiting is taken by a blank and its Backspace",
       [&] { host.accent = true; }, "a", "+Space -Space +Back -Back +A -A"},
      {"an open input method gets characters, Enter stays a key",
       [&] { host.inputMethod = true; }, "a{ENTER}", "U+0061 +Enter -Enter"},
  };
  for (const auto& c : cases) {
    host.capsLock = host.accent = host.inputMethod = false;
    layout.windows.clear();
    layout.SetDead(0, 0, 0);  // no key is an accent unless a case says so
    c.setUp();
    sink.events.clear();
    typist.SendString(target, c.text);
    EXPECT_EQ(Sent(sink), c.sent) << c.what;
  }
  // The accent's blank and Backspace are no part of what Undo takes back.
  EXPECT_EQ(typist.KeystrokeCount, 2);
  host.inputMethod = false;

  // Scan codes come from the target's layout too.
  layout.Add(3, 7);
  layout.SetScan('Q', 0x1E, 3);  // Q where A is, as on a French keyboard
  sink.events.clear();
  typist.SendString(target, "q");
  ASSERT_EQ(sink.events.size(), 2u);
  EXPECT_EQ(sink.events[0].scan, 0x1E);
}

TEST_F(TypistTest, ARunWaitsForTheUsersHandToLetGoOfTheModifiers) {
  host.heldPolls = 3;  // the look before the wait, and two during it
  journal.clear();
  EXPECT_TRUE(typist.SendString(target, "a"));
  EXPECT_EQ(journal[0], "wait:10");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "wait:10"), 2);
  EXPECT_EQ(Sent(sink), "+A -A");

  // Still held after the limit: nothing typed, and the user told why.
  host.heldPolls = 1000;
  journal.clear();
  sink.events.clear();
  EXPECT_FALSE(typist.SendString(target, "a"));
  EXPECT_EQ(journal.back(), "msg:" + KeysStillHeldMessage());
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "wait:10"), kReleaseWaitMs / kReleasePollMs);
  EXPECT_THAT(sink.events, IsEmpty());

  // A key pressed meanwhile stops the run before it types anything.
  host.heldPolls = 1000;
  host.onWait = [&] { typist.Stop(); };
  EXPECT_FALSE(typist.SendString(target, "a"));
  EXPECT_THAT(sink.events, IsEmpty());
}

TEST_F(TypistTest, APacedRunSendsOneCharacterAtATimeWithItsGap) {
  host.pace = 25;
  journal.clear();
  typist.SendString(target, "Ab{ENTER}");
  std::vector<std::string> steps;
  for (const std::string& e : journal)
    if (e == "|" || e.rfind("wait:", 0) == 0 || e[0] == '+' || e[0] == '-') steps.push_back(e);
  EXPECT_THAT(steps, ElementsAre("+Shift", "+A", "-A", "-Shift", "|", "wait:25", "+B", "-B", "|",
                                 "wait:25", "+Enter", "-Enter", "|", "wait:25", "|"));

  // A key of the user's during a gap stops the run there.
  host.onWait = [&] { typist.Stop(); };
  EXPECT_EQ(TypeOut("abc"), "a");
  EXPECT_EQ(typist.KeystrokeCount, 1);
}

TEST_F(TypistTest, KeysTheSystemRefusesStopTheRunAndCountForNothing) {
  // +Shift +A -A -Shift +B -B: a keystroke counts once its key came up in the system.
  for (const auto& [accepted, typed, count] :
       {std::tuple{3u, "+Shift +A -A", 1}, std::tuple{2u, "+Shift +A", 0}}) {
    sink.events.clear();
    sink.accepts = accepted;
    journal.clear();
    typist.SendString(target, "Ab");
    EXPECT_EQ(Sent(sink), typed);
    EXPECT_EQ(typist.KeystrokeCount, count);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), std::string("notice:") + kStoppedRefused), 1);
  }
  // A modifier that went down is let go again.
  EXPECT_THAT(Keys(), ::testing::Contains("-Shift"));
}

TEST_F(TypistTest, OneBackspaceRuleForUndoAndAbbreviations) {
  const struct {
    const char* focusClass;
    bool wine, half;
  } classes[] = {{"Edit", false, true},         {"EDIT", true, true},
                 {"RichEdit20W", false, false}, {"RichEdit20W", true, true},
                 {"RICHEDIT50W", true, true},   {"Chrome_RenderWidgetHostHWND", true, false},
                 {"Edit2", false, false}};
  for (const auto& c : classes)
    EXPECT_EQ(BackspaceRemovesHalfPair(c.focusClass, c.wine), c.half) << c.focusClass;

  // An abbreviation of two characters, one beyond U+FFFF, before a text with the same.
  for (const bool half : {false, true}) {
    host.halfPair = half;
    sink.events.clear();
    typist.SendString(target, "\xF0\x9F\x98\x80", Erase{3, 2});
    const std::string backs = Typed().substr(0, Typed().find("<U+"));
    EXPECT_EQ(backs, half ? "<Back><Back><Back>" : "<Back><Back>");
    EXPECT_EQ(typist.KeystrokeCount, half ? 2 : 1);
  }
}

}  // namespace
}  // namespace ks
