#pragma once
// The typing engine: turns a button's text into synthetic keystrokes for the target
// window, and takes them back again with Undo.
//
// Texts are UTF-8 and are typed a character (code point) at a time. The type codes in a
// text are those of typing/codes.h; any other code vanishes with its braces, and a "{"
// with no "}" after it is typed.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "typing/codes.h"
#include "typing/ports.h"

namespace ks {

// Key events a typing run gathers before it hands them to the system.
inline constexpr std::size_t kFlushBatch = 256;

// What the user is told when a run or an Undo stops on its way.
inline constexpr const char* kStoppedForAnotherWindow =
    "Typing stopped: another window came to the front";
inline constexpr const char* kStoppedRefused =
    "Typing stopped: Windows refused the keys. Undo takes back what was typed.";
// A {clipboard} whose text was cut at kMaxClipboardChars.
inline constexpr const char* kClipboardCut =
    "The clipboard's text is longer than 10,000 characters: only its first 10,000 were typed.";
// A run (or Undo) given up because the user still held Shift, Ctrl, Alt or a Windows key.
std::string KeysStillHeldMessage();

// Whether one Backspace removes only one half of a character beyond U+FFFF in a control
// of class `focusClass`: the system's edit control does, and under Wine its RichEdit too;
// RichEdit on Windows, browsers and word processors remove the whole character. The one
// rule for Undo's count and an abbreviation's Backspaces.
bool BackspaceRemovesHalfPair(std::string_view focusClass, bool wine);

// The Backspaces that take an abbreviation out of the window before its text: in UTF-16
// units, as the system's edit control removes a character beyond U+FFFF, and in
// characters, as most other programs do. The run takes the one its window needs.
struct Erase {
  int Units = 0;
  int Characters = 0;
};

class Typist {
 public:
  explicit Typist(const TypingPorts& ports);
  Typist(const Typist&) = delete;
  Typist& operator=(const Typist&) = delete;

  // Keystrokes of the last typing run that the system took: the Backspaces Undo sends to
  // take it back. A character beyond U+FFFF counts once, as RichEdit, browsers and word
  // processors remove a surrogate pair with one Backspace, and twice where the keyboard
  // focus is the system's edit control, which takes two.
  std::int32_t KeystrokeCount = 0;
  // The window the last run typed into, where Undo takes it back; 0 before any.
  WindowId UndoWindow() const { return undoWindow_; }
  // The Left presses of the last run's {cursor} that the system took: Undo presses Right as
  // often before its Backspaces, so that they begin at the end of the text.
  std::int32_t CaretMoves() const { return caretMoves_; }

  // --- keystroke synthesis; events are buffered in the sink until Flush ---
  // One press of `key`; counts nothing.
  void SimulateKeyDown(std::uint8_t key);
  // One release of `key`; counts nothing.
  void SimulateKeyUp(std::uint8_t key);
  // Press and release of `key`, counted once. Scan code 0 takes the layout's.
  void SimulateKeystroke(std::uint8_t key, std::uint16_t scan = 0);
  // Types one character: with the key and the Shift, Alt and Ctrl state that make it on
  // the run's layout, whatever Caps Lock is; as Unicode input when no key makes it, its
  // key is an accent that would compose with the next one, or an input method is open.
  // NUL types nothing.
  void SendKey(char32_t c);
  // Hands every buffered event to the system, when the window the run types into is
  // still in front: else the run stops and none of them goes anywhere.
  void Flush();

  // --- the interpreter ---
  // Types `text` as a type string into `target`; nothing when there is none, it
  // cannot be brought forward, or the user still holds a modifier key after the wait for
  // it. A run ends early when the target is lost on the way (another window came to the
  // front, or after a message or a pick it could not be brought back), when the system
  // refuses keys, or by Stop. `erase` Backspaces go first, in the same run: they take out
  // what the user typed to ask for the text (an abbreviation), and Undo, which takes back
  // the text, does not count them. False when it typed nothing.
  // A run keeps `target` whatever the user brings to the front meanwhile; a run started
  // from the pump during another nests in it and types into its window.
  bool SendString(WindowId target, std::string text, Erase erase = {});
  // Ends the run under way after the character being typed (the user pressed a key): what
  // was typed stays, and Undo takes it back. Not while the run asks its questions: the
  // user's keys then are the answers.
  void Stop() {
    if (!asking_) stopped_ = true;
  }
  // Types every character of `text` literally, without pumping messages.
  void SendSpecial(const std::string& text);
  // Opens "program[,params]" through the shell; reports a failure in a message box.
  void StartProgram(const std::string& arg);
  // Shows the entries of "a,b,c," in the list picker and types the pick.
  void SelectFromList(const std::string& arg);
  // Presses the combination's modifiers in order, its key, and lets the modifiers go in
  // reverse order; Undo does not count it. Nothing when no key of the run's layout makes
  // its character.
  void PressCombination(const Combination& combo);
  // Waits `ms` milliseconds once the keys typed so far have reached the target, handling
  // messages; a key of the user's ends the wait and the run.
  void Pause(int ms);
  // Types the clipboard's text as characters, each line break as one Enter.
  void TypeClipboard();

