#pragma once
// The abbreviation watch's side of the system: a low-level keyboard hook on a thread of
// its own, so that a busy window or a modal loop of the program never holds the user's
// keys (the system drops a hook that answers too late). Each key goes through the watch
// with the keyboard layout of the window in front; a match, and a key of the user's while
// the program types, are posted to the window given. The window in front and its focus
// are followed by the system's window events, not asked at every key, and the layout's
// characters are read into a table: a key then costs the hook no call to the system but
// the layout's number.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "abbrev/watch.h"
#include "keys/layout_cache.h"
#include "keys/layouts_win.h"

namespace ks::abbrev {

// Whether `focus` is an edit control that hides what is typed (ES_PASSWORD).
bool IsPasswordField(HWND focus);

class AbbreviationHook {
 public:
  // Posts contract::kAbbreviationTyped and contract::kUserKeyWhileTyping to `receiver`.
  explicit AbbreviationHook(HWND receiver);
  ~AbbreviationHook();  // Stop
  AbbreviationHook(const AbbreviationHook&) = delete;
  AbbreviationHook& operator=(const AbbreviationHook&) = delete;

  // Installs the hook on its thread; false when the thread or the hook could not be
  // made. One hook a process: a second Start, or a Start of a second object, fails.
  bool Start();
  // Removes the hook and ends its thread before it returns.
  void Stop();

  // From any thread. The list is handed to the hook's thread, which takes it between keys;
  // an empty one when abbreviations are switched off.
  void SetAbbreviations(std::vector<Abbreviation> list);
  // Read at every key: effective from the next key on.
  void SetTyping(bool on) { typing_.store(on); }
  void SetRecording(bool on) { recording_.store(on); }
  // Whether an accent key the user pressed waits for its letter in the window in front.
  bool AccentWaiting() const { return accentWaiting_.load(std::memory_order_relaxed); }
  // Caps Lock as the hook saw the user's keys turn it: the program's own threads take no
  // input, and their key state is not brought up to date with a toggle made elsewhere.
  bool CapsLock() const { return capsLock_.load(std::memory_order_relaxed); }
  // From the thread that sends the program's own keys, around one SendInput call: the
  // keyboard hook is taken out and, asked of the hook's thread, put in again. The keys
  // then go by without a round trip to the hook's thread each. Keys the user pressed
  // meanwhile went unseen, so the watch starts afresh.
  void StandAside();
  void Return();

  // For the benchmark: the time each key press spent in the hook, in performance-counter
  // ticks, kept from Start while `on` (at most `capacity` presses). Before Start, read
  // after Stop.
  void KeepKeyTimes(bool on, std::size_t capacity = 20000) {
    keyTimes_.clear();
    keyTimes_.reserve(on ? capacity : 0);
    timed_ = on;
  }
  const std::vector<std::int64_t>& KeyTimes() const { return keyTimes_; }

 private:
  struct ThreadClose {
    void operator()(HANDLE h) const {
      if (h) CloseHandle(h);
    }
  };

  static DWORD WINAPI ThreadMain(void* self);
  static LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp);
  static void CALLBACK FocusEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG, LONG, DWORD, DWORD);
  void Run();
  void Loop();
  // Whether the key is kept from the window: an abbreviation's last one.
  bool OnKey(WPARAM message, const KBDLLHOOKSTRUCT& ev);
  void FocusChanged(HWND focus);
  void WatchMouse(bool on);
  void FillLayout(LayoutId layout);
  static HHOOK InstallKeyboardHook();

  HWND receiver_;
  std::unique_ptr<void, ThreadClose> thread_;
  DWORD threadId_ = 0;
  // Between Start and the hook's thread: the event it sets once the hook is in (or could
  // not be), and whether it is.
  HANDLE ready_ = nullptr;
  bool installed_ = false;
  std::vector<Abbreviation> initial_;  // the list given before Start
  std::atomic<bool> typing_{false}, recording_{false}, accentWaiting_{false}, capsLock_{false};
  // Put in and taken out again on the hook's thread, taken out by StandAside too, which
  // then sets `away_` until the hook's thread has put it in again.
  std::atomic<HHOOK> keyboardHook_{nullptr};
  std::atomic<bool> away_{false};

  // Touched only by the hook's thread while it runs.
  keys::WinKeyLayouts system_;
  keys::LayoutCache layouts_{system_};
  AbbreviationWatch watch_{layouts_};
  HHOOK mouseHook_ = nullptr;
  bool mouseWanted_ = false;
  bool filling_ = false;   // a step of reading a layout's table is on its way
  DWORD frontThread_ = 0;  // of the control with the focus
  bool timed_ = false;
  std::vector<std::int64_t> keyTimes_;
};

}  // namespace ks::abbrev
