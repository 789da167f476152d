#pragma once
// Fakes of the typing ports: a US-English keyboard, a sink and a host that write
// one shared journal, so a test can check the order of keys, flushes and host calls.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "typing/ports.h"

namespace ks::test {

using Journal = std::vector<std::string>;

// Readable name of a virtual key in the journal: letters and digits as themselves.
inline std::string KeyName(std::uint8_t vk) {
  switch (vk) {
    case 8: return "Back";
    case 9: return "Tab";
    case 13: return "Enter";
    case 16: return "Shift";
    case 17: return "Ctrl";
    case 18: return "Alt";
    case 32: return "Space";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 27: return "Esc";
    case 33: return "PgUp";
    case 34: return "PgDn";
    case 35: return "End";
    case 36: return "Home";
    case 45: return "Ins";
    case 46: return "Del";
    case 0x5B: return "Win";
    case 0x5D: return "Apps";
    default: break;
  }
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x6F);
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
  static const char* hex = "0123456789ABCDEF";
  return std::string("0x") + hex[vk >> 4] + hex[vk & 15];
}

// A US-English keyboard, and further layouts made from it for the windows that use them.
class UsLayout : public KeyboardLayout {
 public:
  UsLayout() {
    Table& t = tables_[0];
    for (int c = 'a'; c <= 'z'; ++c) t.vk[char16_t(c)] = int16_t(c - 'a' + 'A');
    for (int c = 'A'; c <= 'Z'; ++c) t.vk[char16_t(c)] = int16_t(0x100 | c);
    for (int c = '0'; c <= '9'; ++c) t.vk[char16_t(c)] = int16_t(c);
    const char* shiftedDigits = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d) t.vk[shiftedDigits[d]] = int16_t(0x100 | ('0' + d));
    const struct { char plain, shifted; int vk; } oem[] = {
        {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD},
        {'.', '>', 0xBE}, {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB},
        {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE}};
    for (auto o : oem) {
      t.vk[o.plain] = int16_t(o.vk);
      t.vk[o.shifted] = int16_t(0x100 | o.vk);
    }
    t.vk[' '] = 0x20;
    t.vk['\b'] = 0x08;
    t.vk['\t'] = 0x09;
    t.vk['\r'] = 0x0D;
    t.vk['\n'] = 0x020D;
    t.vk['\x1b'] = 0x1B;

    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int starts[] = {0x10, 0x1E, 0x2C};
    for (int r = 0; r < 3; ++r)
      for (int k = 0; rows[r][k]; ++k) t.scan[uint8_t(rows[r][k])] = uint16_t(starts[r] + k);
    for (int d = 1; d <= 9; ++d) t.scan[uint8_t('0' + d)] = uint16_t(1 + d);
    t.scan['0'] = 0x0B;
    const std::pair<int, int> others[] = {
        {8, 0x0E},    {9, 0x0F},    {13, 0x1C},   {16, 0x2A},   {17, 0x1D},   {18, 0x38},
        {27, 0x01},   {32, 0x39},   {37, 0x4B},   {38, 0x48},   {39, 0x4D},   {40, 0x50},
        {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35},
        {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}};
    for (auto [v, sc] : others) t.scan[uint8_t(v)] = uint16_t(sc);
  }

  // Gives `c` another key on `layout`, as a European layout does for its AltGr characters.
  // The key's old character goes: a key makes one character in one state.
  void Set(char16_t c, int16_t value, LayoutId layout = 0) {
    std::erase_if(tables_[layout].vk, [&](const auto& e) { return e.second == value; });
    tables_[layout].vk[c] = value;
  }
  void SetScan(uint8_t vk, uint16_t scan, LayoutId layout) { tables_[layout].scan[vk] = scan; }
  // Makes the key `vk` in shift state `state` an accent key on `layout`.
  void SetDead(uint8_t vk, uint8_t state, LayoutId layout) {
    tables_[layout].dead.insert(int(state << 8 | vk));
  }
  // A layout made from the US one, used by window `w`.
  void Add(LayoutId layout, WindowId w) {
    if (!tables_.count(layout)) tables_[layout] = tables_[0];
    windows[w] = layout;
  }
  std::map<WindowId, LayoutId> windows;
  // Asks of Makes, one per question.
  mutable int makesAsked = 0;

  LayoutId LayoutOf(WindowId w) const override {
    auto it = windows.find(w);
    return it == windows.end() ? 0 : it->second;
  }
  int16_t CharToKey(LayoutId layout, char16_t c) const override {
    const Table& t = Of(layout);
    auto it = t.vk.find(c);
    return it == t.vk.end() ? int16_t(-1) : it->second;
  }
  uint16_t ScanCode(LayoutId layout, uint8_t vk) const override {
    const Table& t = Of(layout);
    auto it = t.scan.find(vk);
    return it == t.scan.end() ? 0 : it->second;
  }
  // What a key makes: the character that the table gives it, Caps Lock turning the Shift
  // of the letter keys, as the layouts' Caps Lock does.
  KeyMade Makes(LayoutId layout, uint8_t vk, uint8_t state, bool capsLock) const override {
    ++makesAsked;
    const Table& t = Of(layout);
    if (capsLock && vk >= 'A' && vk <= 'Z') state ^= kShiftBit;
    const int key = state << 8 | vk;
    if (t.dead.count(key)) return KeyMade{u"`", true};
    for (const auto& [c, v] : t.vk)
      if (v == key && c >= 0x20) return KeyMade{std::u16string(1, c), false};
    return {};
  }

 private:
  struct Table {
    std::map<char16_t, int16_t> vk;
    std::map<uint8_t, uint16_t> scan;
    std::set<int> dead;
  };
  const Table& Of(LayoutId layout) const {
    auto it = tables_.find(layout);
    return it == tables_.end() ? tables_.at(0) : it->second;
  }
  std::map<LayoutId, Table> tables_;
};

