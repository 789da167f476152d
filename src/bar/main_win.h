#pragma once
// The button bar: a narrow topmost tool window with the active group's buttons in a
// grid, the group list and the Undo button in cell 0. One class, written by concern:
//   main_win.cpp     the window, its controls, its message switch, showing the store
//   typing_win.cpp   typing a button into the target window; following the foreground
//   session_win.cpp  loading at start and saving at exit, with every window's place
//   menus_win.cpp    the button menu, the group menu and the font dialog
//   drag_win.cpp     the right button on a button: its menu, or a drag that reorders
//   sysmenu_win.cpp  the RollUp and Hide items of the bar's and the application's system menu
//   hotkeys_win.cpp  the shortcut keys: Ctrl+Alt+letter types a button from anywhere;
//                    Ctrl+Alt+Space opens the find window, whose choice types as a press
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/ports.h"
#include "bar/shortcut_wait.h"
#include "bar/shortcuts.h"
#include "contract.h"
#include "store/places_win.h"
#include "store/settings.h"
#include "store/session.h"
#include "store/store.h"
#include "typing/ports.h"
#include "typing/ports_win.h"
#include "typing/service.h"
#include "typing/typist.h"
#include "win/controls.h"
#include "win/window.h"

namespace ks {

// What the bar works with that others own, all made before the bar.
struct BarSurroundings {
  // Owns the bar; its system menu carries RollUp and Hide as the bar's does.
  HWND AppWindow = nullptr;
  // The store, the settings and their files, loaded before the bar is made.
  Session* Files = nullptr;
  HICON Icon = nullptr;       // at the system DPI's icon sizes
  HICON IconSmall = nullptr;
  // The editor: while it is open, keys are meant for it.
  HWND EditorWindow = nullptr;
  // The other windows whose places the settings keep: each reads and writes its own; the
  // bar has them put theirs before a save.
  std::vector<const SettingsPlace*> OtherPlaces;
  Editor* ButtonEditor = nullptr;
  // Opens the find window over `store` for `target`, the window the user works in (null
  // when none is known).
  std::function<void(const Store& store, HWND target)> OpenFind;
  // Told of every change of the store; may be none.
  AbbreviationWatcher* Abbreviations = nullptr;
  // The one way to type, and the hand-over a shortcut's password question needs.
  TypingService* Typing = nullptr;
  ForegroundHandOver* HandOver = nullptr;
};

class BarWindow : public win::Window, public BarView, public Dialogs {
 public:
  explicit BarWindow(BarSurroundings surroundings);
  ~BarWindow() override;

  // Creates the window and its controls, loads the store and lays the bar out (hidden).
  bool Create();
  // Saves the settings and the store with every window's place; the end of a normal run
  // and the end of the Windows session call it, and only the first call saves.
  void SaveSession();

  // A click on the tray icon: the bar comes up, unrolled.
  void ShowFromTray();
  // The system commands of the RollUp and Hide items, from either system menu; true when
  // `command` was one of them.
  bool HandleSysCommand(WPARAM command);
  // The button-font template as a whole font, its height at the system DPI.
  LOGFONTW TemplateFont() const;

  // The editor's shortcut list: a key picked in it, and Done with the key it shows, for
  // the button the editor was opened on.
  ShortcutChoice ShortcutChosen(int32_t shortcut);
  std::optional<std::string> RefuseShortcutDone(int32_t shortcut) const;
  // The button the editor is open on (Button 0: a new one in that group).
  ButtonRef Editing() const { return editing_; }

  // "Find..." in a menu, or Ctrl+Alt+Space: the find window opens over the store for the
  // window the user works in.
  void OpenFind();
  // The find window chose button `button` of group `group` (1-based) and gave the
  // foreground back: it types as a press on it would, after its group's password.
  void TypeFound(int group, int button);

  // ---- BarView ----
  void HideButtons(int count) override;
  void CreateButton(int i, const std::string& hint, const std::string& caption,
                    const std::string& text, int32_t color) override;
  void SetFace(int i, const std::string& caption, const std::string& hint,
               int32_t color) override;
  void SetButtonWidth(int width) override;
  void Display() override;
  void BringToTop() override;
  void FocusDummy() override;
  int32_t TemplateColor() const override { return templateColor_; }
  int AddGroupName(const std::string& name) override;
  void DeleteGroupItem(int position) override;
  void SelectGroupItem(int position) override;
  std::string SelectedGroupName() const override;
  int SelectedGroupItem() const override;
  void RebuildGroupMenus(const std::vector<std::string>& groupNames) override;

