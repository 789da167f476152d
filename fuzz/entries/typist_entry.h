#pragma once
// Fuzz entry of the typing engine: a button's text through the interpreter, with the fake
// US keyboard, clock and host of the unit tests.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "entries/input.h"
#include "text/utf.h"
#include "typing/fakes.h"
#include "typing/typist.h"

namespace ks::fuzz {

namespace detail {

// A list picker that answers with one of the entries it is shown, or is cancelled.
class PickingHost : public test::ScriptedHost {
 public:
  PickingHost(test::Journal& j, uint8_t index, bool answers)
      : ScriptedHost(j), index_(index), answers_(answers) {}
  std::optional<std::string> Pick(const std::vector<std::string>& entries) override {
    ScriptedHost::Pick(entries);
    if (!answers_ || entries.empty()) return std::nullopt;
    return entries[index_ % entries.size()];
  }

 private:
  uint8_t index_;
  bool answers_;
};

}  // namespace detail

// Input: a flags byte (1: the target window exists; 2: the list picker answers with an
// entry, else it is cancelled; 4: program starts fail; 8: a second run starts from inside
// the first, as a button pressed while typing does), the index of the picked entry, the
// pump at which the second run starts, the second run's text (length byte and bytes), and
// the text of the run.
// Rules: without a target nothing is sent and the count is kept; every key that goes down
// comes up again, none twice down, so no Shift, Ctrl, Alt or Windows key is left held; a
// run's count is its key presses without the modifiers, plus its Unicode characters (one
// for a surrogate pair), and no more than that with codes that Undo does not count (Home,
// a combination, the Left presses of {cursor}); a text without braces types exactly its
// characters but NUL, an invalid piece of UTF-8 as U+FFFD; Undo sends the Right presses
// that undo {cursor}'s, then as many Backspaces as the count, and clears it.
inline std::string TypistEntry(Input in) {
  const uint8_t flags = in.Byte();
  const uint8_t pickIndex = in.Byte();
  const uint8_t nestAt = in.Byte();
  const std::string nested = in.Short();
  const std::string text = in.Rest();

  test::Journal journal;
  test::UsLayout layout;
  test::RecordingSink sink(journal);
  test::FixedClock clock;
  detail::PickingHost host(journal, pickIndex, (flags & 2) != 0);
  Typist typist(host.Ports(sink, layout, clock));
  if (!(flags & 1)) host.existing.clear();
  host.startSucceeds = !(flags & 4);

  int pumps = 0;
  bool nestedRan = false;
  host.onPump = [&] {
    if ((flags & 8) && !nestedRan && ++pumps > nestAt) {
      nestedRan = true;
      typist.SendString(7, nested);
    }
  };
  typist.KeystrokeCount = 12345;
  typist.SendString(7, text);

  if (!(flags & 1)) {
    if (!sink.events.empty()) return "keys were sent without a target window";
    if (typist.KeystrokeCount != 12345) return "the count changed without a target window";
    return {};
  }

  std::map<uint8_t, int> down;
  int presses = 0;
  for (const test::KeyEvent& ev : sink.events) {
    if (ev.unicode) {
      if (ev.ch < 0xDC00 || ev.ch > 0xDFFF) ++presses;
      continue;
    }
    int& d = down[ev.vk];
    if (!ev.up) {
      if (d != 0) return "key " + test::KeyName(ev.vk) + " pressed twice";
      d = 1;
      if (ev.vk != 16 && ev.vk != 17 && ev.vk != 18 && ev.vk != 0x5B) ++presses;
    } else {
      if (d != 1) return "key " + test::KeyName(ev.vk) + " released while up";
      d = 0;
    }
  }
  for (const auto& [vk, d] : down)
    if (d != 0) return "key " + test::KeyName(vk) + " left held down";

  const bool braces = text.find('{') != std::string::npos;
  if (!nestedRan && (braces ? typist.KeystrokeCount > presses : typist.KeystrokeCount != presses))
    return "count " + std::to_string(typist.KeystrokeCount) + " for " + std::to_string(presses) +
           " keystrokes";

  if (!nestedRan && !braces) {
    // Read the characters back through the layout: key and Shift state, or the code unit.
    std::map<int, char16_t> byKey;
    for (int c = 127; c >= 0; --c)
      if (layout.CharToKey(0, static_cast<char16_t>(c)) != -1)
        byKey[layout.CharToKey(0, static_cast<char16_t>(c))] = static_cast<char16_t>(c);
    std::u16string want = Utf8ToUtf16(text), got;
    std::erase(want, u'\0');
    int state = 0;
    for (const test::KeyEvent& ev : sink.events) {
      if (ev.unicode) {
        got += ev.ch;
        continue;
      }
      const int bit = ev.vk == 16 ? 1 : ev.vk == 17 ? 2 : ev.vk == 18 ? 4 : 0;
      if (bit) {
        state = ev.up ? state & ~bit : state | bit;
      } else if (!ev.up) {
        const int key = (state << 8) | ev.vk;
        got += byKey.count(key) ? byKey[key] : u'?';
      }
    }
    if (got != want)
      return "typed " + Quote(Utf16ToUtf8(got)) + ", wanted " + Quote(Utf16ToUtf8(want));
  }

  const int32_t count = typist.KeystrokeCount;
  const int32_t moves = typist.CaretMoves();
  const size_t before = sink.events.size();
  host.onPump = nullptr;
  typist.UndoTyping();
  int backs = 0, rights = 0;
  for (size_t i = before; i < sink.events.size(); ++i) {
    const test::KeyEvent& ev = sink.events[i];
    if (!ev.unicode && ev.vk == 39 && backs == 0 && count > 0) {
      rights += ev.up ? 0 : 1;
      continue;
    }
    if (ev.unicode || ev.vk != 8) return "Undo sent another key than Right, then Backspace";
    if (!ev.up) ++backs;
  }
  if (count > 0 && rights != moves)
    return "Undo sent " + std::to_string(rights) + " Right presses for " + std::to_string(moves) +
           " of {cursor}";
  if (backs != count)
    return "Undo sent " + std::to_string(backs) + " Backspaces for a count of " +
           std::to_string(count);
  if (typist.KeystrokeCount != 0) return "the count stayed after Undo";
  return {};
}

}  // namespace ks::fuzz