struct KeyEvent {
  bool unicode = false;
  uint8_t vk = 0;
  uint16_t scan = 0;
  bool up = false;
  bool extended = false;
  char16_t ch = 0;
};

class RecordingSink : public KeySink {
 public:
  explicit RecordingSink(Journal& j) : journal_(j) {}
  void Key(uint8_t vk, uint16_t scan, bool up, bool extended) override {
    events.push_back({false, vk, scan, up, extended, 0});
    ++batch_;
    journal_.push_back((up ? "-" : "+") + KeyName(vk));
  }
  void Unicode(char16_t ch) override {
    events.push_back({true, 0, 0, false, false, ch});
    batch_ += 2;  // its press and its release, as the system counts them
    static const char* hex = "0123456789ABCDEF";
    std::string s = "U+";
    for (int shift = 12; shift >= 0; shift -= 4) s += hex[(ch >> shift) & 15];
    journal_.push_back(s);
  }
  // The events of the batch go to the system, as many as it still accepts.
  std::size_t Flush() override {
    const std::size_t take = std::min(batch_, accepts);
    accepts -= take;
    Drop(batch_ - take);  // the refused ones never arrive
    batch_ = 0;
    journal_.push_back("|");
    return take;
  }
  void Discard() override {
    Drop(batch_);
    batch_ = 0;
    journal_.push_back("discard");
  }

  std::vector<KeyEvent> events;
  // How many more events the system takes; it refuses the rest.
  std::size_t accepts = SIZE_MAX;

 private:
  // Takes the last `n` system events back off the record.
  void Drop(std::size_t n) {
    while (n > 0 && !events.empty()) {
      n -= std::min<std::size_t>(n, events.back().unicode ? 2 : 1);
      events.pop_back();
    }
  }

  Journal& journal_;
  std::size_t batch_ = 0;  // events since the last flush, as the system counts them
};

class FixedClock : public Clock {
 public:
  std::string date = "12/31/26", day = "Thursday", month = "December", time = "11:59:58 PM";
  std::string ShortDate() override { return date; }
  std::string LongDayName() override { return day; }
  std::string MonthName() override { return month; }
  std::string LongTime() override { return time; }
};