  // --- undo ---
  // Sends one Backspace for every keystroke of the last run into the window it typed into,
  // brought back to the front first, and forgets the run; nothing, and the user told, when
  // that window is gone or cannot come back. An Undo while one is under way finds nothing
  // left to take back.
  void UndoTyping();

 private:
  // How a character goes out on the run's layout.
  struct KeyChoice {
    bool Unicode = true;
    std::uint8_t Vk = 0;
    std::uint8_t State = 0;
  };
  // What a run learns of its window and the user's keyboard at its start.
  struct RunKeyboard {
    LayoutId Layout = 0;
    bool CapsLock = false;
    bool InputMethod = false;
    bool HalfPair = false;
    int PaceMs = 0;
    std::unordered_map<char16_t, KeyChoice> Choices;
  };

  // Lets the program handle waiting messages: one pump point. Keys go out in batches: each
  // SendInput call costs a trip through the system's input queue (under Wine a round
  // trip to its server), so one call per item made typing slower than the target.
  // Order cannot suffer, since a run started from the pump appends to the same buffer.
  void Pump();
  // The characters and codes of `text`, each followed by a pump point, until the run stops.
  void TypeText(const std::string& text);
  // Types `text` with `answers` to its questions, then leaves the caret at its {cursor} and
  // sends what is left.
  void TypeRun(const std::string& text, std::map<std::string, std::string> answers);
  void RunCode(const std::string& code);
  // Asks the questions of `text`'s {input} codes in the question window; the answers by
  // name in `answers`. False when the user cancelled.
  // Nothing is asked when `w`, the run's window, is gone: the run then stops at its
  // hand-over, which tells the user.
  bool AskQuestions(WindowId w, const std::string& text,
                    std::map<std::string, std::string>& answers);
  // Types the characters of `text` (a clipboard's, an answer) after the Enter and Tab keys
  // of its line breaks and tabs, a pump point after each; a line break counts one, other
  // control characters (which the layout would press as Ctrl and a letter) are left out.
  // False when it stopped at `limit` characters with more to type.
  bool TypeCharacters(const std::string& text, std::size_t limit);
  // Undo's count of the keystrokes typed so far in this run, sent or not.
  std::int32_t CountedSoFar() const;
  // Presses `key` to move the caret, uncounted; what the system takes of such presses
  // makes CaretMoves.
  void MoveCaret(std::uint8_t key);
  // Presses Left from the end of the text back to where its {cursor} stands.
  void PlaceCaret();
  void SendUnicode(char32_t c);
  KeyChoice ChooseKey(char32_t c);
  // A keystroke that Undo takes back once it went out, `units` Backspaces' worth.
  void Counted(int units);
  // Learns the layout, Caps Lock and the rest for typing into `w`.
  void Prepare(WindowId w);
  // Waits, handling messages, until the user lets go of the modifier keys; false when
  // they are still held after kReleaseWaitMs (the user is told) or the run was stopped.
  bool WaitForHand();
  // Gives a paced target the character just queued, and its gap.
  void PaceStep();
  void Tell(const std::string& text);

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
  // Key events given to the sink since its last flush, and the keystrokes among them that
  // Undo would take back: where each one's events end, and its Backspaces.
  std::size_t pending_ = 0;
  struct PendingStroke {
    std::size_t End = 0;
    int Units = 0;
    bool CaretMove = false;  // a Left of {cursor}: no Backspace, but a Right for Undo
  };
  std::vector<PendingStroke> strokes_;
  // Whether keystrokes count for Undo: not the Backspaces of an abbreviation or of Undo.
  bool counting_ = true;
  // Key events handed to the system since the target last was waited for.
  std::size_t sentSinceWait_ = 0;
  // The window that must be in front for the keys under way: the run's or Undo's.
  WindowId frontWindow_ = 0;
  WindowId runWindow_ = 0;
  WindowId undoWindow_ = 0;
  std::int32_t caretMoves_ = 0;
  // Where the run's {cursor} stands, in Undo's count of what was typed before it.
  std::optional<std::int32_t> cursorMark_;
  // The answers of the run's questions by name, and the last answers of the session.
  std::map<std::string, std::string> answers_;
  std::map<std::string, std::string> lastAnswers_;
  // A question is open: the user's keys are its answers and stop nothing.
  bool asking_ = false;
  // The user was told that the run's clipboard text was cut.
  bool clipboardCutTold_ = false;
  RunKeyboard run_;
  KeySink& sink_;
  const KeyboardLayout& layout_;
  Clock& clock_;
  ForegroundHandOver& foreground_;
  TypingPorts ports_;
};

}  // namespace ks