  // The typing service began its first run or ended its last one.
  void TypingChanged(bool typing);

  // ---- Dialogs ----
  void Message(const std::string& text) override;
  bool Confirm(const std::string& text, const std::string& title) override;
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, bool preselect) override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  enum class MouseButton { Left, Right, Middle };
  static constexpr UINT_PTR kShortcutTimerId = 2;
  // Polls for the release of a shortcut's letter that went through as a character.
  static constexpr UINT_PTR kLetThroughTimerId = 3;
  static constexpr int kUndoId = 901;
  // The hot key id of Ctrl+Alt+Space; the shortcut keys take 1..26.
  static constexpr int kFindHotKeyId = 100;
  // Shows the start message about shortcut keys once the message loop runs.
  static constexpr UINT kShowShortcutMessage = WM_APP + 110;
  // Reads the foreground once the activation has passed to another program.
  static constexpr UINT kFollowForeground = WM_APP + 111;

  // ---- the window (main_win.cpp; its messages and its controls': buttons_win.cpp) ----
  static LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self);
  static LRESULT CALLBACK GroupListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
  static LRESULT CALLBACK UndoProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  LRESULT UndoMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT ButtonMessage(HWND h, int index, UINT msg, WPARAM wp, LPARAM lp);
  // Every control of the bar (Dummy, the group list, Undo, the 50 buttons) and the hints
  // are made when the bar is first shown: nobody can see, press or hover over them before,
  // and the program is ready sooner without them (without the common controls library
  // too). Until then the buttons' faces and the group list's lines are kept here and
  // given to the controls when they come.
  void MakeControls();
  void CreateGroupList(HINSTANCE inst, const BarLayout& first);
  LRESULT OnCommand(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnActivate(UINT msg, WPARAM wp, LPARAM lp);
  void LimitMinimumSize(MINMAXINFO& mmi);
  void Show();
  void Hide();
  void RollUp();
  void ShowChosenGroup();
  void GroupListRefill();
  // Whether one of the bar's controls holds the mouse between a press and its release.
  bool ClickInProgress() const;
  // The DPI of the display the bar is on; fonts, the group list's heights and the Undo
  // picture made for it (at start and after a move to a display of another DPI).
  int Dpi() const;
  void ApplyDpi();
  void FitGroupList();
  void ApplyButtonFont();
  void DrawButton(const DRAWITEMSTRUCT& d);
  void FitToSize();
  void SetClient(int w, int h);
  // Sets the client size to `w` x `h` without the resize being taken as the user's.
  void SetClientQuietly(int w, int h);
  // The messages that bring news and want no answer: the shortcut keys' timer and hot
  // keys, the abbreviation hook's news, the start message, the foreground to read again.
  // True when `msg` was one.
  bool NewsMessage(UINT msg, WPARAM wp, LPARAM lp);
  // Sized again for a display of another DPI, at the place the system suggests (the
  // rectangle of WM_DPICHANGED).
  void MovedToDpi(LPARAM suggested);

  // ---- typing (typing_win.cpp) ----
  // Whether the press on a typing button or Undo that a WM_MOUSEACTIVATE with
  // `mouseActivate` announces types without activating the bar: the keys go where the
  // user's focus is, and the target keeps the foreground, its focus and its caret.
  bool PressTypesInPlace(LPARAM mouseActivate);
  void ButtonMouseDown(int index, MouseButton button);
  void TypeButton(int index);
  // The abbreviation hook's news (abbrev_win.cpp): a button's abbreviation was typed in
  // the window in front.
  void AbbreviationTyped(WPARAM button, LPARAM lengths);
  bool TypeAbbreviation(ButtonRef b, Erase erase);
  void UndoTyping();
  // The foreground moved, or may have moved without telling: the window in front now may
  // become the target.
  void FollowForeground();
  // The bar was activated from `fg`, which becomes the target unless it is one of ours,
  // the desktop or the shell's.
  void ConsiderTarget(HWND fg);

  // ---- the session (session_win.cpp) ----
  // The settings, loaded before the bar was made; the bar keeps no copy of their values.
  Settings& Values() { return around_.Files->settings(); }
  const Settings& Values() const { return around_.Files->settings(); }
  // Goes to its stored place with its stored width, font and group.
  void TakeSession();
  // Puts the bar's place into the session's settings, and has the other windows put theirs.
  void PutSettings();
  // After every change to the store or the settings: the session writes them soon.
  void NoteChange();

  // ---- menus and the font dialog (menus_win.cpp) ----
  static UINT_PTR CALLBACK FontDialogHook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  static UINT_PTR FontDialogMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void CreateMenus();
  void OpenButtonMenu(POINT screen);
  void OpenGroupMenu();
  void ButtonMenuCommand(UINT id);
  void GroupMenuCommand(UINT id);
  void ChooseButtonFont();
  // Takes the face and size of the font dialog's choice; every button keeps its colour.
  void TakeButtonFont(const LOGFONTW& lf);

  // ---- the right-button drag (drag_win.cpp) ----
  // A right press: a click opens the button menu, a drag onto a button reorders.
  struct RightDrag {
    bool pressed = false;
    bool dragging = false;
    int source = 0;
    POINT start{};
  };
  // Whether the drag takes `msg` from the control of button `index`; sets `result` if so.
  bool DragMessage(HWND button, int index, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void DragBegin(int index);
  void DragMove(POINT screen);
  void DragEnd(POINT screen, bool cancelled);
  int ButtonAt(POINT screen) const;
  int ButtonIndexOf(HWND h) const;

  // ---- the shortcut keys (hotkeys_win.cpp) ----
  void StartShortcuts();
  // After every command that may change the store.
  void UpdateShortcuts();
  void StopShortcuts();
  void ShortcutFired(int shortcut);
  void PollShortcuts();
  void TypeShortcut(int shortcut);
  // The layout in front makes a character of `shortcut`: its letter goes to the window
  // again, without the hot key, which is taken back once the letter is let go.
  void LetShortcutThrough(int shortcut);
  void TakeShortcutsBack();
  // Ctrl+Alt+Space pressed anywhere.
  void FindKeyPressed();
  // The button `shortcut` types, once its group's password is given if it asks for one.
  std::optional<ButtonRef> AskForShortcut(int shortcut);
  // Whether button `b`, typed from outside the bar (the find window, an abbreviation), may
  // type: its group's password is asked if it asks for one, the target held meanwhile.
  bool MayType(ButtonRef b);
  // Whether a window of ours other than the bar is in the user's way: the editor, a
  // question, a menu or the list picker.
  bool OwnWindowOpen() const;

  // ---- the system menus (sysmenu_win.cpp) ----
  void PrepareSysMenus();
  // Relabels the item at `pos` in both system menus, keeping its command.
  void RelabelSysMenuItem(int pos, const char* text);

  const BarSurroundings around_;
  bool rolledUp_ = false;
  bool inDisplay_ = false;  // the size changes are the layout's own, not the user's
  bool unlocked_ = true;
  int currentIndex_ = 0;  // the button the button menu was opened on
  Store* store_ = nullptr;  // the session's
  TypingService& typing_;

  std::array<HWND, kMaxButtons + 1> buttons_{};
  bool controlsMade_ = false;
  struct Face {
    std::string caption, hint;
    int32_t color = 0;
    bool shown = false;
  };
  std::array<Face, kMaxButtons + 1> faces_{};
  GroupLines keptLines_;  // the group list's, until it is made
  HWND groupList_ = nullptr;
  HWND undoButton_ = nullptr;
  bool undoHeld_ = false;  // pressed while the bar was inactive, until its release
  HWND dummy_ = nullptr;  // a hidden button that holds the focus, so no button looks pressed

  win::UniqueFont buttonFont_;
  win::UniqueFont listFont_;
  win::UniqueFont uiFont_;
  win::Tooltips tips_;
  int32_t templateColor_ = 0;
  bool findAfterRun_ = false;  // the find key came during a run: it opens when the run ends
  int letThrough_ = 0;  // the shortcut whose letter went through last, until let go

  HMENU buttonMenu_ = nullptr;
  HMENU groupMenu_ = nullptr;
  // The group menu with "New Button" first, for a group without buttons: no button menu
  // can open there to give it its first one.
  HMENU emptyGroupMenu_ = nullptr;
  HMENU copyMenu_ = nullptr;
  HMENU moveMenu_ = nullptr;

  RightDrag drag_;

  std::unique_ptr<HotKeyRegistry> hotKeys_;
  std::unique_ptr<ShortcutLayout> shortcutLayout_;
  std::unique_ptr<ShortcutKeys> shortcuts_;
  ShortcutQueue shortcutQueue_;
  std::string shortcutMessage_;  // told once at start
  ButtonRef editing_;            // the button the editor is open on (Button 0: a new one)
  int questions_ = 0;            // questions of a shortcut open: the waiting ones wait on
  // Shortcuts waiting for their keys' release whose password was given when they fired.
  std::vector<int> approvedShortcuts_;

  bool saved_ = false;
};

}  // namespace ks
