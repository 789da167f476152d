#include "bar/main_win.h"

#include <commctrl.h>

#include "bar/groups.h"
#include "bar/layout.h"
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
// The group list's height when dropped down and of its lines, at 96 DPI.
constexpr int kGroupListDropHeight = 300;
constexpr int kGroupListLineHeight = 16;

}  // namespace

BarWindow::BarWindow(BarSurroundings surroundings)
    : around_(std::move(surroundings)), typing_(*around_.Typing) {}

BarWindow::~BarWindow() = default;

bool BarWindow::Create() {
  store_ = &around_.Files->store();
  if (!CreateWin(contract::kBarClass, WS_EX_TOOLWINDOW, contract::kTitle,
                 WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, 200, 200, 120, 80,
                 around_.AppWindow, around_.Icon))
    return false;
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(around_.IconSmall));

  // The application window's button would otherwise sit on the taskbar.
  SetWindowLongPtrW(around_.AppWindow, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  PrepareSysMenus();

  CreateMenus();
  TakeSession();
  StartShortcuts();

  // Hidden and never activated: an active hidden bar would hold the foreground, and keys
  // would go nowhere until the user clicked another window.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  Display();
  // A window that was in front before the foreground watch began sends no event.
  FollowForeground();
  return true;
}

int BarWindow::Dpi() const { return win::DpiOf(hwnd_); }

void BarWindow::ApplyDpi() {
  ApplyButtonFont();
  if (!controlsMade_) return;  // they are made at the DPI of their time
  const int dpi = Dpi();
  // A control lets go of its old font only when it has the new one.
  win::UniqueFont ui = win::MakeDesignFont(dpi, win::kSmallFontHeight);
  win::UniqueFont list = win::MakeDesignFont(dpi, win::kFormFontHeight);
  SendMessageW(groupList_, WM_SETFONT, reinterpret_cast<WPARAM>(list.get()), TRUE);
  SendMessageW(undoButton_, WM_SETFONT, reinterpret_cast<WPARAM>(ui.get()), TRUE);
  uiFont_ = std::move(ui);
  listFont_ = std::move(list);
  FitGroupList();
  SendMessageW(groupList_, CB_SETITEMHEIGHT, 0, ScaleToDpi(kGroupListLineHeight, dpi));
  SendMessageW(undoButton_, BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(win::GlyphIcon(win::Glyph::Undo, dpi)));
}

