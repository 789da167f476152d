#pragma once
// What the typing engine needs from the system, as small interfaces: the Windows
// layer implements them (the *_win files), the unit tests fake them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ks {

// A window handle as an opaque number; 0 is "no window".
using WindowId = std::uintptr_t;

// Receives injected keyboard input. Events may be buffered until Flush.
class KeySink {
 public:
  virtual ~KeySink() = default;
  // One transition of virtual key `vk` with the layout's scan code `scan`.
  virtual void Key(std::uint8_t vk, std::uint16_t scan, bool keyUp, bool extended) = 0;
  // One UTF-16 unit of a character that no key of the layout produces: a press and a
  // release of it. A character beyond U+FFFF comes as its two surrogates, one call each.
  virtual void Unicode(char16_t ch) = 0;
  // Sends everything buffered so far, in order; how many events the system took. Fewer
  // than were buffered: it refused the rest (a window of higher rights in front, a
  // program blocking input), which are dropped.
  virtual std::size_t Flush() = 0;
  // Drops everything buffered since the last flush, unsent.
  virtual void Discard() = 0;
};

// A keyboard layout as the system names it: an HKL on Windows, any number in tests.
using LayoutId = std::uintptr_t;

// What one key makes on a layout.
struct KeyMade {
  std::u16string Chars;  // the characters; empty for none
  bool Dead = false;     // an accent key: it waits for the next key to compose with it
  bool operator==(const KeyMade&) const = default;
};

// Shift states of a key as the layout gives them with a character's key.
inline constexpr std::uint8_t kShiftBit = 1;
inline constexpr std::uint8_t kCtrlBit = 2;
inline constexpr std::uint8_t kAltBit = 4;

// The keyboard layouts of the windows typed into. The receiving thread turns a virtual key
// into a character with its own layout, so a key looked up on another one can arrive as
// another character ('/' on a US layout is '#' on a German one).
class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // The layout the thread of window `w` reads its keys with; the program's own for 0.
  virtual LayoutId LayoutOf(WindowId w) const = 0;
  // The key that makes character `c` (of the Basic Multilingual Plane) on `layout`. Low
  // byte: virtual key; high byte: shift state (kShiftBit, kCtrlBit, kAltBit); -1: no key
  // makes it. (Not called VkKeyScan: <windows.h> turns that name into VkKeyScanW.)
  virtual std::int16_t CharToKey(LayoutId layout, char16_t c) const = 0;
  // The scan code of virtual key `vk` on `layout`, 0 when the layout has none.
  virtual std::uint16_t ScanCode(LayoutId layout, std::uint8_t vk) const = 0;
  // What `vk` makes on `layout` in shift state `state` with Caps Lock on or off, asked
  // without a pending accent and leaving none behind.
  virtual KeyMade Makes(LayoutId layout, std::uint8_t vk, std::uint8_t state,
                        bool capsLock) const = 0;
};

// Today's date and the time, formatted with the user's regional settings, in UTF-8 as
// every text here.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::string ShortDate() = 0;    // short date format
  virtual std::string LongDayName() = 0;  // full weekday name
  virtual std::string MonthName() = 0;    // full month name
  virtual std::string LongTime() = 0;     // long time format
};

// Handles every window message waiting in the program's queue, then returns: a run's
// pump point, so that the program keeps painting and answering while it types.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  virtual void ProcessMessages() = 0;
  // Returns after `ms` milliseconds and no sooner, handling every message that comes
  // meanwhile: the gap of a paced run, the wait for the user's hand, where a key of the
  // user's must still stop the run.
  virtual void Wait(int ms) = 0;
};

// Shows the list picker modally with `entries`; the picked entry, or nothing.
class ListPicker {
 public:
  virtual ~ListPicker() = default;
  virtual std::optional<std::string> Pick(const std::vector<std::string>& entries) = 0;
};

// The text on the clipboard, read without changing it.
class ClipboardReader {
 public:
  virtual ~ClipboardReader() = default;
  // The clipboard's Unicode text in UTF-8, up to its first NUL; empty when it holds no text
  // or cannot be read.
  virtual std::string Text() = 0;
};

// One question of a text's {input} codes, as the question window shows it: the name and
// the answer the field starts with.
struct InputQuestionField {
  std::string Name;
  std::string Answer;
};

// Asks the user, in one small window of ours, the questions of a text before it is typed.
class InputQuestion {
 public:
  virtual ~InputQuestion() = default;
  // The answers, one per field in order; nothing when the user cancelled.
  virtual std::optional<std::vector<std::string>> Ask(
      const std::vector<InputQuestionField>& fields) = 0;
};

