#pragma once
// The requests to type a button that come from outside the bar: a shortcut key
// (Ctrl+Alt+letter, from anywhere), the find window's choice (Ctrl+Alt+Space) and an
// abbreviation typed in the window in front. Each goes to the typing service, as a press
// on the bar does; none of the windows types by another. A hidden message window takes
// the hot keys, their timers and the abbreviation hook's news.
//   requests.cpp       the window, the find window, abbreviations
//   shortcut_keys.cpp  the shortcut keys: the hot keys, the wait for their release
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bar/ports.h"
#include "bar/shortcut_wait.h"
#include "bar/shortcuts.h"
#include "bar/shortcuts_win.h"
#include "store/session.h"
#include "typing/service.h"
#include "win/window.h"

namespace ks::app {

class TypeRequests : public win::Window {
 public:
  // `openFind` opens the find window over the store for a target (null when none is known).
  TypeRequests(Session& session, TypingService& typing, ForegroundHandOver& handOver,
               std::function<void(const Store& store, HWND target)> openFind);
  ~TypeRequests() override;

  // The bar exists: it owns the boxes, and while the editor is open keys are meant for
  // it. Takes the shortcut keys; the window then receives the abbreviation hook's news.
  bool Start(HWND bar, HWND editor);
  // Gives the keys back; at exit.
  void Stop();

  // "Find..." or Ctrl+Alt+Space: the find window opens over the store for the window the
  // user works in; during a run, once it has ended.
  void OpenFind();

  // The find window chose button `button` of group `group` (1-based) and gave the
  // foreground back: it types as a press on it would, after its group's password.
  void Found(int group, int button);
  // After every change of the store: the keys it asks for are taken, the rest given back.
  void StoreChanged();
  // The typing service began its first run or ended its last one.
  void TypingChanged(bool typing);
  // The editor's shortcut list: a key picked in it, and Done with the key it shows, for
  // the button `editing` (Button 0: a new one in that group).
  ShortcutChoice ShortcutChosen(int32_t shortcut);
  std::optional<std::string> RefuseShortcutDone(ButtonRef editing, int32_t shortcut) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT_PTR kShortcutTimerId = 2;
  // Polls for the release of a shortcut's letter that went through as a character.
  static constexpr UINT_PTR kLetThroughTimerId = 3;
  // The hot key id of Ctrl+Alt+Space; the shortcut keys take 1..26.
  static constexpr int kFindHotKeyId = 100;
  // Shows the start message about shortcut keys once the message loop runs.
  static constexpr UINT kShowShortcutMessage = WM_APP + 110;

  Store& TheStore() const { return session_.store(); }
  // Whether a window of ours other than the bar is in the user's way: the editor, a
  // question, a menu or the list picker.
  bool OwnWindowOpen() const;
  // The abbreviation hook's news: a button's abbreviation was typed in the window in front.
  void AbbreviationTyped(WPARAM button, LPARAM lengths);
  bool TypeAbbreviation(ButtonRef b, Erase erase);
  // Ctrl+Alt+Space pressed anywhere.
  void FindKeyPressed();

  // ---- the shortcut keys (shortcut_keys_win.cpp) ----
  void StartShortcuts();
  void StopShortcuts();
  void ShortcutFired(int shortcut);
  void PollShortcuts();
  void TypeShortcut(int shortcut);
  // The layout in front makes a character of `shortcut`: its letter goes to the window
  // again, without the hot key, which is taken back once the letter is let go.
  void LetShortcutThrough(int shortcut);
  void TakeShortcutsBack();
  // The button `shortcut` types, once its group's password is given if it asks for one.
  std::optional<ButtonRef> AskForShortcut(int shortcut);

  Session& session_;
  TypingService& typing_;
  ForegroundHandOver& handOver_;
  const std::function<void(const Store& store, HWND target)> openFind_;
  HWND bar_ = nullptr;
  HWND editor_ = nullptr;
  bool findAfterRun_ = false;  // the find key came during a run: it opens when the run ends

  WinHotKeys hotKeys_{hwnd_};
  WinShortcutLayout shortcutLayout_;
  ShortcutKeys shortcuts_{hotKeys_, shortcutLayout_};
  bool shortcutsTaken_ = false;
  ShortcutQueue shortcutQueue_;
  std::string shortcutMessage_;  // told once at start
  // Shortcuts waiting for their keys' release whose password was given when they fired.
  std::vector<int> approvedShortcuts_;
  int letThrough_ = 0;  // the shortcut whose letter went through last, until let go
};

}  // namespace ks::app
