#pragma once
// The typing engine's ports on Windows: input injection, the keyboard layout, the
// user's date and time formats, and the shell.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/settings.h"
#include "typing/ports.h"

namespace ks {

inline HWND ToHwnd(WindowId w) { return reinterpret_cast<HWND>(w); }
inline WindowId ToWindowId(HWND h) { return reinterpret_cast<WindowId>(h); }

// Whether `w` is a window that exists now. The handle's sign says nothing: a valid
// handle may have its top bit set.
bool WindowExists(WindowId w);

// Collects key events and hands them to SendInput in one call per Flush, so that no
// key of the user's can land between a modifier and its key. Every event is tagged
// with contract::kInjectTag.
class SendInputSink : public KeySink {
 public:
  SendInputSink() = default;
  SendInputSink(const SendInputSink&) = delete;
  SendInputSink& operator=(const SendInputSink&) = delete;

  void Key(std::uint8_t vk, std::uint16_t scan, bool keyUp, bool extended) override;
  void Unicode(char16_t ch) override;
  std::size_t Flush() override;
  void Discard() override { pending_.clear(); }

 private:
  std::vector<INPUT> pending_;
};

// The keyboard layouts of the system's threads.
class WinKeyboardLayout : public KeyboardLayout {
 public:
  LayoutId LayoutOf(WindowId w) const override;
  std::int16_t CharToKey(LayoutId layout, char16_t c) const override;
  std::uint16_t ScanCode(LayoutId layout, std::uint8_t vk) const override;
  KeyMade Makes(LayoutId layout, std::uint8_t vk, std::uint8_t state, bool capsLock) const override;
};

// The file name of the program that `w` belongs to ("mstsc.exe"); empty when it cannot be
// read.
std::string ProcessFileName(WindowId w);

// The foreground, the user's keys and what a window's program needs, from the system.
class WinInputConditions : public InputConditions {
 public:
  // Whether an accent waits, as the abbreviation watch follows the user's keys; none
  // while it does not run, and nobody knows.
  std::function<bool()> accentWaiting;
  // Caps Lock as that watch follows it; nothing while it does not run, and then this
  // thread's own key state is asked, which a toggle made elsewhere may not have reached.
  std::function<std::optional<bool>()> capsLock;
  // The paces of the settings; none: no program is paced.
  const Settings* settings = nullptr;

  WindowId Foreground() override;
  bool CapsLockOn() override;
  bool ModifierHeld() override;
  bool AccentWaiting() override { return accentWaiting && accentWaiting(); }
  bool InputMethodOpen(WindowId w) override;
  bool BackspaceTakesHalfPair(WindowId w) override;
  int PaceMs(WindowId w) override;
  std::int64_t NowMs() override;

 private:
  // A window's program never changes, and reading its name costs several round trips to
  // the system before the first key: the last window's pace is kept.
  WindowId pacedWindow_ = 0;
  int pace_ = 0;
};

// Date and time in the formats and the language of the user's locale, whatever its
// script: of now, or of a fixed instant.
class WinClock : public Clock {
 public:
  WinClock() = default;
  explicit WinClock(const SYSTEMTIME& fixed) : fixed_(fixed) {}

  std::string ShortDate() override;
  std::string LongDayName() override;
  std::string MonthName() override;
  std::string LongTime() override;

 private:
  SYSTEMTIME Now() const;
  std::optional<SYSTEMTIME> fixed_;
};

// The clipboard's Unicode text, read and left as it is.
class WinClipboard : public ClipboardReader {
 public:
  std::string Text() override;
};

// Opens `program` (a program or a document) with the "open" verb in "c:\", shown
// normally, passing `params` when there are any; both UTF-8, any characters. True when
// the shell reports success.
bool ShellOpen(HWND owner, const std::string& program, const std::string& params);

// Opens programs for a typing run, its boxes owned by `owner`.
class ShellStarter : public ProgramStarter {
 public:
  HWND owner = nullptr;
  bool Start(const std::string& program, const std::string& params) override {
    return ShellOpen(owner, program, params);
  }
};

// The hand-over of a run without a bar: the target is put in front and typed into.
class PlainHandOver : public ForegroundHandOver {
 public:
  bool WindowExists(WindowId w) override { return ks::WindowExists(w); }
  bool BringToForeground(WindowId w) override { return SetForegroundWindow(ToHwnd(w)) != FALSE; }
};

// Dispatches every message waiting in this thread's queue, then returns. A WM_QUIT
// met on the way is posted again so the main loop still ends.
void ProcessWaitingMessages();

// The pump of a typing run. The engine offers to handle messages after every character;
// under Wine each look into the queue is a trip to the server that the target needs for
// every key it takes, and a thousand of them made the target take the text about a
// third slower. Twenty looks a second keep the bar painting and answering.
class TypingPump : public MessagePump {
 public:
  void ProcessMessages() override;
  void Wait(int ms) override;

 private:
  static constexpr ULONGLONG kEveryMs = 50;
  ULONGLONG last_ = 0;
};

}  // namespace ks