// Every port of a typing run but the keys, the layout and the clock, in one journal.
// The foreground is the window last brought there, until a test moves it.
class ScriptedHost : public UserMessages,
                     public ForegroundHandOver,
                     public MessagePump,
                     public ListPicker,
                     public ProgramStarter,
                     public InputConditions,
                     public ClipboardReader,
                     public InputQuestion {
 public:
  explicit ScriptedHost(Journal& j) : journal_(j) {}

  TypingPorts Ports(KeySink& sink, const KeyboardLayout& layout, Clock& clock) {
    return TypingPorts{sink, layout, clock, *this, this, this, this, this, nullptr, this,
                       this, this};
  }

  WindowId foreground = 7;
  bool capsLock = false, accent = false, inputMethod = false, halfPair = false;
  int pace = 0;
  // Polls of the modifiers that still find one held.
  int heldPolls = 0;
  std::int64_t now = 0;
  std::function<void()> onWait;  // runs inside Wait

  WindowId Foreground() override { return foreground; }
  bool CapsLockOn() override { return capsLock; }
  bool ModifierHeld() override { return heldPolls > 0 && heldPolls--; }
  bool AccentWaiting() override { return accent; }
  bool InputMethodOpen(WindowId) override { return inputMethod; }
  bool BackspaceTakesHalfPair(WindowId) override { return halfPair; }
  int PaceMs(WindowId) override { return pace; }
  std::int64_t NowMs() override { return now; }
  void Wait(int ms) override {
    journal_.push_back("wait:" + std::to_string(ms));
    now += ms;
    if (onWait) onWait();
  }

  std::function<void()> onPump;           // runs inside ProcessMessages
  bool startSucceeds = true;
  std::optional<std::string> pick;        // what the list picker answers
  std::vector<WindowId> existing{7};      // windows that exist
  std::vector<std::string> lastEntries;

  void ProcessMessages() override {
    journal_.push_back("pump");
    if (onPump) onPump();
  }
  bool WindowExists(WindowId w) override {
    for (WindowId e : existing)
      if (e == w) return true;
    return false;
  }
  // Answers of the hand-overs to come, in order; every later one succeeds where the
  // window exists, as a real host refuses a closed one.
  std::vector<bool> frontAnswers;
  bool BringToForeground(WindowId w) override {
    const bool ok = WindowExists(w) && (frontAnswers.empty() || frontAnswers.front());
    if (!frontAnswers.empty()) frontAnswers.erase(frontAnswers.begin());
    journal_.push_back("front:" + std::to_string(w) + (ok ? "" : " refused"));
    if (ok) foreground = w;
    return ok;
  }
  void WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) override {
    journal_.push_back("taken:" + std::to_string(w) + "/" + std::to_string(keyEvents));
  }
  bool Start(const std::string& program, const std::string& params) override {
    journal_.push_back("start:" + program + "|" + params);
    return startSucceeds;
  }
  void Message(const std::string& text) override { journal_.push_back("msg:" + text); }
  void Notice(const std::string& text) override { journal_.push_back("notice:" + text); }
  std::string clipboard;  // the clipboard's text
  std::string Text() override {
    journal_.push_back("clipboard");
    return clipboard;
  }
  // The question window: "ask:[Name=answer]..." in the journal, each field's answer as it
  // opens. It answers with `answers` (the fields' own where it holds none), or cancels.
  std::optional<std::vector<std::string>> answers = std::vector<std::string>{};
  std::vector<InputQuestionField> asked;
  std::function<void()> onAsk;  // runs while the question is open
  std::optional<std::vector<std::string>> Ask(
      const std::vector<InputQuestionField>& fields) override {
    asked = fields;
    std::string s = "ask:";
    for (const auto& f : fields) s += "[" + f.Name + "=" + f.Answer + "]";
    journal_.push_back(s);
    if (onAsk) onAsk();
    if (!answers) return std::nullopt;
    std::vector<std::string> out;
    for (std::size_t k = 0; k < fields.size(); ++k)
      out.push_back(k < answers->size() ? (*answers)[k] : fields[k].Answer);
    return out;
  }

  std::optional<std::string> Pick(const std::vector<std::string>& entries) override {
    lastEntries = entries;
    std::string s = "list:";
    for (const auto& e : entries) s += "[" + e + "]";
    journal_.push_back(s);
    return pick;
  }

 private:
  Journal& journal_;
};

}  // namespace ks::test
