#include "bar/main_win.h"

#include <commctrl.h>

#include "bar/drag.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/sysmenu_win.h"
#include "store/settings.h"
#include "text/codepage_win.h"
#include "typing/list_win.h"
#include "typing/ports_win.h"
#include "typing/typist.h"
#include "win/dpi.h"
#include "win/glyphs.h"
#include "win/paint.h"

namespace ks {
namespace {

constexpr int kDummyId = 902;

}  // namespace

BarWindow::BarWindow(BarSurroundings surroundings)
    : GroupListControl(*surroundings.Files),
      around_(std::move(surroundings)),
      unlocked_(around_.Typing->ActiveUnlocked()),
      typing_(*around_.Typing),
      menus_({hwnd_, *around_.Files, *this, dialogs_, around_.ButtonEditor, unlocked_,
              around_.OpenFind, [this] { UndoTyping(); }, [this] { NoteChange(); },
              [this] { ApplyButtonFont(); }}),
      drag_(
          buttons_, [this](POINT at, int index) { menus_.OpenButtonMenu(at, index); },
          [this](int from, int onto) {
            ButtonDragDrop(*store_, *this, from, onto);
            NoteChange();
          },
          [this] { FocusDummy(); }) {}

BarWindow::~BarWindow() = default;

bool BarWindow::Create() {
  store_ = &around_.Files->store();
  if (!CreateWin(contract::kBarClass, WS_EX_TOOLWINDOW, contract::kTitle,
                 WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, 200, 200, 120, 80,
                 around_.AppWindow, around_.Icon))
    return false;
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(around_.IconSmall));
  theme_.Attach(hwnd_);

