#pragma once
// The button bar: a narrow topmost tool window with the active group's buttons in a
// grid, the group list and the Undo button in cell 0. One class, written by concern:
//   main_win.cpp     the window, its controls, its message switch, showing the store
//   typing_win.cpp   typing a button into the target window; following the foreground
//   session_win.cpp  the bar's values and place in the session, and its changes noted
// Its menus (menus_win.h) and the right-button drag (drag_win.h) are parts of their own.
// A press types through the typing service, as every request to type does.
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "typing/dialogs_win.h"
#include "bar/drag_win.h"
#include "bar/group_list_win.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/menus_win.h"
#include "bar/ports.h"
#include "bar/shortcuts.h"
#include "contract.h"
#include "store/settings.h"
#include "store/session.h"
#include "store/store.h"
#include "typing/ports.h"
#include "typing/foreground_win.h"
#include "typing/ports_win.h"
#include "typing/service.h"
#include "typing/typist.h"
#include "win/controls.h"
#include "win/theme.h"
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
  Editor* ButtonEditor = nullptr;
  // The one way to type, which follows the window the user works in and keeps the lock of
  // the active group.
  TypingService* Typing = nullptr;
  // "Find...": the find window opens over the store for the window the user works in.
  std::function<void()> OpenFind;
};

class BarWindow : public win::Window, public GroupListControl {
 public:
  explicit BarWindow(BarSurroundings surroundings);
  ~BarWindow() override;

  // Creates the window and its controls, loads the store and lays the bar out (hidden).
  bool Create();

  // The user ended a move of the bar, or the program ends: its place is kept as every
  // change is.
  void NotePlace();

  // A click on the tray icon: the bar comes up, unrolled.
  void ShowFromTray();
  // The system commands of the RollUp and Hide items, from either system menu; true when
  // `command` was one of them.
  bool HandleSysCommand(WPARAM command);

  // The button the editor is open on (Button 0: a new one in that group).
  ButtonRef Editing() const { return menus_.Editing(); }

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
  // The template's colour is black: the font dialog offers no colour to change it.
  int32_t TemplateColor() const override { return 0; }
  void RebuildGroupMenus(const std::vector<std::string>& groupNames) override {
    menus_.RebuildGroupMenus(groupNames);
  }

  // The typing service began its first run or ended its last one.
  void TypingChanged(bool typing);
  // Shows group `group` as if the user chose it in the group list: the bar following the
  // program typed into. A rolled-up bar stays rolled up.
  void ShowGroup(int group);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr int kUndoId = 901;
  // Reads the foreground once the activation has passed to another program.
  static constexpr UINT kFollowForeground = WM_APP + 111;

  // ---- the window (main_win.cpp; its messages and its controls': buttons_win.cpp) ----
  // The subclass of every control: `id` is the button's index, kUndoId or the group
  // list's id.
  static LRESULT CALLBACK ControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
  LRESULT UndoMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT ButtonMessage(HWND h, int index, UINT msg, WPARAM wp, LPARAM lp);
  // Every control of the bar (Dummy, the group list, Undo, the 50 buttons) and the hints
  // are made when the bar is first shown: nobody can see, press or hover over them before,
  // and the program is ready sooner without them (without the common controls library
  // too). Until then the buttons' faces and the group list's lines are kept here and
  // given to the controls when they come.
  void MakeControls();
  LRESULT OnCommand(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnActivate(UINT msg, WPARAM wp, LPARAM lp);
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
  void ApplyButtonFont();
  void DrawButton(const DRAWITEMSTRUCT& d);
  void FitToSize();
  // Sets the client size to `w` x `h` without the resize being taken as the user's.
  void SetClientQuietly(int w, int h);
  // Sized again for a display of another DPI, at the place the system suggests (the
  // rectangle of WM_DPICHANGED).
  void MovedToDpi(LPARAM suggested);

  // ---- typing (typing_win.cpp) ----
  // Whether the press on a typing button or Undo that a WM_MOUSEACTIVATE with
  // `mouseActivate` announces types without activating the bar: the keys go where the
  // user's focus is, and the target keeps the foreground, its focus and its caret.
  bool PressTypesInPlace(LPARAM mouseActivate);
  // A left or middle press on button `index`.
  void ButtonMouseDown(int index, bool left);
  void UndoTyping();

  // ---- the session (session_win.cpp) ----
  // The settings, loaded before the bar was made; the bar keeps no copy of their values.
  Settings& Values() const { return around_.Files->settings(); }
  // Goes to its stored place with its stored width, font and group.
  void TakeSession();
  // After every change to the store or the settings: the session writes them soon, and
  // tells whoever follows the store.
  void NoteChange();

  const BarSurroundings around_;
  bool rolledUp_ = false;
  bool inDisplay_ = false;  // the size changes are the layout's own, not the user's
  bool& unlocked_;  // the active group's lock, which the typing service keeps
  Store* store_ = nullptr;  // the session's
  TypingService& typing_;
  WinDialogs dialogs_{hwnd_, typing_};

  ButtonControls buttons_{};
  bool controlsMade_ = false;
  HWND undoButton_ = nullptr;
  bool undoHeld_ = false;  // pressed while the bar was inactive, until its release
  HWND dummy_ = nullptr;  // a hidden button that holds the focus, so no button looks pressed

  win::UniqueFont buttonFont_;
  win::UniqueFont uiFont_;
  win::Tooltips tips_;
  win::WindowTheme theme_;  // dark when Windows' apps are

  BarMenus menus_;
  ButtonDrag drag_;
};

}  // namespace ks
