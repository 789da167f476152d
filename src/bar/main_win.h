#pragma once
// The button bar: a narrow topmost tool window with the active group's buttons in a
// grid, the group list and the Undo button in cell 0.
#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <memory>
#include <string>

#include "bar/ports.h"
#include "store/store.h"
#include "typing/ports.h"
#include "win/controls.h"
#include "win/window.h"

namespace ks {

class Typist;
namespace typing {
class TListForm;
}

class TMainForm : public win::Window, public BarView, public TypingHost, public Dialogs {
 public:
  TMainForm();
  ~TMainForm() override;

  // The windows created before the bar, which it uses and never takes as the target.
  typing::TListForm* ListForm = nullptr;
  HWND EditorWindow = nullptr;
  Editor* ButtonEditor = nullptr;
  // Placement of the editor window, read at start and written at exit.
  std::function<win::Placement()> GetEditorPlacement;
  std::function<void(const win::Placement&)> SetEditorPlacement;
  // The button-font template as a whole font.
  LOGFONTA TemplateFont() const;

  // Creates the window and its controls, loads the store and lays the bar out (hidden).
  bool Create(HWND owner, HICON icon, HICON iconSmall);
  // Saves the settings and the store; called once at the end of a normal run.
  void FormDestroy();

  void Show();
  void Hide();
  void RollUp();
  void GroupListChange();
  void MenuUndoTypingClick();
  void ButtonMouseDown(int index, int mouseButton);
  void Timer1Timer();
  // Takes `fg` as the target unless it is one of ours or the desktop.
  void ConsiderTarget(HWND fg);
  // The font dialog's Apply button, reached from its hook.
  void ButtonFontApplyPublic(const LOGFONTA& lf);

  bool RolledUp = false;
  bool InDisplay = false;
  bool Unlocked = true;
  int32_t ButtonWidth = 100;
  int CurrentIndex = 0;
  std::unique_ptr<Store> store;
  std::unique_ptr<Typist> typist;

  std::array<HWND, kMaxButtons + 1> Buttons{};
  HWND GroupList = nullptr;
  HWND UndoButton = nullptr;
  HWND Dummy = nullptr;

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

  // ---- TypingHost ----
  void ProcessMessages() override;
  bool WindowExists(WindowId w) override;
  void BringToForeground(WindowId w) override;
  void WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) override;
  bool StartProgram(const std::string& program, const std::string& params) override;
  void Message(const std::string& text) override;
  std::optional<std::string> SelectFromList(const std::vector<std::string>& entries) override;
  void ShowBarOnTop() override;

  // ---- Dialogs ----
  bool Confirm(const std::string& text, const std::string& title) override;
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, bool preselect) override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR self);
  static LRESULT CALLBACK GroupListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
  void CreateControls();
  // Whether one of the bar's controls holds the mouse between a press and its release.
  bool ClickInProgress() const;
  void ApplyButtonFont();
  void DrawButton(const DRAWITEMSTRUCT& d);
  void FormResize();
  void SetClient(int w, int h);
  void StartTimer();
  void StopTimer();
  void ShowGroupMenu();
  void LoadStore();
  void GroupListRefill();

  HICON icon_ = nullptr;
  HICON iconSmall_ = nullptr;
  win::UniqueFont buttonFont_;
  win::UniqueFont listFont_;
  win::UniqueFont uiFont_;
  win::Tooltips tips_;
  std::string fontName_ = "MS Sans Serif";
  int32_t fontSize_ = 8;
  int32_t templateColor_ = 0;
  std::array<int32_t, kMaxButtons + 1> faceColor_{};
  std::array<std::string, kMaxButtons + 1> hint_{};
  int shown_ = 0;  // controls 1..shown_ are the visible ones
  bool timerRunning_ = false;
  int typingRuns_ = 0;  // typing runs under way (a press during a run nests)
  std::unique_ptr<KeySink> sink_;
  std::unique_ptr<KeyboardLayout> layout_;
  std::unique_ptr<Clock> clock_;

  // Menus: SetupMenu on a button, GroupMenu on the group list, and the two submenus.
  void CreateMenus();
  void OpenSetupMenu(POINT screen);
  void SetupCommand(UINT id);
  void GroupCommand(UINT id);
  void SetButtonFontClick();
  void ButtonFontApply(const LOGFONTA& lf);
  HMENU SetupMenu = nullptr;
  HMENU GroupMenu = nullptr;
  // GroupMenu with "New Button" first, for a group without buttons: no button menu can
  // open there to give it its first one.
  HMENU EmptyGroupMenu = nullptr;
  HMENU CopyMenu = nullptr;
  HMENU MoveMenu = nullptr;

  // A right press: a click opens the button menu, a drag onto a button reorders.
  struct RightDrag {
    bool pressed = false;
    bool dragging = false;
    int source = 0;
    POINT start{};
  } drag_;
  void DragMove(POINT screen);
  void DragEnd(POINT screen, bool cancelled);
  int ButtonAt(POINT screen) const;
  int ButtonIndexOf(HWND h) const;

  std::optional<std::string> unreadable_;
  bool saved_ = false;  // the end of a session and the exit after it save once
};

TMainForm* MainForm();

}  // namespace ks