// Opens `program` (a program or a document) through the shell with `params` (may be
// empty); true on success.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  virtual bool Start(const std::string& program, const std::string& params) = 0;
};

// How the keys get to the target window.
class ForegroundHandOver {
 public:
  virtual ~ForegroundHandOver() = default;
  // Whether `w` names a window that exists now.
  virtual bool WindowExists(WindowId w) = 0;
  // Makes sure keys sent next reach `w`: brings it to the foreground unless it is there
  // already. False, after the user has been told why, when they would not reach it (the
  // window closed or hangs, runs at a higher integrity level, or the system refused it
  // the foreground): nothing may then be typed, or it would land wherever the user is.
  virtual bool BringToForeground(WindowId w) = 0;
  // Waits, boundedly, until the window `w` has taken the `keyEvents` key events sent to
  // it since the last wait: a program started next, or the list picker, takes the
  // foreground, and keys still waiting for the target could be lost or land elsewhere.
  // Where the keys go nowhere else (benchmarks, tests without a receiver) there is
  // nothing to wait for.
  virtual void WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) {
    (void)w;
    (void)keyEvents;
  }
};

// What a typing run tells the user.
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // Shows a modal message box with `text`.
  virtual void Message(const std::string& text) = 0;
  // Tells the user `text` without taking the foreground (a balloon of the tray icon): the
  // user works in another window by then, and a box would take it from there.
  virtual void Notice(const std::string& text) = 0;
};

// What a run asks of the system about its window and the user's hands. The foreground
// before every batch; the rest once, at the start of a run or an Undo.
class InputConditions {
 public:
  virtual ~InputConditions() = default;
  // The window in front now; 0 for none.
  virtual WindowId Foreground() = 0;
  // Whether Caps Lock is on.
  virtual bool CapsLockOn() = 0;
  // Whether the user holds Shift, Ctrl, Alt or a Windows key: keys typed now would be
  // chords with it.
  virtual bool ModifierHeld() = 0;
  // Whether an accent key the user pressed waits in the window in front for the next
  // character, as far as the program can tell.
  virtual bool AccentWaiting() = 0;
  // Whether the input method of `w` (Japanese, Chinese, Korean) is open: it would compose
  // keys into other characters, where it lets Unicode input through.
  virtual bool InputMethodOpen(WindowId w) = 0;
  // Whether one Backspace in the control of `w` that has the keyboard focus removes one
  // half of a character beyond U+FFFF (the system's edit control), not the whole.
  virtual bool BackspaceTakesHalfPair(WindowId w) = 0;
  // The gap in milliseconds between two characters typed into `w`'s program, for targets
  // that drop keys sent faster; 0 for none.
  virtual int PaceMs(WindowId w) = 0;
  // Milliseconds from any fixed point, to the millisecond.
  virtual std::int64_t NowMs() = 0;
};

// How long a run waits for the user to let go of Shift, Ctrl, Alt and the Windows keys
// before it types nothing, and how often it looks.
inline constexpr int kReleaseWaitMs = 3000;
inline constexpr int kReleasePollMs = 10;

// The program's own watch on the user's keys (the abbreviation hook). While it is in place
// every key event sent waits until its thread has looked at it: under Wine two thread
// switches, about half a millisecond on a busy machine, longer than a target takes for a
// character. A run's first keys go out in one call, before a user could press a key to
// stop them, and the watch stands aside for that call.
class KeyWatch {
 public:
  virtual ~KeyWatch() = default;
  // Until Return: keys go by unwatched.
  virtual void StandAside() = 0;
  // Watches again, after what went by: what was typed before is no longer before the caret.
  virtual void Return() = 0;
};

// What a typing run is given. The keys, the layout, the clock and the hand-over are
// needed by every run; a port left out does nothing (no pump, no picker, no program
// started, nobody told, no look at the foreground or the user's keys), as in a benchmark
// or a test that needs none of them.
struct TypingPorts {
  KeySink& sink;
  const KeyboardLayout& layout;
  Clock& clock;
  ForegroundHandOver& foreground;
  MessagePump* pump = nullptr;
  ListPicker* picker = nullptr;
  ProgramStarter* starter = nullptr;
  UserMessages* messages = nullptr;
  KeyWatch* watch = nullptr;
  // None: every key goes out as if the target were in front and nobody touched the keys.
  InputConditions* conditions = nullptr;
  // None: a {clipboard} types nothing.
  ClipboardReader* clipboard = nullptr;
  // None: a text with {input} codes types nothing, as when the question is cancelled.
  InputQuestion* question = nullptr;
};

}  // namespace ks
