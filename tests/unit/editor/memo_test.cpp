#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "editor/memo.h"
#include "typing/codes.h"

namespace ks {
namespace {

MemoText At(std::string text, size_t caret) { return MemoText{std::move(text), caret, caret}; }

// The key was taken: no character goes on, and the memo becomes `want`.
::testing::AssertionResult Took(const MemoChar& key, const MemoText& want) {
  if (key.Char != 0) return ::testing::AssertionFailure() << "the character goes on";
  if (!key.Replace) return ::testing::AssertionFailure() << "the memo stays";
  if (!(*key.Replace == want))
    return ::testing::AssertionFailure() << "the memo becomes [" << key.Replace->Text << "] at "
                                         << key.Replace->SelEnd;
  return ::testing::AssertionSuccess();
}

// ---- Tab, Enter and the arrow keys ----

TEST(MemoKeysCodes, TabAndEnterWriteCodesAtTheCaretAndCancelTheKey) {
  MemoKeys keys;
  EXPECT_TRUE(Took(keys.Char(At("ab", 1), '\t', false), At("a{tab}b", 6)));
  EXPECT_TRUE(Took(keys.Char(At("a{tab}b", 6), '\r', false), At("a{tab}{enter}\r\nb", 15)));
}

// A recorded brace is a character of the other program; typed by hand it writes a code.
TEST(MemoKeysCodes, RecordedBracesBecomeTheirCodes) {
  MemoKeys keys;
  EXPECT_TRUE(Took(keys.Char(At("ab", 1), '{', true), At("a{lbrace}b", 9)));
  EXPECT_TRUE(Took(keys.Char(MemoText{"a{x", 1, 3}, '}', true), At("a{rbrace}", 9)));
  EXPECT_TRUE(Took(keys.Char(At("{enter}\r\n", 7), '}', true), At("{enter}\r\n{rbrace}", 17)));
  EXPECT_EQ(keys.Char(At("a", 1), '{', false).Char, '{');
  // Shift and [ from a recorder of base characters is a brace too.
  keys.SetUnshiftedRecording(true);
  keys.KeyDown(At("", 0), kVkShift);
  EXPECT_TRUE(Took(keys.Char(At("", 0), '[', true), At("{lbrace}", 8)));
  // One Backspace takes the code whole.
  EXPECT_EQ(BackspaceOverCode(At("x{rbrace}", 9)), At("x", 1));
}

TEST(MemoKeysCodes, ArrowOverASelectionReplacesIt) {
  MemoKeys keys;
  // "world" selected, backwards as well as forwards.
  EXPECT_EQ(keys.KeyDown(MemoText{"hello world!", 6, 11}, kVkLeft), At("hello {left}!", 12));
  EXPECT_EQ(keys.KeyDown(MemoText{"hello world!", 11, 6}, kVkDown), At("hello {down}!", 12));
  EXPECT_EQ(keys.KeyDown(At("", 0), kVkUp), At("{up}", 4));
  EXPECT_EQ(keys.KeyDown(At("x", 1), kVkRight), At("x{right}", 8));
  // Other keys are the memo's own.
  EXPECT_EQ(keys.KeyDown(At("x", 1), 36), std::nullopt);  // Home
  EXPECT_EQ(keys.KeyDown(At("x", 1), 46), std::nullopt);  // Delete
}

TEST(MemoKeysCodes, PlainCharactersPassUnchanged) {
  MemoKeys keys;
  MemoChar c = keys.Char(At("ab", 2), 'c', true);
  EXPECT_EQ(c.Char, 'c');
  EXPECT_FALSE(c.Replace);
}

// ---- Backspace ----

TEST(MemoBackspace, RemovesAWholeCodeInAnyCase) {
  MemoKeys keys;
  EXPECT_TRUE(Took(keys.Char(At("abc{tab}", 8), '\b', false), At("abc", 3)));
  EXPECT_EQ(BackspaceOverCode(At("x{Date}y", 7)), At("xy", 1));
  EXPECT_EQ(BackspaceOverCode(At("{ENTER}", 7)), At("", 0));
  for (const char* code : {"{up}", "{down}", "{left}", "{right}", "{day}", "{month}", "{time}",
                           "{del}", "{F12}", "{ctrl+a}", "{Ctrl+Shift+End}", "{clipboard}",
                           "{cursor}"}) {
    const std::string text = std::string("a") + code;
    EXPECT_EQ(BackspaceOverCode(At(text, text.size())), At("a", 1)) << code;
  }
}

TEST(MemoBackspace, OrdinaryBackspaceElsewhere) {
  // A "}" closing no listed code, one with no "{" before it, the caret not after "}",
  // the caret at the start, a selection, an empty memo.
  for (const MemoText& m : {At("{RUN notepad}", 13), At("a}", 2), At("{tab}x", 6),
                            At("{tab}", 0), MemoText{"{tab}", 0, 5}, At("", 0),
                            At("{x{tab}}", 8), At("{ tab}", 6), At("{wait 500}", 10),
                            At("{input Name}", 12)}) {
    EXPECT_EQ(BackspaceOverCode(m), std::nullopt) << m.Text;
    MemoKeys keys;
    MemoChar bs = keys.Char(m, '\b', false);
    EXPECT_EQ(bs.Char, '\b') << m.Text;
    EXPECT_FALSE(bs.Replace);
  }
  // The nearest "{" counts: only the last code goes.
  EXPECT_EQ(BackspaceOverCode(At("{tab}{tab}", 10)), At("{tab}", 5));
}

// ---- the change rule ----

// Each text pasted or typed into the memo, and what the change rule makes of it.
void ExpectChanges(std::initializer_list<std::pair<const char*, const char*>> cases) {
  for (const auto& [text, want] : cases) EXPECT_EQ(NormalizeMemoText(text), want) << text;
}

TEST(MemoChange, PastedLineBreaksAndTabsBecomeCodes) {
  ExpectChanges({{"first\r\nsecond", "first{enter}\r\nsecond"},
                 {"a\tb", "a{tab}b"},
                 {"a\r\n\r\nb", "a{enter}\r\n{enter}\r\nb"},
                 {"line\r\n", "line{enter}\r\n"}});
  // A break right after an {enter} is the break the field shows for it.
  ExpectChanges({{"a{enter}\r\nb", "a{enter}\r\nb"},
                 {"a{ENTER}\r\n\r\nb", "a{ENTER}\r\n{enter}\r\nb"}});
}

TEST(MemoChange, ALoneLineFeedIsKeptThroughAnEdit) {
  // A stored text with a lone LF opened in the editor and stored again unchanged.
  const std::string stored = "unix\nlines\n!";
  EXPECT_EQ(NormalizeMemoText(stored), stored);
  EXPECT_EQ(NormalizeMemoText("a\n\r\nb\n"), "a\n{enter}\r\nb\n");
  EXPECT_EQ(CleanButtonText(NormalizeMemoText(stored)), stored);
}

TEST(MemoChange, TheLastCharacterIsLeftAlone) {
  ExpectChanges({{"abc\t", "abc\t"}, {"\t", "\t"}, {"abc\r", "abc\r"}, {"", ""}});
}

TEST(MemoChange, ALoneCarriageReturnKeepsTheNextCharacter) {
  ExpectChanges({{"a\rbc", "a{enter}\r\nbc"}});
}

TEST(MemoChange, ASecondPassFindsNothing) {
  const std::string once = NormalizeMemoText("x\r\ny\tz\t");
  EXPECT_EQ(once, "x{enter}\r\ny{tab}z\t");
  EXPECT_EQ(NormalizeMemoText(once), once);
}

// ---- the break the field shows after each {enter} ----

TEST(MemoShownBreak, StoredTextsShowABreakAfterEachEnterAndComeBackWithout) {
  const std::pair<const char*, const char*> cases[] = {
      {"Kind regards,{enter}Bea{ENTER}", "Kind regards,{enter}\r\nBea{ENTER}\r\n"},
      {"{enter}{enter}", "{enter}\r\n{enter}\r\n"},
      {"{x{Enter}y", "{x{Enter}\r\ny"},
      {"unix\nline{enter}\n", "unix\nline{enter}\r\n\n"},
      {"{enter{tab}}", "{enter{tab}}"},
  };
  for (const auto& [stored, shown] : cases) {
    EXPECT_EQ(MemoShown(stored), shown) << stored;
    EXPECT_EQ(MemoStored(shown), stored) << stored;
    EXPECT_EQ(NormalizeMemoText(shown), shown) << stored;  // the change rule leaves it
  }
}

TEST(MemoShownBreak, BackspaceTakesAnEnterWithItsBreakFromEitherSide) {
  MemoKeys keys;
  // From the start of the next line, and from between the code and its break.
  EXPECT_TRUE(Took(keys.Char(At("a{enter}\r\nb", 10), '\b', false), At("ab", 1)));
  EXPECT_TRUE(Took(keys.Char(At("a{ENTER}\r\nb", 8), '\b', false), At("ab", 1)));
  EXPECT_EQ(BackspaceOverCode(At("{tab}\r\nb", 7)), std::nullopt);  // no break of a code
}

TEST(MemoShownBreak, WhatIsTypedBetweenAnEnterAndItsBreakGoesAfterTheBreak) {
  // End on a line puts the caret there; a key must not split the code from its break.
  MemoKeys keys;
  const MemoText atEnd = At("a{enter}\r\nb", 8);
  const MemoChar x = keys.Char(atEnd, 'x', false);
  EXPECT_EQ(x.Char, U'x');
  EXPECT_EQ(x.Replace, At("a{enter}\r\nb", 10));
  EXPECT_TRUE(Took(keys.Char(atEnd, '\r', false), At("a{enter}\r\n{enter}\r\nb", 19)));
  EXPECT_EQ(keys.KeyDown(atEnd, kVkLeft), At("a{enter}\r\n{left}b", 16));
  EXPECT_EQ(PasteIntoMemo(atEnd, "yz"), At("a{enter}\r\nyzb", 12));
  EXPECT_FALSE(keys.Char(At("a{enter}\r\nb", 10), 'x', false).Replace);
}

// A long text pasted into the field stays in the lines it came in. As one line, the edit
// control lays it out whole at every change: under Wine a paste of 40,000 characters took
// seconds and every key after it was slow.
TEST(MemoPaste, ALongPasteStaysInShortLinesWhicheverWayItComes) {
  std::string letter;
  while (letter.size() < 40000) letter += "Dear Ms. Smith,\tthank you for order #4711.\r\n";
  auto longestLine = [](const std::string& text) {
    size_t longest = 0, from = 0;
    for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
      longest = std::max(longest, at - from);
    return std::max(longest, text.size() - from);
  };
  // Pasted by the field's own handler, and by the control with the change rule after it.
  const MemoText ours = PasteIntoMemo(At("", 0), letter);
  const MemoText control = NormalizeMemo(At(letter, letter.size()));
  for (const MemoText& m : {ours, control}) {
    EXPECT_LE(longestLine(m.Text), 60u);
    EXPECT_EQ(m.Caret(), m.Text.size());
    EXPECT_EQ(MemoStored(m.Text), CleanButtonText(letter));
  }
  // Text copied from the field comes back as it was, with no second {enter} per break.
  EXPECT_EQ(PasteIntoMemo(At("", 0), "a{enter}\r\nb").Text, "a{enter}\r\nb");
  EXPECT_EQ(PasteIntoMemo(MemoText{"[old]", 1, 4}, "x\ry\tz\n").Text, "[x{enter}\r\ny{tab}z\n]");
}

TEST(MemoPaste, OnlyTheChangedUnitsAreReplaced) {
  const std::u16string text(40000, u'a');
  std::u16string typed = text;
  typed.insert(20000, u"x");
  EXPECT_EQ(ChangeBetween(text, typed), (Utf16Change{20000, 20000, 20001}));
  EXPECT_EQ(ChangeBetween(typed, text), (Utf16Change{20000, 20001, 20000}));
  EXPECT_EQ(ChangeBetween(text, text), (Utf16Change{40000, 40000, 40000}));
  EXPECT_EQ(ChangeBetween(u"", u"ab"), (Utf16Change{0, 0, 2}));
  EXPECT_EQ(ChangeBetween(u"abab", u"ab"), (Utf16Change{2, 4, 2}));
  // A pair is replaced whole where only one of its halves differs.
  EXPECT_EQ(ChangeBetween(u"x\U0001F600y", u"x\U0001F601y"), (Utf16Change{1, 3, 3}));
  EXPECT_EQ(ChangeBetween(u"\U0001F600", u"\U0001F400"), (Utf16Change{0, 2, 2}));
  EXPECT_EQ(ChangeBetween(u"a\U0001F600", u"\U0001F600"), (Utf16Change{0, 1, 0}));
}

// ---- Shift while recording ----

TEST(MemoShift, TranslationPairs) {
  // Unshifted and shifted; a character already shifted and one without a shift stay.
  const std::pair<char, char> pairs[] = {{'2', '@'}, {'a', 'A'}, {'\'', '"'}, {'`', '~'},
                                         {'=', '+'}, {'/', '?'}, {'\\', '|'}, {'z', 'Z'},
                                         {'A', 'A'}, {' ', ' '}};
  for (const auto& [plain, shifted] : pairs) EXPECT_EQ(ShiftTranslate(plain), shifted) << plain;
}

TEST(MemoShift, OnlyWhileRecordingWithShiftHeldFromARecorderOfBaseCharacters) {
  MemoKeys keys;
  keys.SetUnshiftedRecording(true);
  EXPECT_EQ(keys.Char(At("", 0), '2', true).Char, '2');  // Shift not held
  keys.KeyDown(At("", 0), kVkShift);
  EXPECT_TRUE(keys.ShiftDown());
  EXPECT_EQ(keys.Char(At("", 0), '2', true).Char, '@');
  EXPECT_EQ(keys.Char(At("", 0), 'a', true).Char, 'A');
  EXPECT_EQ(keys.Char(At("", 0), '\'', true).Char, '"');
  EXPECT_EQ(keys.Char(At("", 0), '2', false).Char, '2');  // not recording
  keys.KeyUp(kVkShift);
  EXPECT_FALSE(keys.ShiftDown());
  EXPECT_EQ(keys.Char(At("", 0), '2', true).Char, '2');
  // The sided codes of a low-level hook count as Shift too.
  keys.KeyDown(At("", 0), kVkRShift);
  EXPECT_EQ(keys.Char(At("", 0), '1', true).Char, '!');
  keys.KeyUp(kVkLShift);
  EXPECT_FALSE(keys.ShiftDown());
}

// Our hook library delivers what the other program received: the layout, Shift and Caps
// Lock already applied. a, Caps Lock, b, Shift+c, Shift+1, Shift+;, Caps Lock, d typed
// elsewhere arrives as the key events and characters below and must stay "aBc!:d".
TEST(MemoShift, CharactersFromTheHookLibraryAreKeptAsReceived) {
  MemoKeys keys;
  MemoText memo = At("", 0);
  auto type = [&](char ch) {
    MemoChar r = keys.Char(memo, ch, true);
    ASSERT_NE(r.Char, 0u);
    memo = At(memo.Text + static_cast<char>(r.Char), memo.Text.size() + 1);
  };
  type('a');
  keys.KeyDown(memo, 20);  // Caps Lock
  keys.KeyUp(20);
  type('B');
  keys.KeyDown(memo, kVkShift);
  type('c');  // Shift with Caps Lock on
  type('!');
  type(':');
  keys.KeyUp(kVkShift);
  keys.KeyDown(memo, 20);
  keys.KeyUp(20);
  type('d');
  EXPECT_EQ(memo.Text, "aBc!:d");
  // Shifted digits and signs of other layouts are not shifted a second time: a French
  // Shift+& gives 1, a German Shift+7 gives /.
  keys.KeyDown(memo, kVkShift);
  EXPECT_EQ(keys.Char(memo, '1', true).Char, '1');
  EXPECT_EQ(keys.Char(memo, '/', true).Char, '/');
  EXPECT_EQ(keys.Char(memo, '\'', true).Char, '\'');
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

TEST(MemoChange, TheCaretStaysAfterWhatWasPasted) {
  // "x" + a pasted "a CR LF b" + "yz" still to come: the caret after the paste.
  MemoText pasted{"xa\r\nbyz", 5, 5};
  MemoText after = NormalizeMemo(pasted);
  EXPECT_EQ(after.Text, "xa{enter}\r\nbyz");
  EXPECT_EQ(after.SelStart, 12u);
  EXPECT_EQ(after.SelEnd, 12u);
  MemoText plain{"abc", 1, 2};
  EXPECT_EQ(NormalizeMemo(plain), plain);  // nothing to rewrite: the selection stays
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

// ---- The edit control counts UTF-16 units, the memo's rules bytes of UTF-8 ----

TEST(MemoUtf16, PositionsMapBothWaysAndNeverFallInsideACharacter) {
  // a, alpha (2 bytes, 1 unit), a grinning face (4 bytes, 2 units), CR LF, b.
  const std::u16string wide = u"a\u03B1\U0001F600\r\nb";
  const std::string utf8 = "a\xCE\xB1\xF0\x9F\x98\x80\r\nb";
  const size_t bytesAt[] = {0, 1, 3, 3, 7, 8, 9, 10, 10};  // for units 0..8
  for (size_t u = 0; u < std::size(bytesAt); ++u) {
    const MemoText m = MemoFromUtf16(wide, u, u);
    EXPECT_EQ(m.Text, utf8);
    EXPECT_EQ(m.SelStart, bytesAt[u]) << "unit " << u;
    EXPECT_EQ(m.SelEnd, bytesAt[u]) << "unit " << u;
  }
  // Back: a byte inside a character counts as its start.
  const size_t unitsAt[] = {0, 1, 1, 2, 2, 2, 2, 4, 5, 6, 7, 7};  // for bytes 0..11
  for (size_t b = 0; b < std::size(unitsAt); ++b)
    EXPECT_EQ(SelectionInUtf16(MemoText{utf8, b, b}), (Utf16Selection{unitsAt[b], unitsAt[b]}))
        << "byte " << b;
  // A selection over the face keeps both ends, backwards too.
  EXPECT_EQ(MemoFromUtf16(wide, 4, 2), (MemoText{utf8, 7, 3}));
  EXPECT_EQ(SelectionInUtf16(MemoText{utf8, 7, 3}), (Utf16Selection{4, 2}));
  // A lone surrogate reads as U+FFFD, which the control gets back as one unit.
  const MemoText lone = MemoFromUtf16(u"x\xD83Dy", 2, 3);
  EXPECT_EQ(lone, (MemoText{"x\xEF\xBF\xBDy", 4, 5}));
  EXPECT_EQ(SelectionInUtf16(lone), (Utf16Selection{2, 3}));
}

TEST(MemoUtf16, CodesBackspaceAndTheChangeRuleKeepTheCaretOnCharactersOfAnyScript) {
  MemoKeys keys;
  // Greek with the caret at its end: an arrow writes its code there.
  std::optional<MemoText> left = keys.KeyDown(MemoFromUtf16(u"\u039A\u03B1\u03BB\u03AE", 4, 4), kVkLeft);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->Text, "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xAE{left}");
  EXPECT_EQ(SelectionInUtf16(*left), (Utf16Selection{10, 10}));
  // One Backspace takes the whole code back after an emoji.
  const MemoText face = MemoFromUtf16(u"\U0001F600{tab}", 7, 7);
  EXPECT_TRUE(Took(keys.Char(face, U'\b', false), MemoText{"\xF0\x9F\x98\x80", 4, 4}));
  // Tab over a selected emoji replaces all of it.
  EXPECT_TRUE(Took(keys.Char(MemoFromUtf16(u"a\U0001F600b", 1, 3), U'\t', false),
                   MemoText{"a{tab}b", 6, 6}));
  // A pasted line break between sigma and an emoji: the caret stays after the emoji.
  const MemoText pasted = NormalizeMemo(MemoFromUtf16(u"\u03A3\r\n\U0001F600x", 5, 5));
  EXPECT_EQ(pasted.Text, "\xCE\xA3{enter}\r\n\xF0\x9F\x98\x80x");
  EXPECT_EQ(SelectionInUtf16(pasted), (Utf16Selection{12, 12}));
}

TEST(MemoUtf16, CharactersOfAnyScriptPassAndShiftTouchesOnlyTheUsKeys) {
  MemoKeys keys;
  keys.SetUnshiftedRecording(true);
  keys.KeyDown(At("", 0), kVkShift);
  for (char32_t c : {U'\u03B1', U'\u00E9', U'\u2713', U'\U0001F600', U'\u0416'}) {
    const MemoChar r = keys.Char(At("", 0), c, true);
    EXPECT_EQ(r.Char, c);
    EXPECT_FALSE(r.Replace);
  }
  EXPECT_EQ(keys.Char(At("", 0), U'q', true).Char, U'Q');
  // A character whose low byte is a US key is no US key.
  EXPECT_EQ(keys.Char(At("", 0), char32_t{0x161}, true).Char, char32_t{0x161});  // s caron, low byte 'a'
}

TEST(MemoUtf16, TheHalvesOfASurrogatePairJoinAndAHalfAloneIsDropped) {
  Utf16Joiner join;
  EXPECT_EQ(join.Take(u'\u03B1'), U'\u03B1');
  EXPECT_EQ(join.Take(0xD83D), 0u);
  EXPECT_EQ(join.Take(0xDE00), U'\U0001F600');
  EXPECT_EQ(join.Take(0xDE00), 0u);  // a low half with no high one before it
  EXPECT_EQ(join.Take(0xD83D), 0u);
  EXPECT_EQ(join.Take(u'x'), U'x');   // the waiting high half goes, the character stays
  EXPECT_EQ(join.Take(0xDE00), 0u);
  EXPECT_EQ(join.Take(0xD83D), 0u);
  EXPECT_EQ(join.Take(0xD83C), 0u);  // a second high half replaces the first
  EXPECT_EQ(join.Take(0xDF89), U'\U0001F389');
  join.Take(0xD83D);
  join.Reset();
  EXPECT_EQ(join.Take(0xDE00), 0u);
}

}  // namespace
}  // namespace ks

namespace ks {
namespace {

// An edit control may take only one half of a surrogate pair per key; the memo never keeps
// half a character.
TEST(MemoUtf16, BackspaceAndDeleteTakeAnEmojiWhole) {
  MemoKeys keys;
  const std::string face = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
  EXPECT_TRUE(Took(keys.Char(At("a" + face, 5), U'\b', false), At("a", 1)));
  EXPECT_EQ(keys.KeyDown(At(face + "b", 0), kVkDelete), At("b", 0));
  EXPECT_EQ(keys.KeyDown(At("a" + face + face, 1), kVkDelete), At("a" + face, 1));
  // Characters of one unit, and selections, are the control's own.
  for (const char* text : {"ab", "a\xCE\xB1", "\xE2\x9C\x93", "a\xE2\x9C\x93\xCE\xB1"}) {
    const std::string t = text;
    EXPECT_EQ(keys.Char(At(t, t.size()), U'\b', false).Replace, std::nullopt) << t;
    EXPECT_EQ(keys.KeyDown(At(t, 0), kVkDelete), std::nullopt) << t;
  }
  EXPECT_EQ(keys.Char(MemoText{face, 0, 4}, U'\b', false).Replace, std::nullopt);
  EXPECT_EQ(keys.KeyDown(MemoText{face, 0, 4}, kVkDelete), std::nullopt);
  EXPECT_EQ(keys.KeyDown(At(face, 4), kVkDelete), std::nullopt);  // nothing after the caret
  EXPECT_EQ(keys.Char(At(face, 0), U'\b', false).Replace, std::nullopt);
  // A code still goes first: the face before it stays.
  EXPECT_TRUE(Took(keys.Char(At(face + "{tab}", 9), U'\b', false), At(face, 4)));
}

}  // namespace
}  // namespace ks
