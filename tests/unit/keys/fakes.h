#pragma once
// Fake keyboard layouts as ToUnicodeEx answers for them: US English, German (QWERTZ,
// AltGr+Q "@", AltGr+E "€", dead ^ ´ `) and French (AZERTY, AltGr+0 "@", dead ^ ¨), with
// a compose table for the accented letters the tests type; and the key presses of a user.
#include <string>
#include <string_view>
#include <vector>

#include "keys/keyboard.h"

namespace ks::keys::test {

inline constexpr LayoutId kUs = 0x04090409;
inline constexpr LayoutId kGerman = 0x04070407;
inline constexpr LayoutId kFrench = 0x040C040C;

// OEM keys by the names <windows.h> gives them.
inline constexpr std::uint32_t kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD,
                               kOemPeriod = 0xBE, kOem2 = 0xBF, kOem3 = 0xC0, kOem4 = 0xDB,
                               kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE, kOem8 = 0xDF;

class FakeLayouts : public KeyLayouts {
 public:
  // What one key makes plain, with Shift and with AltGr ("" for nothing); `dead` marks
  // which of the three are dead keys (1 plain, 2 Shift, 4 AltGr). Letters (A..Z) make
  // their letter unless a layout says otherwise; Caps Lock acts as Shift on `caps` keys.
  struct Key {
    std::uint32_t Vk;
    std::u16string_view Plain, Shifted, AltGr;
    int Dead = 0;
    bool Caps = false;
  };

  int Translate(LayoutId layout, std::uint32_t key, std::uint32_t, const KeyState& state,
                char16_t* out, int capacity) override {
    Asked.push_back(layout);
    const bool shift = state[vk::Shift] & 0x80, caps = state[vk::Capital] & 1;
    const bool ctrl = state[vk::Control] & 0x80, alt = state[vk::Menu] & 0x80;
    Key k = Find(layout, key);
    if (ctrl && !alt) {  // Ctrl+letter: its control character
      if (key < 'A' || key > 'Z') return 0;
      out[0] = static_cast<char16_t>(key - 'A' + 1);
      return 1;
    }
    const bool upper = k.Caps ? shift != caps : shift;
    std::u16string_view made = ctrl && alt ? k.AltGr : upper ? k.Shifted : k.Plain;
    const int deadBit = ctrl && alt ? 4 : upper ? 2 : 1;
    if (made.empty()) return 0;
    if (k.Dead & deadBit) {
      out[0] = made[0];
      return -1;
    }
    const int n =
        static_cast<int>(made.size()) < capacity ? static_cast<int>(made.size()) : capacity;
    for (int i = 0; i < n; ++i) out[i] = made[static_cast<std::size_t>(i)];
    return n;
  }

  char16_t Compose(char16_t base, char16_t mark) override {
    struct Pair {
      char16_t Base, Mark, Composed;
    };
    static constexpr Pair kTable[] = {
        {u'a', 0x0302, u'â'}, {u'e', 0x0302, u'ê'}, {u'o', 0x0302, u'ô'}, {u'E', 0x0302, u'Ê'},
        {u'a', 0x0308, u'ä'}, {u'e', 0x0308, u'ë'}, {u'u', 0x0308, u'ü'}, {u'e', 0x0301, u'é'},
        {u'E', 0x0301, u'É'}, {u'a', 0x0300, u'à'}, {u'e', 0x0300, u'è'}, {u'n', 0x0303, u'ñ'}};
    for (const Pair& p : kTable)
      if (p.Base == base && p.Mark == mark) return p.Composed;
    return 0;
  }

  std::vector<LayoutId> Asked;  // the layout of every question, in order

 private:
  static Key Find(LayoutId layout, std::uint32_t key) {
    const std::vector<Key>& table = layout == kGerman   ? German()
                                    : layout == kFrench ? French()
                                                        : Us();
    for (const Key& k : table)
      if (k.Vk == key) return k;
    if (key >= 'A' && key <= 'Z') {
      static constexpr std::u16string_view kLetters =
          u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
      const std::size_t i = key - 'A';
      return Key{key, kLetters.substr(i, 1), kLetters.substr(i + 26, 1), u"", 0, true};
    }
    return Key{key, u"", u"", u""};
  }

