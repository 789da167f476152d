#include "typing/typist.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "text/utf.h"
#include "typing/codes.h"
#include "typing/keys.h"

namespace ks {

bool BackspaceRemovesHalfPair(std::string_view focusClass, bool wine) {
  auto is = [&](std::string_view name) {
    return focusClass.size() == name.size() &&
           std::equal(name.begin(), name.end(), focusClass.begin(), [](char a, char b) {
             return a == (b >= 'a' && b <= 'z' ? static_cast<char>(b - 'a' + 'A') : b);
           });
  };
  if (is("EDIT")) return true;
  return wine && (is("RICHEDIT20W") || is("RICHEDIT20A") || is("RICHEDIT50W"));
}

std::string KeysStillHeldMessage() {
  return "Nothing was typed: keys were still held down " + std::to_string(kReleaseWaitMs / 1000) +
         " seconds later.\nKeystrum types once Shift, Ctrl, Alt and the Windows key are let go.";
}

Typist::Typist(const TypingPorts& ports)
    : sink_(ports.sink),
      layout_(ports.layout),
      clock_(ports.clock),
      foreground_(ports.foreground),
      ports_(ports) {}

void Typist::SimulateKeyDown(std::uint8_t key) {
  sink_.Key(key, layout_.ScanCode(run_.Layout, key), false, vk::IsExtended(key));
  ++pending_;
}

void Typist::SimulateKeyUp(std::uint8_t key) {
  sink_.Key(key, layout_.ScanCode(run_.Layout, key), true, vk::IsExtended(key));
  ++pending_;
}

void Typist::Counted(int units) {
  if (counting_) strokes_.push_back(PendingStroke{pending_, units});
}

void Typist::SimulateKeystroke(std::uint8_t key, std::uint16_t scan) {
  // Programs that read scan codes (games, remote desktops, some terminals) see a
  // key with scan code 0 as no key at all, so 0 means "the layout's own".
  if (scan == 0) scan = layout_.ScanCode(run_.Layout, key);
  const bool extended = vk::IsExtended(key);
  sink_.Key(key, scan, false, extended);
  sink_.Key(key, scan, true, extended);
  pending_ += 2;
  Counted(1);
}

void Typist::SendUnicode(char32_t c) {
  if (c < 0x10000) {
    sink_.Unicode(static_cast<char16_t>(c));
    pending_ += 2;
    Counted(1);
    return;
  }
  sink_.Unicode(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
  sink_.Unicode(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  pending_ += 4;
  Counted(run_.HalfPair ? 2 : 1);
}

Typist::KeyChoice Typist::ChooseKey(char32_t c) {
  const bool bmp = c < 0x10000 && !(c >= 0xD800 && c <= 0xDFFF);
  // An open input method would compose keys into other characters; Unicode input it
  // lets through. Control characters (Enter, Tab, Backspace) keep their keys.
  if (!bmp || (run_.InputMethod && c >= 0x20)) return {};
  const auto ch = static_cast<char16_t>(c);
  if (const auto known = run_.Choices.find(ch); known != run_.Choices.end()) return known->second;
  KeyChoice choice;
  const std::int16_t r = layout_.CharToKey(run_.Layout, ch);
  if (r != -1) {
    const auto bits = static_cast<std::uint16_t>(r);
    const KeyChoice key{false, static_cast<std::uint8_t>(bits & 0xFF),
                        static_cast<std::uint8_t>((bits >> 8) & (kShiftBit | kCtrlBit | kAltBit))};
    if (c < 0x20) {
      choice = key;
    } else {
      // The key is asked what it makes as the target would make it: Caps Lock turns a
      // letter's case, so Shift is turned with it; an accent key would wait and compose
      // with the next one; a layout's own modifier (Kana) that the state leaves out would
      // make another character. Any of these that no Shift state mends goes as Unicode.
      const std::u16string want(1, ch);
      for (const std::uint8_t state : {key.State, static_cast<std::uint8_t>(key.State ^ kShiftBit)}) {
        const KeyMade made = layout_.Makes(run_.Layout, key.Vk, state, run_.CapsLock);
        if (made.Dead) break;
        if (made.Chars == want) {
          choice = KeyChoice{false, key.Vk, state};
          break;
        }
        if (!run_.CapsLock) break;
      }
    }
  }
  run_.Choices.emplace(ch, choice);
  return choice;
}

void Typist::SendKey(char32_t c) {
  if (c == 0) return;
  const KeyChoice k = ChooseKey(c);
  if (k.Unicode) {
    // No key of the layout makes this character as it is: hand it over as the character
    // itself instead of pressing whatever key 0xFF would be.
    SendUnicode(c);
  } else {
    const bool shift = (k.State & kShiftBit) != 0;
    const bool ctrl = (k.State & kCtrlBit) != 0;
    const bool alt = (k.State & kAltBit) != 0;
    // Modifiers go down Shift, Alt, Ctrl and come up in that same order.
    if (shift) SimulateKeyDown(vk::Shift);
    if (alt) SimulateKeyDown(vk::Menu);
    if (ctrl) SimulateKeyDown(vk::Control);
    SimulateKeystroke(k.Vk, 0);
    if (shift) SimulateKeyUp(vk::Shift);
    if (alt) SimulateKeyUp(vk::Menu);
    if (ctrl) SimulateKeyUp(vk::Control);
  }
  PaceStep();
}

void Typist::PaceStep() {
  // One character at a time, its Shift or AltGr with it, and the gap after it, for
  // targets that drop keys sent faster than they take them.
  if (run_.PaceMs <= 0 || frontWindow_ == 0) return;
  Flush();
  if (!stopped_ && ports_.pump) ports_.pump->Wait(run_.PaceMs);
}

void Typist::Tell(const std::string& text) {
  if (ports_.messages) ports_.messages->Notice(text);
}

void Typist::Flush() {
  // A run's first batch goes out right after its window was found in front: asking again
  // would only hold up the first character.
  if (pending_ > 0 && frontWindow_ != 0 && !firstFlush_ && ports_.conditions &&
      ports_.conditions->Foreground() != frontWindow_) {
    // Another window came to the front (a click, a pop-up): what is not yet sent would
    // land there. The run ends, and Undo still takes back what reached its window.
    sink_.Discard();
    pending_ = 0;
    strokes_.clear();
    if (!stopped_) Tell(kStoppedForAnotherWindow);
    stopped_ = true;
    return;
  }
  const bool aside = firstFlush_ && pending_ > 0 && ports_.watch;
  if (aside) ports_.watch->StandAside();
  const std::size_t taken = sink_.Flush();
  if (aside) ports_.watch->Return();
  if (pending_ > 0) firstFlush_ = false;
  for (const PendingStroke& s : strokes_)
    if (s.End <= taken) (s.CaretMove ? caretMoves_ : KeystrokeCount) += s.Units;
  strokes_.clear();
  const bool refused = taken < pending_;
  sentSinceWait_ += std::min(taken, pending_);
  pending_ = 0;
  if (refused) {
    // What the system let through stays; a modifier it let go down must not stay held.
    sink_.Key(vk::Shift, layout_.ScanCode(run_.Layout, vk::Shift), true, false);
    sink_.Key(vk::Control, layout_.ScanCode(run_.Layout, vk::Control), true, false);
    sink_.Key(vk::Menu, layout_.ScanCode(run_.Layout, vk::Menu), true, false);
    sink_.Flush();
    if (!stopped_) Tell(kStoppedRefused);
    stopped_ = true;
  }
}

void Typist::FlushAndWaitUntilTaken() {
  Flush();
  foreground_.WaitUntilKeysTaken(runWindow_, sentSinceWait_);
  sentSinceWait_ = 0;
}

void Typist::Pump() {
  if (pending_ >= kFlushBatch) Flush();
  if (ports_.pump) ports_.pump->ProcessMessages();
}

bool Typist::WaitForHand() {
  InputConditions* c = ports_.conditions;
  if (!c || !c->ModifierHeld()) return true;
  // Keys typed under a held Shift come out as capitals, under Ctrl or Alt as shortcuts of
  // the target: an abbreviation's last key may need Shift, and the user lets go a moment
  // later.
  const std::int64_t start = c->NowMs();
  while (c->ModifierHeld()) {
    if (stopped_) return false;
    if (!ports_.pump || c->NowMs() - start >= kReleaseWaitMs) {
      if (ports_.messages) ports_.messages->Message(KeysStillHeldMessage());
      return false;
    }
    ports_.pump->Wait(kReleasePollMs);
  }
  return !stopped_;
}

void Typist::Prepare(WindowId w) {
  run_.Layout = layout_.LayoutOf(w);
  run_.Choices.clear();
  if (InputConditions* c = ports_.conditions) {
    run_.CapsLock = c->CapsLockOn();
    run_.InputMethod = c->InputMethodOpen(w);
    run_.HalfPair = c->BackspaceTakesHalfPair(w);
    run_.PaceMs = c->PaceMs(w);
  }
}

bool Typist::SendString(WindowId target, std::string text, Erase erase) {
  // `text` is this run's own copy: a run started from the message pump may change
  // the button it came from while this one is still walking it. A press while a question
  // is open would type where the answers are being given.
  if (asking_) return false;
  const bool outer = depth_ == 0;
  if (outer) {
    if (target == 0) return false;
    stopped_ = false;
    clipboardCutTold_ = false;
  }
  // Asked before any key of the run goes out: a cancel types nothing.
  std::map<std::string, std::string> answers;
  if (!AskQuestions(outer ? target : runWindow_, text, answers)) return false;
  if (outer) {
    if (!WaitForHand()) return false;
    runWindow_ = target;
  }
  if (!foreground_.BringToForeground(runWindow_)) return false;
  const WindowId front = std::exchange(frontWindow_, runWindow_);
  if (depth_++ == 0) {
    firstFlush_ = true;
    Prepare(runWindow_);
  }
  sentSinceWait_ = 0;
  const bool counting = std::exchange(counting_, false);
  // An accent the user pressed just before would compose with the first character: a
  // blank takes it as the accent alone, which a Backspace takes out again.
  if (outer && ports_.conditions && ports_.conditions->AccentWaiting()) {
    SimulateKeystroke(vk::Space, 0);
    SimulateKeystroke(vk::Back, 0);
  }
  const int backspaces = run_.HalfPair ? erase.Units : erase.Characters;
  for (int k = 0; k < backspaces && !stopped_; ++k) SendKey(U'\b');
  counting_ = true;
  KeystrokeCount = caretMoves_ = 0;
  strokes_.clear();
  undoWindow_ = runWindow_;
  TypeRun(text, std::move(answers));
  counting_ = counting;
  frontWindow_ = front;
  --depth_;
  return true;
}

void Typist::TypeRun(const std::string& text, std::map<std::string, std::string> answers) {
  // A run nested in this one has answers and a {cursor} of its own.
  auto outerAnswers = std::exchange(answers_, std::move(answers));
  const auto outerMark = std::exchange(cursorMark_, std::nullopt);
  TypeText(text);
  PlaceCaret();
  Flush();
  answers_ = std::move(outerAnswers);
  cursorMark_ = outerMark;
}

void Typist::TypeText(const std::string& text) {
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
}

bool Typist::BackToTarget() {
  if (!foreground_.BringToForeground(runWindow_)) stopped_ = true;
  return !stopped_;
}

void Typist::UndoTyping() {
  // Only where the text went: Backspaces anywhere else would take the user's own text.
  const WindowId w = undoWindow_;
  if (w == 0 || KeystrokeCount == 0 || asking_) return;
  if (!foreground_.WindowExists(w)) {
    if (ports_.messages)
      ports_.messages->Message("The window typed into has been closed; there is nothing to undo.");
    KeystrokeCount = caretMoves_ = 0;
    return;
  }
  if (depth_ == 0) {
    stopped_ = false;
    if (!WaitForHand()) return;
  }
  if (!foreground_.BringToForeground(w)) return;
  // Forgotten before the first Backspace, and the Backspaces themselves never counted:
  // an Undo or a press from the pump in between sees only what is left to take back.
  const std::int32_t n = std::exchange(KeystrokeCount, 0);
  const std::int32_t rights = std::exchange(caretMoves_, 0);
  const WindowId front = std::exchange(frontWindow_, w);
  const bool counting = std::exchange(counting_, false);
  if (depth_ == 0) {
    firstFlush_ = true;
    Prepare(w);
  }
  // A {cursor} left the caret inside the text: back to its end first.
  for (std::int32_t k = 0; k < rights && !stopped_; ++k) {
    MoveCaret(vk::Right);
    Pump();
  }
  for (std::int32_t k = 0; k < n && !stopped_; ++k) {
    SendKey(U'\b');
    Pump();
  }
  Flush();
  counting_ = counting;
  frontWindow_ = front;
}

}  // namespace ks
