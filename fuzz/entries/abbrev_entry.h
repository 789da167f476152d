#pragma once
// Fuzz entry of the abbreviation watch: the key events of a user (and of the program's own
// input) on the fake US, German and French layouts of the unit tests, with the store's
// abbreviations changing, clicks, pauses and the system's key state in between.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "abbrev/validate.h"
#include "abbrev/watch.h"
#include "contract.h"
#include "entries/input.h"
#include "keys/fakes.h"
#include "text/utf.h"

namespace ks::fuzz {

namespace detail {

// Pieces of abbreviations: what the fake layouts type, with and without an accent waiting
// or AltGr, a character only Unicode input sends, and a blank, which makes one invalid.
inline constexpr std::string_view kAbbreviationPieces[] = {
    ";", "s", "i", "g", "x", "q", "e", "a", "n", "S", "2", "0", "@", "\xE2\x82\xAC" /* € */,
    "\xC3\xAA" /* ê */, "\xC3\xA9" /* é */, "\xC3\xA0" /* à */, "\xC3\xAB" /* ë */, "^",
    "\xC2\xB4" /* ´ */, "\xC2\xB5" /* µ */, "\xF0\x9F\x98\x80" /* an emoji */, " "};

// A button's abbreviation: a flags byte (1: its group is locked; 2: raw bytes, a length
// byte and the bytes, else a count of pieces and the pieces).
inline abbrev::Abbreviation AbbreviationOf(Input& in) {
  const uint8_t at = in.Byte(), flags = in.Byte();
  abbrev::Abbreviation a{at >> 4, at & 15, {}, (flags & 1) != 0};
  if (flags & 2) {
    a.Text = in.Short();
  } else {
    for (int n = in.Byte() % 34; n > 0; --n)
      a.Text += kAbbreviationPieces[in.Byte() % std::size(kAbbreviationPieces)];
  }
  return a;
}

// The abbreviations the watch must know, as its header promises: the valid ones, of two
// alike (as UTF-16, what the watch compares) the first.
struct Known {
  std::u16string Text;
  int Characters;
  const abbrev::Abbreviation* Entry;
};

inline std::vector<Known> KnownOf(const std::vector<abbrev::Abbreviation>& list) {
  std::vector<Known> known;
  for (const abbrev::Abbreviation& a : list) {
    if (a.Text.empty() || !abbrev::IsValidAbbreviation(a.Text)) continue;
    std::u16string text = Utf8ToUtf16(a.Text);
    if (std::any_of(known.begin(), known.end(), [&](const Known& k) { return k.Text == text; }))
      continue;
    int characters = 0;
    for (char16_t c : text) characters += c >= 0xDC00 && c <= 0xDFFF ? 0 : 1;
    known.push_back(Known{std::move(text), characters, &a});
  }
  return known;
}

inline bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// What Backspace takes off what was typed: the last character, both halves of a pair.
inline std::u16string WithoutLast(std::u16string s) {
  if (s.size() >= 2 && s.back() >= 0xDC00 && s.back() <= 0xDFFF && s[s.size() - 2] >= 0xD800 &&
      s[s.size() - 2] <= 0xDBFF)
    s.pop_back();
  if (!s.empty()) s.pop_back();
  return s;
}

inline std::string Show(std::u16string_view s) { return Quote(Utf16ToUtf8(s)); }

inline std::string Show(const abbrev::Match& m) {
  return "button " + std::to_string(m.Group) + "." + std::to_string(m.Button) + " with " +
         std::to_string(m.Backspaces) + " Backspaces, " + std::to_string(m.Characters) +
         " characters, kept " + std::to_string(static_cast<int>(m.Kept));
}

}  // namespace detail

// Input: a list of operations: 0-3 a key event (its key, a flags byte: 1 up, 2 the
// program's own input; for the Unicode key the unit, two bytes), 4 the layout, 5 a new
// list of abbreviations, 6 a click (Reset) or the system's key state (Sync), 7 a pause on
// or off, or the focus in a window of the program.
// Rules: the watch keeps no more than its longest abbreviation and nothing while paused;
// a key that makes characters adds them to what was typed and matches exactly when what
// was typed then ends with an abbreviation: the longest, of two alike the first, with one
// Backspace per UTF-16 unit, no more than were typed, and its last key kept from the window
// only when that key alone made one plain character outside the program's windows and
// its group is not locked; any other key matches nothing and either keeps what was typed,
// takes its last character off (a plain Backspace), or forgets it; a key of the user's
// stops a run of the program's typing exactly when it is a fresh press.
inline std::string AbbrevEntry(Input in) {
  using namespace abbrev;
  namespace test = keys::test;
  static constexpr LayoutId kLayouts[] = {test::kUs, test::kGerman, test::kFrench};
  test::FakeLayouts layouts;
  AbbreviationWatch watch(layouts);
  // A twin that is fed the same, and forgets what was typed before every key: what it
  // keeps after a key is what that key typed. Its one abbreviation is longer than any key
  // makes, so it never matches and keeps it all.
  AbbreviationWatch twin(layouts);
  const std::vector<Abbreviation> longOne = {{9, 9, std::string(kMaxAbbreviationChars, '~')}};

  std::vector<Abbreviation> list;
  std::vector<detail::Known> known;
  size_t longest = 0;
  LayoutId layout = test::kUs;
  bool paused[3] = {}, focusOurs = false;
  std::array<bool, 256> down{};
  std::u16string typed;  // what the watch must keep

  auto pause = [&](AbbreviationWatch& w, int which, bool on) {
    if (which == 0) w.SetPasswordField(on);
    if (which == 1) w.SetRecording(on);
    if (which == 2) w.SetTyping(on);
  };

  for (int step = 0; !in.Empty() && step < 4096; ++step) {
    const uint8_t op = in.Byte() % 8;
    if (op <= 3) {
      KeyEvent e;
      e.Vk = in.Byte();
      const uint8_t flags = in.Byte();
      e.Up = (flags & 1) != 0;
      if (flags & 2) e.ExtraInfo = contract::kInjectTag;
      if (e.Vk == vk::Packet) e.Scan = in.Word();
      const bool own = (flags & 2) != 0;
      const bool anyPause = paused[0] || paused[1] || paused[2];
      const bool wasDown = down[e.Vk & 0xFF];
      down[e.Vk & 0xFF] = !e.Up;

      const bool accentBefore = watch.Keys().AccentWaiting();
      twin.SetAbbreviations({});
      if (watch.Watching()) twin.SetAbbreviations(longOne);
      twin.Key(e, layout);
      const std::u16string made(twin.Kept());
      const Seen seen = watch.Key(e, layout);
      if (watch.Keys().AccentWaiting() != twin.Keys().AccentWaiting())
        return "the twin watch lost step with the accent";
      const bool accentAfter = watch.Keys().AccentWaiting();

      if (seen.StopRun != (paused[2] && !e.Up && !wasDown && !own))
        return std::string("key ") + std::to_string(e.Vk) + (e.Up ? " up" : " down") +
               (seen.StopRun ? " stopped" : " did not stop") + " a run";
      const std::u16string before = typed;
      if (!made.empty()) {
        if (own || anyPause || e.Up || longest == 0)
          return "key " + std::to_string(e.Vk) + " typed " + detail::Show(made) +
                 " where nothing is watched";
        typed += made;
        // The longest abbreviation that what was typed ends with, of two alike the first.
        const detail::Known* want = nullptr;
        for (const detail::Known& k : known)
          if (typed.ends_with(k.Text) && (!want || k.Text.size() > want->Text.size())) want = &k;
        if (typed.size() > longest) typed.erase(0, typed.size() - longest);
        if (!want) {
          if (seen.Typed)
            return detail::Show(*seen.Typed) + " where " + detail::Show(typed) +
                   " ends with no abbreviation";
        } else {
          if (!seen.Typed)
            return detail::Show(typed) + " ends with " + detail::Show(want->Text) +
                   ", and nothing matched";
          const Match& m = *seen.Typed;
          const int kept = m.Kept ? 1 : 0;
          if (m.Backspaces < 0 || m.Characters < 0 ||
              static_cast<size_t>(m.Backspaces + kept) > before.size() + made.size())
            return std::to_string(m.Backspaces) + " Backspaces after " +
                   std::to_string(before.size() + made.size()) + " units typed";
          const bool mayKeep = !focusOurs && !accentBefore && !accentAfter && made.size() == 1 &&
                               !detail::IsSurrogate(made[0]) && !want->Entry->Locked;
          const Match expected{want->Entry->Group, want->Entry->Button,
                               static_cast<int>(want->Text.size()) - (mayKeep ? 1 : 0),
                               want->Characters - (mayKeep ? 1 : 0),
                               mayKeep ? made[0] : char16_t{0}};
          if (!(m == expected))
            return detail::Show(want->Text) + " matched as " + detail::Show(m) + ", wanted " +
                   detail::Show(expected);
          typed.clear();
        }
      } else {
        if (seen.Typed) return "key " + std::to_string(e.Vk) + " typed nothing and matched";
        const Held held = watch.Keys().Modifiers();
        const bool chord = held.Ctrl || held.Alt || held.Win;
        const std::u16string now(watch.Kept());
        std::optional<std::u16string> want;
        if (own || e.Up) {
          want = before;
        } else if (e.Vk == vk::Back && !chord) {
          want = accentBefore ? before : detail::WithoutLast(before);
        } else if (e.Vk == vk::Back || e.Vk == vk::Tab || e.Vk == vk::Return ||
                   e.Vk == vk::Escape || (e.Vk >= vk::Prior && e.Vk <= vk::Down)) {
          want = u"";
        } else if (!chord) {
          want = before;
        } else if (now != before && !now.empty()) {
          // A shortcut forgets what was typed; a chord's modifier keeps it.
          return "a shortcut left " + detail::Show(now) + " of " + detail::Show(before);
        }
        if (want && now != *want)
          return "key " + std::to_string(e.Vk) + (e.Up ? " up" : " down") + " left " +
                 detail::Show(now) + " of " + detail::Show(before) + ", wanted " +
                 detail::Show(*want);
        typed = now;
      }
    } else if (op == 4) {
      layout = kLayouts[in.Byte() % std::size(kLayouts)];
    } else if (op == 5) {
      list.clear();
      for (int n = in.Byte() % 9; n > 0; --n) list.push_back(detail::AbbreviationOf(in));
      known = detail::KnownOf(list);
      longest = 0;
      for (const detail::Known& k : known) longest = std::max(longest, k.Text.size());
      watch.SetAbbreviations(list);
      if (typed.size() > longest) typed.erase(0, typed.size() - longest);
      if (watch.Watching() != (longest > 0))
        return "watching " + std::to_string(watch.Watching()) + " with " +
               std::to_string(known.size()) + " valid abbreviations";
    } else if (op == 6) {
      const uint8_t b = in.Byte();
      if (b & 1) {
        KeyState state{};
        for (int n = (b >> 1) % 4; n > 0; --n) state[in.Byte()] = 0x80;
        state[vk::Capital] |= (b >> 3) & 1;
        watch.Sync(state);
        twin.Sync(state);
        for (size_t k = 0; k < down.size(); ++k) down[k] = (state[k] & 0x80) != 0;
      } else {
        watch.Reset();
        twin.Reset();
      }
      typed.clear();
    } else {
      const uint8_t b = in.Byte();
      const bool on = (b & 4) != 0;
      if (b % 4 == 3) {
        watch.SetFocusOurs(on);
        twin.SetFocusOurs(on);
        focusOurs = on;
      } else {
        pause(watch, b % 4, on);
        pause(twin, b % 4, on);
        paused[b % 4] = on;
        if (on) typed.clear();
      }
    }

    if (watch.Kept() != typed)
      return "the watch keeps " + detail::Show(watch.Kept()) + ", typed was " +
             detail::Show(typed);
    if (watch.Kept().size() > longest)
      return "the watch keeps " + std::to_string(watch.Kept().size()) +
             " units, more than its longest abbreviation";
  }
  return {};
}

}  // namespace ks::fuzz
