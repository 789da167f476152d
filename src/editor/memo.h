#pragma once
// The editor memo's key handling as text edits: keys that cannot stand in a button's
// text as characters become type codes, one Backspace removes a whole code, pasted line
// breaks and tabs become codes, and recorded keys typed with Shift get their shifted
// character when the recorder delivers only the keys' base characters. The window applies
// a returned MemoText by replacing the memo's text and putting the caret at Caret().
// Texts are UTF-8 and positions count bytes, always at the start of a character; the
// edit control counts UTF-16 units, and MemoFromUtf16 / SelectionInUtf16 are the one
// place where the two meet.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>


namespace ks {

struct MemoText {
  std::string Text;
  size_t SelStart = 0;  // the selection [SelStart, SelEnd); both equal: just the caret
  size_t SelEnd = 0;
  size_t Caret() const { return SelEnd; }
  bool operator==(const MemoText&) const = default;
};

// The memo as the edit control holds it (UTF-16, a selection in UTF-16 units), in the
// core's form. A position inside a surrogate pair counts as the pair's start; one past
// the end as the end. A surrogate on its own becomes U+FFFD, as everywhere else.
MemoText MemoFromUtf16(std::u16string_view text, size_t selStart, size_t selEnd);

// The selection of `memo` in UTF-16 units, for the edit control. A byte position inside a
// character counts as that character's start.
struct Utf16Selection {
  size_t Start = 0, End = 0;
  bool operator==(const Utf16Selection&) const = default;
};
Utf16Selection SelectionInUtf16(const MemoText& memo);

// Characters come to the memo one UTF-16 unit at a time (WM_CHAR), so a character beyond
// the Basic Multilingual Plane comes in two halves. This joins them: a high surrogate
// waits for its low one; a half that is not followed by, or does not follow, its partner
// is no character and is dropped (it would only show as U+FFFD).
class Utf16Joiner {
 public:
  // The character complete with `unit`, or 0 when there is none yet (or it was dropped).
  char32_t Take(char16_t unit);
  void Reset() { high_ = 0; }

 private:
  char16_t high_ = 0;
};

// The field shows a line break after each {enter} (in any letter case): a text reads in
// the lines it was typed in, and a long text is many short lines. As one line it would be
// laid out again whole at every change; under Wine that took seconds for 40,000
// characters. The break is only shown, never stored: a CR LF right after an {enter} in the
// field is such a break, and Enter writes both.
inline constexpr std::string_view kShownBreak = "\r\n";
// A stored text as the field shows it, and back.
std::string MemoShown(std::string_view stored);
std::string MemoStored(std::string_view shown);

// Replaces the selection (if any) with `code` and puts the caret just after it. With
// nothing selected, a caret between an {enter} and its shown break counts as after the
// break, so that nothing comes between the two.
MemoText InsertCode(const MemoText& memo, std::string_view code);

// A paste of `text` over the selection: its line breaks and tabs as the change rule makes
// them, a line break after an {enter} taken as that code's shown break (text copied from
// the field), and the caret after it.
MemoText PasteIntoMemo(const MemoText& memo, std::string_view text);

// The least change that turns `from` into `to`, both as the edit control holds them:
// replace [Start, End) of `from` with [Start, ToEnd) of `to`. No surrogate pair is cut.
// Replacing just that keeps the control from laying out the whole text again.
struct Utf16Change {
  size_t Start = 0, End = 0, ToEnd = 0;
  bool operator==(const Utf16Change&) const = default;
};
Utf16Change ChangeBetween(std::u16string_view from, std::u16string_view to);

// Backspace right after a type code that takes no argument ({TAB}, {ENTER}, the arrows,
// {DATE}, {DAY}, {MONTH}, {TIME}: typing/codes.h), in any letter case, with nothing
// selected: the whole code goes (an {enter} with its shown break, also from the start of
// the line after it) and the caret stands where it began. nullopt: an ordinary Backspace
// (also after a "}" that closes no such code, or has no "{" before it).
std::optional<MemoText> BackspaceOverCode(const MemoText& memo);

// Backspace (backwards) or Delete (forwards) with nothing selected, next to a character
// beyond the Basic Multilingual Plane (an emoji): the whole character goes, where an edit
// control may take only one of its two UTF-16 halves and leave the other as no character.
// nullopt: any other character, which the control removes itself.
std::optional<MemoText> RemoveWideCharacter(const MemoText& memo, bool backwards);

// The memo's change rule (as CleanButtonText of typing/codes.h, in the field's form):
// every line break (CR LF, or a lone CR) becomes "{enter}" with its shown break, and
// every tab "{tab}", except in the very last character, which is left for the user's
// next key (so a tab just typed at the end is not rewritten under the caret). A break
// right after an {enter} is its shown break and stays. A lone CR keeps the character
// after it. A lone LF is no key the user typed and is kept as it is.
std::string NormalizeMemoText(std::string_view text);

// The memo after its change rule: the text normalised, the caret kept at its distance
// from the end so that it stays after what was pasted. The memo itself when the rule
// changes nothing.
MemoText NormalizeMemo(const MemoText& memo);

// The US keyboard's shifted character for `c` (2 -> @, a -> A, ' -> "); `c` itself
// when Shift does not change it.
char ShiftTranslate(char c);

inline constexpr int kVkShift = 16;
inline constexpr int kVkLShift = 0xA0;  // low-level hooks report the side of the key
inline constexpr int kVkRShift = 0xA1;
inline constexpr int kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40;
inline constexpr int kVkDelete = 46;

// What the memo's character handler does with one character.
struct MemoChar {
  char32_t Char = 0;               // the character to let through; 0 = the key is cancelled
  std::optional<MemoText> Replace;  // set: replace the memo's text and caret with this
};

// The key handlers of the memo, with the Shift state they follow.
class MemoKeys {
 public:
  // Key down. A returned MemoText means: cancel the key and apply the edit (the arrow
  // keys write their codes instead of moving the caret; Delete takes an emoji whole).
  // Shift is noted.
  std::optional<MemoText> KeyDown(const MemoText& memo, int vk);
  // Key up: only Shift's release is noted.
  void KeyUp(int vk);
  // A character (a code point). Shift translation applies only while recording with
  // Shift held, and only from a recorder that delivers unshifted characters; Tab and
  // Enter write their codes, and so do braces while recording ({lbrace}, {rbrace}); Backspace removes a whole code, and an emoji whole. A
  // character typed between an {enter} and its shown break goes after the break (the
  // caret is moved there first).
  MemoChar Char(const MemoText& memo, char32_t ch, bool recording) const;

  // Whether recorded characters arrive as the keys' unshifted base characters. Our own
  // hook library makes each character with the layout, Shift and Caps Lock of the
  // program typed into, so translating again would shift twice (off by default); a
  // library that sends base characters needs the translation.
  void SetUnshiftedRecording(bool on) { unshiftedRecording_ = on; }

  bool ShiftDown() const { return shiftDown_; }
  void Reset() { shiftDown_ = false; }

 private:
  bool shiftDown_ = false;
  bool unshiftedRecording_ = false;
};

}  // namespace ks
