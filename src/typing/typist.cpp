#include "typing/typist.h"

#include <string_view>
#include <utility>
#include <vector>

#include "text/utf.h"
#include "typing/codes.h"
#include "typing/keys.h"

namespace ks {

namespace {

// RUN and LIST arguments are cut to this many UTF-16 units, silently, never inside a
// character.
constexpr std::size_t kMaxArgument = 255;

std::string Cut(const std::string& s, std::size_t from) {
  if (from >= s.size()) return {};
  return std::string(Utf8Prefix(std::string_view(s).substr(from), kMaxArgument));
}

constexpr std::uint8_t kShiftBit = 1;
constexpr std::uint8_t kCtrlBit = 2;
constexpr std::uint8_t kAltBit = 4;

}  // namespace

Typist::Typist(const TypingPorts& ports)
    : sink_(ports.sink),
      layout_(ports.layout),
      clock_(ports.clock),
      foreground_(ports.foreground),
      ports_(ports) {}

void Typist::SimulateKeyDown(std::uint8_t key) {
  sink_.Key(key, layout_.ScanCode(key), false, vk::IsExtended(key));
  ++pending_;
}

void Typist::SimulateKeyUp(std::uint8_t key) {
  sink_.Key(key, layout_.ScanCode(key), true, vk::IsExtended(key));
  ++pending_;
}

void Typist::SimulateKeystroke(std::uint8_t key, std::uint16_t scan) {
  // Programs that read scan codes (games, remote desktops, some terminals) see a
  // key with scan code 0 as no key at all, so 0 means "the layout's own".
  if (scan == 0) scan = layout_.ScanCode(key);
  const bool extended = vk::IsExtended(key);
  sink_.Key(key, scan, false, extended);
  sink_.Key(key, scan, true, extended);
  pending_ += 2;
  ++KeystrokeCount;
}

void Typist::SendUnicode(char32_t c) {
  if (c < 0x10000) {
    sink_.Unicode(static_cast<char16_t>(c));
    pending_ += 2;
    ++KeystrokeCount;
    return;
  }
  sink_.Unicode(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
  sink_.Unicode(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  pending_ += 4;
  ++KeystrokeCount;
}

void Typist::SendKey(char32_t c) {
  if (c == 0) return;
  const bool bmp = c < 0x10000 && !(c >= 0xD800 && c <= 0xDFFF);
  const std::int16_t r = bmp ? layout_.CharToKey(static_cast<char16_t>(c)) : std::int16_t(-1);
  if (r == -1) {
    // No key of the layout makes this character: hand it over as the character
    // itself instead of pressing whatever key 0xFF would be.
    SendUnicode(c);
    return;
  }
  const auto bits = static_cast<std::uint16_t>(r);
  const auto key = static_cast<std::uint8_t>(bits & 0xFF);
  const auto state = static_cast<std::uint8_t>(bits >> 8);
  const bool shift = (state & kShiftBit) != 0;
  const bool ctrl = (state & kCtrlBit) != 0;
  const bool alt = (state & kAltBit) != 0;

  // Modifiers go down Shift, Alt, Ctrl and come up in that same order.
  if (shift) SimulateKeyDown(vk::Shift);
  if (alt) SimulateKeyDown(vk::Menu);
  if (ctrl) SimulateKeyDown(vk::Control);
  SimulateKeystroke(key, 0);
  if (shift) SimulateKeyUp(vk::Shift);
  if (alt) SimulateKeyUp(vk::Menu);
  if (ctrl) SimulateKeyUp(vk::Control);
}

void Typist::Flush() {
  const bool aside = firstFlush_ && pending_ > 0 && ports_.watch;
  if (aside) ports_.watch->StandAside();
  sink_.Flush();
  if (aside) ports_.watch->Return();
  if (pending_ > 0) firstFlush_ = false;
  sentSinceWait_ += pending_;
  pending_ = 0;
}

void Typist::FlushAndWaitUntilTaken() {
  Flush();
  foreground_.WaitUntilKeysTaken(TargetWindow, sentSinceWait_);
  sentSinceWait_ = 0;
}

void Typist::Pump() {
  if (pending_ >= kFlushBatch) Flush();
  if (ports_.pump) ports_.pump->ProcessMessages();
}

bool Typist::SendString(std::string text, int erase) {
  // `text` is this run's own copy: a run started from the message pump may change
  // the button it came from while this one is still walking it.
  if (TargetWindow == 0) return false;
  if (ports_.bar) ports_.bar->FocusDummy();
  if (!foreground_.BringToForeground(TargetWindow)) return false;
  if (depth_++ == 0) {
    stopped_ = false;
    firstFlush_ = true;
  }
  sentSinceWait_ = 0;
  for (int k = 0; k < erase; ++k) SendKey(U'\b');
  KeystrokeCount = 0;
  std::size_t i = 0;
  while (i < text.size() && !stopped_) {
    if (text[i] != '{') {
      SendKey(NextCodePoint(text, i));
    } else {
      const std::size_t close = text.find('}', i);
      if (close == std::string::npos) {
        SendKey('{');
        ++i;
      } else {
        RunCode(text.substr(i + 1, close - i - 1));
        i = close + 1;
      }
    }
    Pump();
  }
  Flush();
  --depth_;
  return true;
}

bool Typist::BackToTarget() {
  if (!foreground_.BringToForeground(TargetWindow)) stopped_ = true;
  return !stopped_;
}

void Typist::RunCode(const std::string& code) {
  const TypeCode* c = FindTypeCode(code);
  if (!c) return;
  switch (c->Action) {
    case CodeAction::Key: SimulateKeystroke(c->Key, 0); break;
    case CodeAction::Date: SendSpecial(clock_.ShortDate()); break;
    case CodeAction::Day: SendSpecial(clock_.LongDayName()); break;
    case CodeAction::Month: SendSpecial(clock_.MonthName()); break;
    case CodeAction::Time: SendSpecial(clock_.LongTime()); break;
    // The program's name and parameters are upper-cased with the code, as they always were.
    case CodeAction::Run: StartProgram(Cut(UpperAscii(code), c->Name.size())); break;
    case CodeAction::List: SelectFromList(Cut(code, c->Name.size()) + ","); break;
  }
}

void Typist::SendSpecial(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) SendKey(NextCodePoint(text, i));
}

void Typist::StartProgram(const std::string& arg) {
  std::string program = arg;
  std::string params;
  if (const std::size_t comma = arg.find(','); comma != std::string::npos) {
    program = arg.substr(0, comma);
    params = Cut(arg, comma + 1);
  }
  // What was typed before the code belongs in front of whatever the program opens, and
  // must have reached the target before the program can take the foreground from it.
  FlushAndWaitUntilTaken();
  if (!ports_.starter || !ports_.starter->Start(program, params)) {
    if (ports_.bar) ports_.bar->Message("Unable to start " + program);
    BackToTarget();
  }
}

void Typist::SelectFromList(const std::string& arg) {
  std::vector<std::string> entries;
  std::string rest = arg;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string::npos) {
      // Only a caller that did not end the list with "," gets here; without this
      // the same text would be split again and again for ever.
      entries.push_back(std::move(rest));
      break;
    }
    entries.push_back(rest.substr(0, comma));
    rest = Cut(rest, comma + 1);
  }
  FlushAndWaitUntilTaken();
  std::optional<std::string> pick =
      ports_.picker ? ports_.picker->Pick(entries) : std::optional<std::string>();
  if (pick && BackToTarget()) {
    SendSpecial(*pick);
    Flush();
  }
  if (ports_.bar) ports_.bar->ShowBarOnTop();
  if (!stopped_) BackToTarget();
}

void Typist::TrackForeground(WindowId foreground, WindowId bar, WindowId list, WindowId editor) {
  // No window has the foreground for a moment while it passes from one to another, as it
  // does when a press on the bar activates it; a tick at that moment must not forget the
  // window the user works in, or the press types nothing.
  if (foreground == 0) return;
  if (foreground != bar && foreground != list && foreground != editor) TargetWindow = foreground;
}

bool Typist::HasTarget() { return TargetWindow != 0 && foreground_.WindowExists(TargetWindow); }

void Typist::UndoTyping() {
  if (TargetWindow == 0) return;
  if (ports_.bar) ports_.bar->FocusDummy();
  if (!foreground_.BringToForeground(TargetWindow)) return;
  // Forgotten before the first Backspace, and the Backspaces themselves never counted:
  // an Undo or a press from the pump in between sees only what is left to take back.
  const std::int32_t n = std::exchange(KeystrokeCount, 0);
  if (depth_ == 0) firstFlush_ = true;
  for (std::int32_t k = 0; k < n; ++k) {
    const std::int32_t counted = KeystrokeCount;
    SendKey(U'\b');
    KeystrokeCount = counted;
    Pump();
  }
  Flush();
}

}  // namespace ks
