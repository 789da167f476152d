#pragma once
// Fuzz entry of the editor memo's key handling, driven like the memo window drives it: a
// model edit control applies the keys the handlers let through, and every change of its
// text goes through the change rule.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "editor/memo.h"
#include "entries/input.h"

namespace ks::fuzz {

namespace detail {

inline std::string CheckSelection(const MemoText& m, const char* what) {
  if (m.SelStart > m.SelEnd || m.SelEnd > m.Text.size())
    return std::string(what) + " left the selection " + std::to_string(m.SelStart) + ".." +
           std::to_string(m.SelEnd) + " in a text of " + std::to_string(m.Text.size());
  return {};
}

inline std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

// The edit control's own handling of a character it is given: Backspace removes the
// selection or the character before the caret, any other character replaces the selection.
inline MemoText EditControlChar(const MemoText& m, char ch) {
  MemoText out = m;
  if (ch == '\b') {
    size_t from = m.SelStart, to = m.SelEnd;
    if (from == to && from > 0) --from;
    out.Text.erase(from, to - from);
    out.SelStart = out.SelEnd = from;
    return out;
  }
  out.Text.replace(m.SelStart, m.SelEnd - m.SelStart, 1, ch);
  out.SelStart = out.SelEnd = m.SelStart + 1;
  return out;
}

}  // namespace detail

// Input: a list of operations: 0 key down, 1 key up, 2 character (recording or not),
// 3 selection, 4 paste, each with its bytes.
// Rules: every edit leaves a valid selection; an arrow writes its code at the caret; a
// Backspace that removes more than one character removes exactly one listed code; while
// recording with Shift held a character comes out shifted when the recorder sends base
// characters and exactly as received otherwise; after the change rule no CR or tab is
// left but in the last character, and the rule changes nothing more when applied again.
inline std::string MemoEntry(Input in) {
  MemoKeys keys;
  MemoText memo;
  static constexpr std::array<std::string_view, 10> kCodes = {
      "{TAB}", "{ENTER}", "{UP}", "{DOWN}", "{LEFT}", "{RIGHT}", "{DATE}", "{DAY}", "{MONTH}",
      "{TIME}"};

  // The window's change handler: the text goes through the rule, the caret keeps its
  // distance from the end.
  auto change = [&](MemoText m) -> std::string {
    std::string normal = NormalizeMemoText(m.Text);
    if (NormalizeMemoText(normal) != normal)
      return "the change rule is not done after one pass on " + Quote(m.Text);
    for (size_t i = 0; i + 1 < normal.size(); ++i)
      if (normal[i] == '\r' || normal[i] == '\t')
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
          const std::string code = detail::UpperAscii(edit->Text.substr(
              before.SelStart, edit->Text.size() + (before.SelEnd - before.SelStart) -
                                   before.Text.size()));
          if (code != "{LEFT}" && code != "{RIGHT}" && code != "{UP}" && code != "{DOWN}")
            return "key " + std::to_string(vk) + " wrote " + Quote(code);
          if (edit->Caret() != before.SelStart + code.size())
            return "an arrow code left the caret elsewhere than after it";
          memo = *edit;
        }
        break;
      }
      case 1:
        keys.KeyUp(in.Byte());
        break;
      case 2: {
        const char ch = static_cast<char>(in.Byte());
        const int mode = in.Byte();
        const bool recording = (mode & 1) != 0;
        const bool unshifted = (mode & 2) != 0;
        keys.SetUnshiftedRecording(unshifted);
        const MemoChar r = keys.Char(memo, ch, recording);
        if (r.Replace) {
          if (auto e = detail::CheckSelection(*r.Replace, "a character"); !e.empty()) return e;
          if (ch == '\b' && r.Replace->Text.size() < memo.Text.size()) {
            const size_t gone = memo.Text.size() - r.Replace->Text.size();
            const std::string removed =
                detail::UpperAscii(memo.Text.substr(r.Replace->Caret(), gone));
            if (std::find(kCodes.begin(), kCodes.end(), removed) == kCodes.end() ||
                r.Replace->Caret() + gone != memo.Caret())
              return "Backspace removed " + Quote(removed) + " from " + Quote(memo.Text);
          }
          memo = *r.Replace;
        }
        if (r.Char != 0) {
          if (recording && keys.ShiftDown() && r.Char != (unshifted ? ShiftTranslate(ch) : ch))
            return "a recorded character with Shift held came out other than it should";
          if (auto e = change(detail::EditControlChar(memo, r.Char)); !e.empty()) return e;
        }
        break;
      }
      case 3: {
        size_t a = std::min<size_t>(in.Word(), memo.Text.size());
        size_t b = std::min<size_t>(in.Word(), memo.Text.size());
        memo.SelStart = std::min(a, b);
        memo.SelEnd = std::max(a, b);
        break;
      }
      case 4: {
        const std::string pasted = in.Short();
        MemoText m = memo;
        m.Text.replace(m.SelStart, m.SelEnd - m.SelStart, pasted);
        m.SelStart = m.SelEnd = memo.SelStart + pasted.size();
        if (auto e = change(m); !e.empty()) return e;
        break;
      }
    }
  }
  return {};
}

}  // namespace ks::fuzz
