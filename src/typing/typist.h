#pragma once
// The typing engine: turns a button's text into synthetic keystrokes for the target
// window, and takes them back again with Undo.
//
// Texts are UTF-8 and are typed a character (code point) at a time. The type codes in a
// text are those of typing/codes.h; any other code vanishes with its braces, and a "{"
// with no "}" after it is typed.
#include <cstdint>
#include <string>

#include "typing/ports.h"

namespace ks {

// Key events a typing run gathers before it hands them to the system.
inline constexpr std::size_t kFlushBatch = 256;

class Typist {
 public:
  explicit Typist(const TypingPorts& ports);
  Typist(const Typist&) = delete;
  Typist& operator=(const Typist&) = delete;

  // The window that receives the typing; 0 until the first tracking tick.
  WindowId TargetWindow = 0;
  // Keystrokes of the last typing run: the Backspaces Undo sends to take it back. A
  // character typed as Unicode counts once, also beyond U+FFFF: RichEdit, browsers and
  // word processors remove a surrogate pair with one Backspace (a plain EDIT takes two).
  std::int32_t KeystrokeCount = 0;

  // --- keystroke synthesis; events are buffered in the sink until Flush ---
  // One press of `key`; counts nothing.
  void SimulateKeyDown(std::uint8_t key);
  // One release of `key`; counts nothing.
  void SimulateKeyUp(std::uint8_t key);
  // Press and release of `key`, counted once. Scan code 0 takes the layout's.
  void SimulateKeystroke(std::uint8_t key, std::uint16_t scan = 0);
  // Types one character: with the key and the Shift, Alt and Ctrl state the layout makes
  // it with, or, when no key makes it, as Unicode input. NUL types nothing.
  void SendKey(char32_t c);
  // Hands every buffered event to the system.
  void Flush();

  // --- the interpreter ---
  // Types `text` as a type string into the target window; nothing when there is none or
  // it cannot be brought forward. A run ends early when the target is lost on the
  // way (after a message or a pick, it could not be brought back), or by Stop. `erase`
  // Backspaces go first, in the same run: they take out what the user typed to ask for
  // the text (an abbreviation), and Undo, which takes back the text, does not count them.
  // False when it typed nothing.
  bool SendString(std::string text, int erase = 0);
  // Ends the run under way after the character being typed (the user pressed a key): what
  // was typed stays, and Undo takes it back.
  void Stop() { stopped_ = true; }
  // Types every character of `text` literally, without pumping messages.
  void SendSpecial(const std::string& text);
  // Opens "program[,params]" through the shell; reports a failure in a message box.
  void StartProgram(const std::string& arg);
  // Shows the entries of "a,b,c," in the list picker and types the pick.
  void SelectFromList(const std::string& arg);

  // --- target and undo ---
  // One tick of target tracking: the foreground window becomes the target unless
  // it is one of the program's own windows `bar`, `list` or `editor`, or there is none.
  void TrackForeground(WindowId foreground, WindowId bar, WindowId list, WindowId editor);
  // Whether typing may happen now: the target is set and still exists.
  bool HasTarget();
  // Sends one Backspace for every keystroke of the last run and forgets the run. An Undo
  // while one is under way finds nothing left to take back.
  void UndoTyping();

 private:
  // Lets the program handle waiting messages: one pump point. Keys go out in batches: each
  // SendInput call costs a trip through the system's input queue (under Wine a round
  // trip to its server), so one call per item made typing slower than the target.
  // Order cannot suffer, since a run started from the pump appends to the same buffer.
  void Pump();
  void RunCode(const std::string& code);
  void SendUnicode(char32_t c);

  // Hands the keys to the system and waits until the target has taken them.
  void FlushAndWaitUntilTaken();

  // Brings the target forward again after one of our windows had the foreground in the
  // middle of a run; false ends the run.
  bool BackToTarget();

  // The run lost its target or was stopped; nested runs end with it.
  bool stopped_ = false;
  // No key of the run or Undo under way has gone out yet: the next flush is its first.
  bool firstFlush_ = false;
  int depth_ = 0;
  // Key events given to the sink since its last flush.
  std::size_t pending_ = 0;
  // Key events handed to the system since the target last was waited for.
  std::size_t sentSinceWait_ = 0;
  KeySink& sink_;
  const KeyboardLayout& layout_;
  Clock& clock_;
  ForegroundHandOver& foreground_;
  TypingPorts ports_;
};

}  // namespace ks
