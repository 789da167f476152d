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
  // Sends everything buffered so far, in order.
  virtual void Flush() = 0;
};

// The keyboard layout of the program's own input language.
class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // The key that makes character `c` (of the Basic Multilingual Plane). Low byte: virtual
  // key; high byte: shift state (1 Shift, 2 Ctrl, 4 Alt); -1: no key makes it.
  // (Not called VkKeyScan: <windows.h> turns that name into VkKeyScanW.)
  virtual std::int16_t CharToKey(char16_t c) const = 0;
  // The scan code of virtual key `vk`, 0 when the layout has none.
  virtual std::uint16_t ScanCode(std::uint8_t vk) const = 0;
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
};

// Shows the list picker modally with `entries`; the picked entry, or nothing.
class ListPicker {
 public:
  virtual ~ListPicker() = default;
  virtual std::optional<std::string> Pick(const std::vector<std::string>& entries) = 0;
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

// The button bar, as far as a typing run needs it.
class TypingHost {
 public:
  virtual ~TypingHost() = default;
  // Gives the bar's keyboard focus to its hidden focus button, if the bar is active.
  virtual void FocusDummy() = 0;
  // Shows a modal message box with `text`.
  virtual void Message(const std::string& text) = 0;
  // Puts the bar back into the topmost band, without moving it or taking the foreground.
  virtual void ShowBarOnTop() = 0;
};

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
// started, no bar), as in a benchmark or a test that needs none of them.
struct TypingPorts {
  KeySink& sink;
  const KeyboardLayout& layout;
  Clock& clock;
  ForegroundHandOver& foreground;
  MessagePump* pump = nullptr;
  ListPicker* picker = nullptr;
  ProgramStarter* starter = nullptr;
  TypingHost* bar = nullptr;
  KeyWatch* watch = nullptr;
};

}  // namespace ks