void BarWindow::FitGroupList() {
  // The closed list fills exactly one cell. Its frame is what the closed list has beyond
  // its field, known only once the list has its font; and a list may give its field a little
  // more than asked. So the height asked for follows what comes out, until the list fits.
  const int cellHeight = CellAt(Values().ButtonWidth, Dpi()).Height;
  int field = static_cast<int>(SendMessageW(groupList_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int i = 0; i < 3; ++i) {
    RECT wr{};
    GetWindowRect(groupList_, &wr);
    const int off = cellHeight - (wr.bottom - wr.top);
    if (off == 0) break;
    field += off;
    SendMessageW(groupList_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

void BarWindow::CreateGroupList(HINSTANCE inst, const BarLayout& l) {
  groupList_ = CreateWindowExW(
      0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 0, 0,
      l.GroupListWidth, ScaleToDpi(kGroupListDropHeight, Dpi()), hwnd_,
      reinterpret_cast<HMENU>(contract::kBarGroupListId), inst, nullptr);
  SetWindowSubclass(groupList_, &BarWindow::GroupListProc, 1, reinterpret_cast<DWORD_PTR>(this));
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
  CreateGroupList(inst, l);
  undoButton_ = CreateWindowExW(0, L"Button", L"Undo", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON,
                                l.Undo.Left, l.Undo.Top, l.UndoSize, l.UndoSize, hwnd_,
                                reinterpret_cast<HMENU>(kUndoId), inst, nullptr);
  SetWindowSubclass(undoButton_, &BarWindow::UndoProc, 1, reinterpret_cast<DWORD_PTR>(this));
  ApplyDpi();
  // The list sorts the lines itself and selects the active group's, as at the start.
  keptLines_ = {};
  FillGroupList(*store_, *this);

  if (tips_.Create(hwnd_)) {
    tips_.Add(undoButton_, "Undo last Typing");
    tips_.Add(groupList_, "Right Click for Group Options");
  }
  for (int i = 1; i <= kMaxButtons; ++i) {
    const Face& f = faces_[i];
    const CellPos place = i < static_cast<int>(l.Buttons.size()) ? l.Buttons[i] : CellPos{};
    buttons_[i] = CreateWindowExW(
        0, L"Button", Wide(f.caption).c_str(), WS_CHILD | BS_OWNERDRAW | (f.shown ? WS_VISIBLE : 0),
        place.Left, place.Top, l.Cell.Width, l.Cell.Height, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(contract::kBarButtonIdBase + i)), inst,
        nullptr);
    SetWindowSubclass(buttons_[i], &BarWindow::ButtonProc, static_cast<UINT_PTR>(i),
                      reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
    tips_.Add(buttons_[i], f.hint);
  }
}

void BarWindow::ApplyButtonFont() {
  win::UniqueFont font = win::MakePointFontAt(Values().FontName.c_str(), Values().FontSize, Dpi());
  SendMessageW(dummy_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  for (int i = 1; i <= kMaxButtons; ++i)
    if (buttons_[i]) SendMessageW(buttons_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  buttonFont_ = std::move(font);
}

LOGFONTW BarWindow::TemplateFont() const {
  LOGFONTW lf{};
  GetObjectW(buttonFont_.get(), sizeof lf, &lf);
  // The font dialog reckons in points at the system DPI, whatever display the bar is on.
  lf.lfHeight = win::PointsToHeight(Values().FontSize);
  return lf;
}

// ---- showing the store ----

void BarWindow::HideButtons(int count) {
  for (int i = 1; i <= count && i <= kMaxButtons; ++i) {
    faces_[i].shown = false;
    if (buttons_[i]) ShowWindow(buttons_[i], SW_HIDE);
  }
}

void BarWindow::CreateButton(int i, const std::string& hint, const std::string& caption,
                             const std::string&, int32_t color) {
  if (i < 1 || i > kMaxButtons) return;
  faces_[i].shown = true;
  HWND b = buttons_[i];
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
  faces_[i].caption = caption;
  faces_[i].hint = hint;
  faces_[i].color = color;
  if (!buttons_[i]) return;
  win::SetText(buttons_[i], caption);
  tips_.Update(buttons_[i], hint);
  InvalidateRect(buttons_[i], nullptr, TRUE);
}

void BarWindow::SetButtonWidth(int width) {
  Values().Set(&Settings::ButtonWidth, width);
  const CellSize cell = CellAt(width, Dpi());
  for (int i = 1; i <= kMaxButtons; ++i)
    if (buttons_[i])
      SetWindowPos(buttons_[i], nullptr, 0, 0, cell.Width, cell.Height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BarWindow::SetClient(int w, int h) { win::SetClientSize(hwnd_, w, h); }

void BarWindow::SetClientQuietly(int w, int h) {
  inDisplay_ = true;
  SetClient(w, h);
  inDisplay_ = false;
}

void BarWindow::Display() {
  inDisplay_ = true;
  const Group& g = store_->Active();
  BarLayout l = ComputeLayout(g.ButtonCount(), g.Columns, Values().ButtonWidth, Dpi());
  if (controlsMade_) {
    SetWindowPos(groupList_, nullptr, 0, 0, l.GroupListWidth,
                 ScaleToDpi(kGroupListDropHeight, Dpi()), SWP_NOZORDER | SWP_NOACTIVATE);
    FitGroupList();
    SetWindowPos(undoButton_, nullptr, l.Undo.Left, l.Undo.Top, l.UndoSize, l.UndoSize,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (int j = 1; j < static_cast<int>(l.Buttons.size()) && j <= kMaxButtons && buttons_[j]; ++j)
    SetWindowPos(buttons_[j], nullptr, l.Buttons[j].Left, l.Buttons[j].Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClient(l.ClientWidth, l.ClientHeight);
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

void BarWindow::GroupListRefill() {
  if (groupList_)
    SendMessageW(groupList_, CB_RESETCONTENT, 0, 0);
  else
    keptLines_ = {};
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

int BarWindow::AddGroupName(const std::string& name) {
  if (!groupList_) return keptLines_.Add(name);
  const std::wstring shown = Wide(name);
  return static_cast<int>(
      SendMessageW(groupList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str())));
}

void BarWindow::DeleteGroupItem(int position) {
  if (!groupList_) return keptLines_.Delete(position);
  SendMessageW(groupList_, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void BarWindow::SelectGroupItem(int position) {
  if (!groupList_) return keptLines_.Select(position);
  SendMessageW(groupList_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::string BarWindow::SelectedGroupName() const {
  if (!groupList_) return keptLines_.SelectedName();
  int pos = SelectedGroupItem();
  if (pos < 0) return {};
  LRESULT n = SendMessageW(groupList_, CB_GETLBTEXTLEN, static_cast<WPARAM>(pos), 0);
  if (n == CB_ERR) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(groupList_, CB_GETLBTEXT, static_cast<WPARAM>(pos), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n > 0 ? n : 0));
  // The line stands for the group whose name it shows exactly, with its case: the group's
  // own bytes come back, also where the list could not hold them as they are.
  if (store_)
    for (const Group& g : store_->Groups)
      if (Wide(g.Name) == s) return g.Name;
  return Utf8(s);
}

int BarWindow::SelectedGroupItem() const {
  if (!groupList_) return keptLines_.Selected;
  return static_cast<int>(SendMessageW(groupList_, CB_GETCURSEL, 0, 0));
}

// ---- showing, hiding, rolling up ----

void BarWindow::Show() {
  // The window in front until now is the one the user works in, and its activation may
  // have reached us as no event.
  FollowForeground();
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
  RelabelSysMenuItem(0, rolledUp_ ? "UnRoll" : "RollUp");
  if (rolledUp_)
    SetClientQuietly(CellAt(Values().ButtonWidth, Dpi()).Width, 0);
  else
    ShowChosenGroup();
}

}  // namespace ks