  // The application window's button would otherwise sit on the taskbar.
  SetWindowLongPtrW(around_.AppWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  PrepareSysMenus(around_.AppWindow, hwnd_);

  menus_.Create();
  TakeSession();

  // Hidden and never activated: an active hidden bar would hold the foreground, and keys
  // would go nowhere until the user clicked another window.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  Display();
  // A window that was in front before the foreground watch began sends no event.
  FollowForeground(typing_.Tracker());
  return true;
}

int BarWindow::Dpi() const { return win::DpiOf(hwnd_); }

void BarWindow::ApplyDpi() {
  ApplyButtonFont();
  if (!controlsMade_) return;  // they are made at the DPI of their time
  const int dpi = Dpi();
  // A control lets go of its old font only when it has the new one.
  win::UniqueFont ui = win::MakeDesignFont(dpi, win::kSmallFontHeight);
  SendMessageW(undoButton_, WM_SETFONT, reinterpret_cast<WPARAM>(ui.get()), TRUE);
  uiFont_ = std::move(ui);
  const Group& g = store_->Active();
  FitGroupList(ComputeLayout(g.ButtonCount(), g.Columns, Values().ButtonWidth, dpi).GroupListWidth,
               CellAt(Values().ButtonWidth, dpi).Height, dpi);
  SendMessageW(undoButton_, BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(win::GlyphIcon(win::Glyph::Undo, dpi)));
}

void BarWindow::MakeControls() {
  if (controlsMade_ || !hwnd_) return;
  controlsMade_ = true;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  // In the places of the layout the bar has now; the bar's own size stays as it is.
  const Group& g = store_->Active();
  const BarLayout l = ComputeLayout(g.ButtonCount(), g.Columns, Values().ButtonWidth, Dpi());

  // Out of sight left of the client area at every DPI, so it keeps its size at 96 DPI.
  dummy_ = CreateWindowExW(0, L"Button", L"Dummy", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, -100, 0,
                           75, 24, hwnd_, reinterpret_cast<HMENU>(kDummyId), inst, nullptr);
  MakeGroupList(hwnd_, l.GroupListWidth, Dpi(), &BarWindow::ControlProc,
                reinterpret_cast<DWORD_PTR>(this));
  undoButton_ = CreateWindowExW(0, L"Button", L"Undo", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON,
                                l.Undo.Left, l.Undo.Top, l.UndoSize, l.UndoSize, hwnd_,
                                reinterpret_cast<HMENU>(kUndoId), inst, nullptr);
  SetWindowSubclass(undoButton_, &BarWindow::ControlProc, kUndoId, reinterpret_cast<DWORD_PTR>(this));
  ApplyDpi();
  // The list selects the active group's line, as at the start.
  FillGroupList(*store_, *this);

  if (tips_.Create(hwnd_)) {
    tips_.Add(undoButton_, "Undo last Typing");
    tips_.Add(groupList_, "Right Click for Group Options");
  }
  for (int i = 1; i <= kMaxButtons; ++i) {
    const ButtonControl& f = buttons_[i];
    const CellPos place = i < static_cast<int>(l.Buttons.size()) ? l.Buttons[i] : CellPos{};
    buttons_[i].hwnd = CreateWindowExW(
        0, L"Button", Wide(f.caption).c_str(), WS_CHILD | BS_OWNERDRAW | (f.shown ? WS_VISIBLE : 0),
        place.Left, place.Top, l.Cell.Width, l.Cell.Height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(contract::kBarButtonIdBase + i)), inst,
        nullptr);
    SetWindowSubclass(buttons_[i].hwnd, &BarWindow::ControlProc, static_cast<UINT_PTR>(i),
                      reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(buttons_[i].hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
    tips_.Add(buttons_[i].hwnd, f.hint);
  }
}

void BarWindow::ApplyButtonFont() {
  win::UniqueFont font = win::MakePointFontAt(Values().FontName.c_str(), Values().FontSize, Dpi());
  SendMessageW(dummy_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  for (int i = 1; i <= kMaxButtons; ++i)
    if (buttons_[i].hwnd) SendMessageW(buttons_[i].hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  buttonFont_ = std::move(font);
}

// ---- showing the store ----

void BarWindow::HideButtons(int count) {
  for (int i = 1; i <= count && i <= kMaxButtons; ++i) {
    buttons_[i].shown = false;
    if (buttons_[i].hwnd) ShowWindow(buttons_[i].hwnd, SW_HIDE);
  }
}

void BarWindow::CreateButton(int i, const std::string& hint, const std::string& caption,
                             const std::string&, int32_t color) {
  if (i < 1 || i > kMaxButtons) return;
  buttons_[i].shown = true;
  HWND b = buttons_[i].hwnd;
  if (!b) {
    SetFace(i, caption, hint, color);
    return;
  }
  ShowWindow(b, SW_SHOWNA);
  const CellSize cell = CellAt(Values().ButtonWidth, Dpi());
  SetWindowPos(b, nullptr, 0, 0, cell.Width, cell.Height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
  SetFace(i, caption, hint, color);
}

void BarWindow::SetFace(int i, const std::string& caption, const std::string& hint,
                        int32_t color) {
  if (i < 1 || i > kMaxButtons) return;
  buttons_[i].caption = caption;
  buttons_[i].hint = hint;
  buttons_[i].color = color;
  if (!buttons_[i].hwnd) return;
  win::SetText(buttons_[i].hwnd, caption);
  tips_.Update(buttons_[i].hwnd, hint);
  InvalidateRect(buttons_[i].hwnd, nullptr, TRUE);
}

void BarWindow::SetButtonWidth(int width) {
  Values().Set(&Settings::ButtonWidth, width);
  const CellSize cell = CellAt(width, Dpi());
  for (int i = 1; i <= kMaxButtons; ++i)
    if (buttons_[i].hwnd)
      SetWindowPos(buttons_[i].hwnd, nullptr, 0, 0, cell.Width, cell.Height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BarWindow::SetClientQuietly(int w, int h) {
  const bool was = inDisplay_;
  inDisplay_ = true;
  win::SetClientSize(hwnd_, w, h);
  inDisplay_ = was;
}

void BarWindow::Display() {
  inDisplay_ = true;
  const Group& g = store_->Active();
  BarLayout l = ComputeLayout(g.ButtonCount(), g.Columns, Values().ButtonWidth, Dpi());
  if (controlsMade_) {
    FitGroupList(l.GroupListWidth, l.Cell.Height, Dpi());
    SetWindowPos(undoButton_, nullptr, l.Undo.Left, l.Undo.Top, l.UndoSize, l.UndoSize,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (int j = 1; j < static_cast<int>(l.Buttons.size()) && j <= kMaxButtons && buttons_[j].hwnd; ++j)
    SetWindowPos(buttons_[j].hwnd, nullptr, l.Buttons[j].Left, l.Buttons[j].Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClientQuietly(l.ClientWidth, l.ClientHeight);
  inDisplay_ = false;
}

void BarWindow::FitToSize() {
  RECT c = win::ClientRectOf(hwnd_);
  int32_t columns = store_->Active().Columns;
  switch (GridResizeRule(rolledUp_, inDisplay_, c.right, Values().ButtonWidth, Dpi(), columns)) {
    case ResizeAction::KeepRolledUp: {
      RECT c2 = win::ClientRectOf(hwnd_);
      const int cellWidth = CellAt(Values().ButtonWidth, Dpi()).Width;
      if (c2.right != cellWidth || c2.bottom != 0) SetClientQuietly(cellWidth, 0);
      break;
    }
    case ResizeAction::Ignore:
      break;
    case ResizeAction::Relayout:
      store_->Active().Columns = columns;
      Display();
      NoteChange();
      break;
  }
}

void BarWindow::ShowChosenGroup() {
  ::ks::ShowChosenGroup(*store_, *this, unlocked_);
  NoteChange();  // the active group is kept in the settings file
}

void BarWindow::ShowGroup(int group) {
  ::ks::ShowGroup(*store_, *this, group, unlocked_);
  if (rolledUp_) SetClientQuietly(CellAt(Values().ButtonWidth, Dpi()).Width, 0);
  NoteChange();
}

void BarWindow::GroupListRefill() {
  ClearGroupList();
  FillGroupList(*store_, *this);
  RebuildGroupMenus(GroupNames(*store_));
  FillButtons(store_->Active(), *this);
  unlocked_ = store_->Active().Password.empty();
}

void BarWindow::BringToTop() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void BarWindow::FocusDummy() {
  // Only while the bar is active: focusing a control of an inactive window would activate
  // it and take the foreground from the window being typed into. On its next activation
  // the bar focuses Dummy itself.
  if (IsWindowVisible(hwnd_) && GetActiveWindow() == hwnd_ && !ClickInProgress()) SetFocus(dummy_);
}

bool BarWindow::ClickInProgress() const {
  // A push button holds the mouse from its press to its release; taking its focus in
  // between cancels the click, and a click on Undo as a typing run ends would be lost.
  HWND capture = GetCapture();
  return capture && IsChild(hwnd_, capture);
}

// ---- showing, hiding, rolling up ----

void BarWindow::Show() {
  // The window in front until now is the one the user works in, and its activation may
  // have reached us as no event.
  FollowForeground(typing_.Tracker());
  ShowWindow(hwnd_, SW_SHOW);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
  FocusDummy();
}

void BarWindow::ShowFromTray() {
  Show();
  if (rolledUp_) RollUp();
}

void BarWindow::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void BarWindow::RollUp() {
  rolledUp_ = !rolledUp_;
  LabelRollUp(around_.AppWindow, hwnd_, rolledUp_);
  if (rolledUp_)
    SetClientQuietly(CellAt(Values().ButtonWidth, Dpi()).Width, 0);
  else
    ShowChosenGroup();
}

bool BarWindow::HandleSysCommand(WPARAM command) {
  if (command == kRollUpCommand) {
    RollUp();
    return true;
  }
  // The item relabelled "Hide" keeps the Size command; a border drag carries the edge in
  // the low bits, so only the bare command comes from the menu.
  if (command == SC_SIZE) {
    Hide();
    return true;
  }
  return false;
}

}  // namespace ks