  static const std::vector<Key>& Us() {
    static const std::vector<Key> keys = {
        {' ', u" ", u" ", u""},       {'1', u"1", u"!", u""},       {'2', u"2", u"@", u""},
        {'3', u"3", u"#", u""},       {'0', u"0", u")", u""},       {kOem1, u";", u":", u""},
        {kOem2, u"/", u"?", u""},     {kOem3, u"`", u"~", u""},     {kOem7, u"'", u"\"", u""},
        {kOemComma, u",", u"<", u""}, {kOemPeriod, u".", u">", u""}};
    return keys;
  }

  static const std::vector<Key>& German() {
    static const std::vector<Key> keys = {{' ', u" ", u" ", u""},
                                          {'Q', u"q", u"Q", u"@", 0, true},
                                          {'E', u"e", u"E", u"€", 0, true},
                                          {'M', u"m", u"M", u"µ", 0, true},
                                          {'2', u"2", u"\"", u"²"},
                                          {'7', u"7", u"/", u"{"},
                                          {'0', u"0", u"=", u"}"},
                                          {kOem1, u"ü", u"Ü", u"", 0, true},
                                          {kOem3, u"ö", u"Ö", u"", 0, true},
                                          {kOem7, u"ä", u"Ä", u"", 0, true},
                                          {kOem4, u"ß", u"?", u"\\"},
                                          {kOem5, u"^", u"°", u"", 1},
                                          {kOem6, u"´", u"`", u"", 1 | 2},
                                          {kOemComma, u",", u";", u""},
                                          {kOemPeriod, u".", u":", u""},
                                          {kOem2, u"#", u"'", u""}};
    return keys;
  }

  static const std::vector<Key>& French() {
    static const std::vector<Key> keys = {
        {' ', u" ", u" ", u""},          {'E', u"e", u"E", u"€", 0, true},
        {'1', u"&", u"1", u""},          {'2', u"é", u"2", u"~", 4},
        {'3', u"\"", u"3", u"#"},        {'7', u"è", u"7", u"`", 4},
        {'9', u"ç", u"9", u"^"},         {'0', u"à", u"0", u"@"},
        {kOem6, u"^", u"¨", u"", 1 | 2}, {kOem1, u"$", u"£", u"¤"},
        {kOem3, u"ù", u"%", u""},        {kOemComma, u",", u"?", u""},
        {kOemPeriod, u";", u".", u""},   {kOem2, u":", u"/", u""},
        {kOem8, u"!", u"§", u""}};
    return keys;
  }
};

// Keys as the user presses them: each taps its key, with the keys of `Held` pressed
// before and let go after, in reverse.
struct Tap {
  std::uint32_t Vk;
  std::vector<std::uint32_t> Held = {};
};

inline KeyEvent Down(std::uint32_t key) { return KeyEvent{key, 0, false}; }
inline KeyEvent Up(std::uint32_t key) { return KeyEvent{key, 0, true}; }

// The transitions of `taps`, in order.
inline std::vector<KeyEvent> Events(const std::vector<Tap>& taps) {
  std::vector<KeyEvent> events;
  for (const Tap& t : taps) {
    for (std::uint32_t h : t.Held) events.push_back(Down(h));
    events.push_back(Down(t.Vk));
    events.push_back(Up(t.Vk));
    for (auto h = t.Held.rbegin(); h != t.Held.rend(); ++h) events.push_back(Up(*h));
  }
  return events;
}

// AltGr as Windows reports it: the left Ctrl it makes up, then the right Alt.
inline const std::vector<std::uint32_t> kAltGr = {vk::LControl, vk::RMenu};

// The keys that type `text` on the US layout: letters, digits, blank and ; (Shift for
// capitals and the shifted signs there).
inline std::vector<Tap> UsKeys(std::string_view text) {
  std::vector<Tap> taps;
  for (char c : text) {
    if (c >= 'a' && c <= 'z')
      taps.push_back({static_cast<std::uint32_t>(c - 32)});
    else if (c >= 'A' && c <= 'Z')
      taps.push_back({static_cast<std::uint32_t>(c), {vk::LShift}});
    else if (c >= '0' && c <= '9')
      taps.push_back({static_cast<std::uint32_t>(c)});
    else if (c == ' ')
      taps.push_back({' '});
    else if (c == ';')
      taps.push_back({kOem1});
    else if (c == ':')
      taps.push_back({kOem1, {vk::LShift}});
    else if (c == '/')
      taps.push_back({kOem2});
    else if (c == '.')
      taps.push_back({kOemPeriod});
  }
  return taps;
}

}  // namespace ks::keys::test
