#pragma once
// Fakes of the typing ports: a US-English keyboard, a sink and a host that write
// one shared journal, so a test can check the order of keys, flushes and host calls.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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
    default: break;
  }
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
  static const char* hex = "0123456789ABCDEF";
  return std::string("0x") + hex[vk >> 4] + hex[vk & 15];
}

class UsLayout : public KeyboardLayout {
 public:
  UsLayout() {
    for (int c = 'a'; c <= 'z'; ++c) vk_[char16_t(c)] = int16_t(c - 'a' + 'A');
    for (int c = 'A'; c <= 'Z'; ++c) vk_[char16_t(c)] = int16_t(0x100 | c);
    for (int c = '0'; c <= '9'; ++c) vk_[char16_t(c)] = int16_t(c);
    const char* shiftedDigits = ")!@#$%^&*(";
    for (int d = 0; d < 10; ++d) vk_[shiftedDigits[d]] = int16_t(0x100 | ('0' + d));
    const struct { char plain, shifted; int vk; } oem[] = {
        {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD},
        {'.', '>', 0xBE}, {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB},
        {'\\', '|', 0xDC}, {']', '}', 0xDD}, {'\'', '"', 0xDE}};
    for (auto o : oem) {
      vk_[o.plain] = int16_t(o.vk);
      vk_[o.shifted] = int16_t(0x100 | o.vk);
    }
    vk_[' '] = 0x20;
    vk_['\b'] = 0x08;
    vk_['\t'] = 0x09;
    vk_['\r'] = 0x0D;
    vk_['\n'] = 0x020D;
    vk_['\x1b'] = 0x1B;

    const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    const int starts[] = {0x10, 0x1E, 0x2C};
    for (int r = 0; r < 3; ++r)
      for (int k = 0; rows[r][k]; ++k) scan_[uint8_t(rows[r][k])] = uint16_t(starts[r] + k);
    for (int d = 1; d <= 9; ++d) scan_[uint8_t('0' + d)] = uint16_t(1 + d);
    scan_['0'] = 0x0B;
    const std::pair<int, int> others[] = {
        {8, 0x0E},    {9, 0x0F},    {13, 0x1C},   {16, 0x2A},   {17, 0x1D},   {18, 0x38},
        {27, 0x01},   {32, 0x39},   {37, 0x4B},   {38, 0x48},   {39, 0x4D},   {40, 0x50},
        {0xBA, 0x27}, {0xBB, 0x0D}, {0xBC, 0x33}, {0xBD, 0x0C}, {0xBE, 0x34}, {0xBF, 0x35},
        {0xC0, 0x29}, {0xDB, 0x1A}, {0xDC, 0x2B}, {0xDD, 0x1B}, {0xDE, 0x28}};
    for (auto [v, s] : others) scan_[uint8_t(v)] = uint16_t(s);
  }

  // Gives `c` another key, as a European layout does for its AltGr characters.
  void Set(char16_t c, int16_t value) { vk_[c] = value; }

  int16_t CharToKey(char16_t c) const override {
    auto it = vk_.find(c);
    return it == vk_.end() ? int16_t(-1) : it->second;
  }
  uint16_t ScanCode(uint8_t vk) const override {
    auto it = scan_.find(vk);
    return it == scan_.end() ? 0 : it->second;
  }

 private:
  std::map<char16_t, int16_t> vk_;
  std::map<uint8_t, uint16_t> scan_;
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
    journal_.push_back((up ? "-" : "+") + KeyName(vk));
  }
  void Unicode(char16_t ch) override {
    events.push_back({true, 0, 0, false, false, ch});
    static const char* hex = "0123456789ABCDEF";
    std::string s = "U+";
    for (int shift = 12; shift >= 0; shift -= 4) s += hex[(ch >> shift) & 15];
    journal_.push_back(s);
  }
  void Flush() override { journal_.push_back("|"); }

  std::vector<KeyEvent> events;

 private:
  Journal& journal_;
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
class ScriptedHost : public TypingHost,
                     public ForegroundHandOver,
                     public MessagePump,
                     public ListPicker,
                     public ProgramStarter {
 public:
  explicit ScriptedHost(Journal& j) : journal_(j) {}

  TypingPorts Ports(KeySink& sink, const KeyboardLayout& layout, Clock& clock) {
    return TypingPorts{sink, layout, clock, *this, this, this, this, this};
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
  void FocusDummy() override { journal_.push_back("focus"); }
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
  std::optional<std::string> Pick(const std::vector<std::string>& entries) override {
    lastEntries = entries;
    std::string s = "list:";
    for (const auto& e : entries) s += "[" + e + "]";
    journal_.push_back(s);
    return pick;
  }
  void ShowBarOnTop() override { journal_.push_back("ontop"); }

 private:
  Journal& journal_;
};

}  // namespace ks::test
