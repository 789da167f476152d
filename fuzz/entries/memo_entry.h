#pragma once
// Fuzz entry of the editor memo's key handling, driven like the memo window drives it: a
// model edit control applies the keys the handlers let through, and every change of its
// text goes through the change rule.
#include <algorithm>
#include <optional>
#include <string>

#include "editor/memo.h"
#include "entries/input.h"
#include "text/utf.h"
#include "typing/codes.h"

namespace ks::fuzz {

namespace detail {

// The selection is in order, inside the text and on whole characters: the edit control,
// which counts UTF-16 units, gives it back unchanged.
inline std::string CheckSelection(const MemoText& m, const char* what) {
  if (m.SelStart > m.SelEnd || m.SelEnd > m.Text.size())
    return std::string(what) + " left the selection " + std::to_string(m.SelStart) + ".." +
           std::to_string(m.SelEnd) + " in a text of " + std::to_string(m.Text.size());
  const Utf16Selection units = SelectionInUtf16(m);
  if (!(MemoFromUtf16(Utf8ToUtf16(m.Text), units.Start, units.End) == m))
    return std::string(what) + " left the selection " + std::to_string(m.SelStart) + ".." +
           std::to_string(m.SelEnd) + " inside a character of " + Quote(m.Text);
  return {};
}

// `after` is `before` without one character beyond the Basic Multilingual Plane, taken
// from byte `at`, with the caret there and nothing selected.
inline bool RemovedOneWideCharacter(const MemoText& before, const MemoText& after, size_t at) {
  if (before.SelStart != before.SelEnd || at > before.Text.size()) return false;
  size_t end = at;
  if (at >= before.Text.size() || NextCodePoint(before.Text, end) < 0x10000) return false;
  return after.Text == before.Text.substr(0, at) + before.Text.substr(end) &&
         after.SelStart == at && after.SelEnd == at;
}

// What a fuzz byte types: ASCII as it is, the rest characters of other scripts, an emoji
// and a character beyond the emoji planes among them.
inline char32_t CharOf(uint8_t b) {
  static constexpr char32_t kOthers[8] = {0x3B1, 0xE9, 0x2713, 0x1F600, 0x416, 0x20AC, 0x161,
                                          0x10348};
  return b < 0x80 ? char32_t{b} : kOthers[b & 7];
}

// The edit control's own handling of a character it is given: Backspace removes the
// selection or the character before the caret, any other character replaces the selection.
inline MemoText EditControlChar(const MemoText& m, char32_t ch) {
  MemoText out = m;
  if (ch == U'\b') {
    size_t from = m.SelStart, to = m.SelEnd;
    if (from == to && from > 0) {
      --from;
      while (from > 0 && (static_cast<unsigned char>(m.Text[from]) & 0xC0) == 0x80) --from;
    }
    out.Text.erase(from, to - from);
    out.SelStart = out.SelEnd = from;
    return out;
  }
  std::string typed;
  AppendUtf8(typed, ch);
  out.Text.replace(m.SelStart, m.SelEnd - m.SelStart, typed);
  out.SelStart = out.SelEnd = m.SelStart + typed.size();
  return out;
}

// Whether the break the field shows after an {enter} starts at byte `at`.
inline bool ShownBreakAt(const std::string& text, size_t at) {
  return at >= 7 && text.compare(at, 2, "\r\n") == 0 &&
         UpperAscii(text.substr(at - 7, 7)) == "{ENTER}";
}

}  // namespace detail

// Input: a list of operations: 0 key down, 1 key up, 2 character (recording or not),
// 3 selection (in the edit control's UTF-16 units), 4 paste (by the control or by the
// field's handler), each with its bytes.
// Rules: every edit leaves a valid selection on whole characters; an arrow writes its code
// at the caret; a Backspace that removes more than one character removes exactly one
// code without an argument, or one emoji, as Delete may; while
// recording with Shift held a character comes out shifted when the recorder sends base
// characters and exactly as received otherwise; after the change rule no CR or tab is
// left but in the last character and in the break shown after an {enter}, the rule
// changes nothing more when applied again, and nothing comes between an {enter} and its
// break.
inline std::string MemoEntry(Input in) {
  MemoKeys keys;
  MemoText memo;

  // The window's change handler: the text goes through the rule, the caret keeps its
  // distance from the end.
  auto change = [&](MemoText m) -> std::string {
    std::string normal = NormalizeMemoText(m.Text);
    if (NormalizeMemoText(normal) != normal)
      return "the change rule is not done after one pass on " + Quote(m.Text);
    for (size_t i = 0; i + 1 < normal.size(); ++i)
      if ((normal[i] == '\r' && !detail::ShownBreakAt(normal, i)) || normal[i] == '\t')
        return "a CR or tab is left inside " + Quote(normal);
    memo = NormalizeMemo(m);
    return detail::CheckSelection(memo, "the change rule");
  };

  for (int step = 0; !in.Empty() && step < 4096; ++step) {
    switch (in.Byte() % 5) {
      case 0: {
        const int vk = in.Byte();
        const MemoText before = memo;
        if (std::optional<MemoText> edit = keys.KeyDown(memo, vk)) {
          if (auto e = detail::CheckSelection(*edit, "a key down"); !e.empty()) return e;
          if (vk == kVkDelete) {
            if (!detail::RemovedOneWideCharacter(before, *edit, before.Caret()))
              return "Delete made " + Quote(edit->Text) + " of " + Quote(before.Text);
            memo = *edit;
            break;
          }
          // With nothing selected, the code goes after a shown break the caret is in front of.
          const bool past = before.SelStart == before.SelEnd &&
                            detail::ShownBreakAt(before.Text, before.SelStart);
          const size_t at = before.SelStart + (past ? 2 : 0);
          const std::string code = UpperAscii(edit->Text.substr(
              at, edit->Text.size() + (before.SelEnd - before.SelStart) - before.Text.size()));
          if (code != "{LEFT}" && code != "{RIGHT}" && code != "{UP}" && code != "{DOWN}")
            return "key " + std::to_string(vk) + " wrote " + Quote(code);
          if (edit->Caret() != at + code.size())
            return "an arrow code left the caret elsewhere than after it";
          memo = *edit;
        }
        break;
      }
      case 1:
        keys.KeyUp(in.Byte());
        break;
      case 2: {
        const char32_t ch = detail::CharOf(in.Byte());
        const int mode = in.Byte();
        const bool recording = (mode & 1) != 0;
        const bool unshifted = (mode & 2) != 0;
        keys.SetUnshiftedRecording(unshifted);
        const MemoChar r = keys.Char(memo, ch, recording);
        if (r.Replace) {
          if (auto e = detail::CheckSelection(*r.Replace, "a character"); !e.empty()) return e;
          if (ch == U'\b' && detail::RemovedOneWideCharacter(memo, *r.Replace, memo.Caret() - 4)) {
            // an emoji before the caret, whole
          } else if (ch == U'\b' && r.Replace->Text.size() < memo.Text.size()) {
            const size_t gone = memo.Text.size() - r.Replace->Text.size();
            std::string removed = memo.Text.substr(r.Replace->Caret(), gone);
            // A code ending at the caret, or an {enter} with its shown break on either side.
            const size_t end = r.Replace->Caret() + gone;
            const bool withBreak = removed.ends_with("}\r\n");
            if (withBreak) removed.resize(removed.size() - 2);
            const TypeCode* code =
                removed.size() >= 2 && removed.front() == '{' && removed.back() == '}'
                    ? FindTypeCode(std::string_view(removed).substr(1, removed.size() - 2))
                    : nullptr;
            const bool whole = code && !code->TakesArgument() &&
                               (withBreak ? code->Name == "ENTER" &&
                                                (end == memo.Caret() || end == memo.Caret() + 2)
                                          : end == memo.Caret());
            if (!whole)
              return "Backspace removed " + Quote(removed) + " from " + Quote(memo.Text);
          } else if (r.Char != 0 && r.Replace->Text == memo.Text) {
            if (!detail::ShownBreakAt(memo.Text, memo.Caret()) ||
                r.Replace->Caret() != memo.Caret() + 2)
              return "a character moved the caret elsewhere than past a shown break";
          }
          memo = *r.Replace;
        }
        if (r.Char != 0) {
          const char32_t shifted =
              unshifted && ch < 0x80 ? static_cast<unsigned char>(ShiftTranslate(static_cast<char>(ch))) : ch;
          if (recording && keys.ShiftDown() && r.Char != shifted)
            return "a recorded character with Shift held came out other than it should";
          if (auto e = change(detail::EditControlChar(memo, r.Char)); !e.empty()) return e;
        }
        break;
      }
      case 3: {
        const std::u16string wide = Utf8ToUtf16(memo.Text);
        const size_t a = in.Word(), b = in.Word();
        const MemoText chosen = MemoFromUtf16(wide, std::min(a, b), std::max(a, b));
        if (chosen.Text != memo.Text) return "the memo did not read back as it was: " + Quote(memo.Text);
        memo = chosen;
        if (auto e = detail::CheckSelection(memo, "a selection"); !e.empty()) return e;
        break;
      }
      case 4: {
        // Pasted by the control, or by the field's own handler.
        const bool ours = (in.Byte() & 1) != 0;
        const std::string pasted = ValidUtf8(in.Short());
        MemoText m = memo;
        if (ours) {
          m = PasteIntoMemo(memo, pasted);
          if (auto e = detail::CheckSelection(m, "a paste"); !e.empty()) return e;
        } else {
          m.Text.replace(m.SelStart, m.SelEnd - m.SelStart, pasted);
          m.SelStart = m.SelEnd = memo.SelStart + pasted.size();
        }
        if (auto e = change(m); !e.empty()) return e;
        break;
      }
    }
  }
  return {};
}

}  // namespace ks::fuzz
