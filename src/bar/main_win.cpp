#include "bar/main_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "app/app.h"
#include "app/sysmenu.h"
#include "bar/commands.h"
#include "bar/drag.h"
#include "bar/layout.h"
#include "bar/target_rule.h"
#include "editor/groups.h"
#include "store/files_win.h"
#include "text/codepage_win.h"
#include "typing/list_win.h"
#include "typing/ports_win.h"
#include "typing/typist.h"
#include "win/common_dialogs.h"
#include "win/dialogs.h"
#include "win/glyphs.h"
#include "win/paint.h"

namespace ks {
namespace {

TMainForm* g_main = nullptr;

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 50;
constexpr int kButtonIdBase = 1000;
constexpr int kGroupListId = 900;
constexpr int kUndoId = 901;
constexpr int kDummyId = 902;
// The Undo button takes the right end of cell 0 and the group list the rest, so both
// are visible and usable at once.
constexpr int kUndoWidth = 24;

enum : UINT {
  kMenuUndoTyping = 2001, kNewMenu, kEditMenu, kDeleteMenu, kSetButtonFont, kSetButtonWidth,
  kCancelMenu, kNewGroupMenu, kEditGroupMenu, kDeleteGroupMenu, kSetPassword,
  kMenuRemovePassword, kGroupCancelMenu,
  kCopyItemBase = 3000,  // + group index - 1
  kMoveItemBase = 3100,
};

int PointsToHeight(int points) {
  HDC dc = GetDC(nullptr);
  int h = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, dc);
  return h;
}

// A stored place is kept as read, also partly off an edge, while some of the window's
// caption is on a monitor. Beyond that (a monitor since removed, a hand-edited file) the
// window could never be reached again, and exit would store the same place once more.
void KeepWithinReach(int32_t& x, int32_t& y, int32_t width, int32_t fallbackX,
                     int32_t fallbackY) {
  // In 64 bits: a stored width may be anything, and the sum must not wrap.
  auto clamp = [](int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const int64_t w = std::max<int64_t>(width, 1);
  RECT caption{x, y, clamp(int64_t{x} + w), clamp(int64_t{y} + GetSystemMetrics(SM_CYCAPTION))};
  if (MonitorFromRect(&caption, MONITOR_DEFAULTTONULL) != nullptr) return;
  x = fallbackX;
  y = fallbackY;
}

}  // namespace

TMainForm* MainForm() { return g_main; }

TMainForm::TMainForm() = default;

TMainForm::~TMainForm() {
  if (g_main == this) g_main = nullptr;
}

bool TMainForm::Create(HWND owner, HICON icon, HICON iconSmall) {
  g_main = this;
  icon_ = icon;
  iconSmall_ = iconSmall;
  store = Store::MakeDefault();
  if (!CreateWin("TMainForm", WS_EX_TOOLWINDOW, app::kTitle,
                 WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, 200, 200, 120, 80,
                 owner, icon))
    return false;
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall));

  // The application window's button would otherwise sit on the taskbar.
  SetWindowLongA(app::App().window.hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  app::PrepareSysMenus(hwnd_);

  CreateControls();
  CreateMenus();
  RolledUp = false;
  InDisplay = false;
  sink_ = std::make_unique<SendInputSink>();
  layout_ = std::make_unique<WinKeyboardLayout>();
  clock_ = std::make_unique<WinClock>();
  typist = std::make_unique<Typist>(*sink_, *layout_, *clock_, *this);

  LoadStore();

  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
  Display();
  StartTimer();
  return true;
}

void TMainForm::CreateControls() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  uiFont_ = win::MakeFont("MS Sans Serif", -11);
  listFont_ = win::MakeFont("MS Sans Serif", -13);
  tips_.Create(hwnd_);

  Dummy = CreateWindowExA(0, "Button", "Dummy", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, -100, 0,
                          75, 24, hwnd_, reinterpret_cast<HMENU>(kDummyId), inst, nullptr);
  GroupList = CreateWindowExA(
      0, "ComboBox", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 0, 0,
      ButtonWidth - kUndoWidth, 300, hwnd_, reinterpret_cast<HMENU>(kGroupListId), inst, nullptr);
  SendMessageA(GroupList, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), FALSE);
  // The closed list fills exactly one 24-pixel cell; its lines are 16 pixels.
  RECT wr{};
  GetWindowRect(GroupList, &wr);
  int field = static_cast<int>(SendMessageA(GroupList, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  int frame = (wr.bottom - wr.top) - field;
  SendMessageA(GroupList, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kCellHeight - frame);
  SendMessageA(GroupList, CB_SETITEMHEIGHT, 0, 16);
  SetWindowSubclass(GroupList, &TMainForm::GroupListProc, 1, reinterpret_cast<DWORD_PTR>(this));
  tips_.Add(GroupList, "Right Click for Group Options");

  UndoButton = CreateWindowExA(0, "Button", "Undo", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_ICON,
                               ButtonWidth - kUndoWidth, 0, kUndoWidth, kCellHeight, hwnd_,
                               reinterpret_cast<HMENU>(kUndoId), inst, nullptr);
  SendMessageA(UndoButton, BM_SETIMAGE, IMAGE_ICON,
               reinterpret_cast<LPARAM>(win::GlyphIcon(win::Glyph::Undo)));
  SendMessageA(UndoButton, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_.get()), FALSE);
  tips_.Add(UndoButton, "Undo last Typing");

  for (int i = 1; i <= kMaxButtons; ++i) {
    Buttons[i] = CreateWindowExA(0, "Button", "", WS_CHILD | BS_OWNERDRAW, 0, 0, ButtonWidth,
                                 kCellHeight, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonIdBase + i)),
                                 inst, nullptr);
    SetWindowSubclass(Buttons[i], &TMainForm::ButtonProc, static_cast<UINT_PTR>(i),
                      reinterpret_cast<DWORD_PTR>(this));
    tips_.Add(Buttons[i], "");
  }
  ApplyButtonFont();
  SetFocus(Dummy);
}

void TMainForm::ApplyButtonFont() {
  buttonFont_ = win::MakeFont(fontName_.c_str(), PointsToHeight(fontSize_));
  SendMessageA(Dummy, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
  for (int i = 1; i <= kMaxButtons; ++i)
    SendMessageA(Buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), TRUE);
}

void TMainForm::LoadStore() {
  auto clientOf = [](HWND h) { return h ? win::ClientRectOf(h) : RECT{}; };
  RECT ed = clientOf(EditorWindow);
  RECT li = clientOf(ListForm ? ListForm->hwnd() : nullptr);
  BarLayout design = ComputeLayout(1, 1, ButtonWidth, kBaseDpi);
  LoadContext ctx;
  ctx.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ctx.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  ctx.BarClientWidth = design.ClientWidth;
  ctx.BarClientHeight = design.ClientHeight;
  ctx.EditorClientWidth = ed.right;
  ctx.EditorClientHeight = ed.bottom;
  ctx.ListClientWidth = li.right;
  ctx.ListClientHeight = li.bottom;
  ctx.FontName = Utf8FromAnsi(fontName_);
  ctx.FontSize = fontSize_;
  ctx.FontColor = templateColor_;

  LoadOutcome out = LoadAll(Utf8FromAnsi(app::App().exeDir), ctx);
  unreadable_ = out.unreadable;
  store = std::move(out.loaded.store);
  Settings& st = out.loaded.settings;
  // The same places as for a window beyond the right or bottom edge.
  KeepWithinReach(st.BarX, st.BarY, design.ClientWidth, 200, 100);
  KeepWithinReach(st.EditorX, st.EditorY, st.EditorWidth, 300, 100);
  KeepWithinReach(st.ListX, st.ListY, st.ListWidth, 200, 300);
  SetButtonWidth(st.ButtonWidth);
  SetWindowPos(hwnd_, nullptr, st.BarX, st.BarY, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (SetEditorPlacement)
    SetEditorPlacement(win::Placement{st.EditorX, st.EditorY, st.EditorWidth, st.EditorHeight});
  if (ListForm) ListForm->SetPlacement(win::Placement{st.ListX, st.ListY, st.ListWidth, st.ListHeight});
  fontName_ = AnsiFromUtf8(st.FontName);
  fontSize_ = ClampFontSize(st.FontSize);
  ApplyButtonFont();
  GroupListRefill();
  if (unreadable_)
    Message("Unable to read " + *unreadable_ +
            "\nChanges made in this session will not be saved, so the file is not overwritten.");
}

void TMainForm::FormDestroy() {
  StopTimer();
  if (saved_ || unreadable_) return;
  saved_ = true;
  Settings st;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  st.ButtonWidth = ButtonWidth;
  st.BarX = r.left;
  st.BarY = r.top;
  if (GetEditorPlacement) {
    win::Placement p = GetEditorPlacement();
    st.EditorX = p.X, st.EditorY = p.Y, st.EditorWidth = p.Width, st.EditorHeight = p.Height;
  }
  if (ListForm) {
    win::Placement p = ListForm->GetPlacement();
    st.ListX = p.X, st.ListY = p.Y, st.ListWidth = p.Width, st.ListHeight = p.Height;
  }
  st.FontName = Utf8FromAnsi(fontName_);
  st.FontSize = fontSize_;
  if (std::optional<std::string> err = SaveAll(Utf8FromAnsi(app::App().exeDir), *store, st))
    MessageBoxA(nullptr, AnsiFromUtf8(*err).c_str(), app::kTitle,
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

// ---- showing the store ----

void TMainForm::HideButtons(int count) {
  for (int i = 1; i <= count && i <= kMaxButtons; ++i) ShowWindow(Buttons[i], SW_HIDE);
}

void TMainForm::CreateButton(int i, const std::string& hint, const std::string& caption,
                             const std::string&, int32_t color) {
  if (i < 1 || i > kMaxButtons) return;
  HWND b = Buttons[i];
  ShowWindow(b, SW_SHOWNA);
  SetWindowPos(b, nullptr, 0, 0, ButtonWidth, kCellHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
  SetFace(i, caption, hint, color);
}

void TMainForm::SetFace(int i, const std::string& caption, const std::string& hint,
                        int32_t color) {
  if (i < 1 || i > kMaxButtons) return;
  faceColor_[i] = color;
  // The store's texts are UTF-8; these controls still take the ANSI code page's.
  win::SetText(Buttons[i], AnsiFromUtf8(caption));
  tips_.Update(Buttons[i], AnsiFromUtf8(hint));
  InvalidateRect(Buttons[i], nullptr, TRUE);
}

void TMainForm::SetButtonWidth(int width) {
  ButtonWidth = width;
  for (int i = 1; i <= kMaxButtons; ++i)
    SetWindowPos(Buttons[i], nullptr, 0, 0, width, kCellHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::SetClient(int w, int h) {
  win::SetClientSize(hwnd_, w, h);
}

void TMainForm::Display() {
  InDisplay = true;
  SetWindowPos(GroupList, nullptr, 0, 0, ButtonWidth - kUndoWidth, 300,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(UndoButton, nullptr, ButtonWidth - kUndoWidth, 0, kUndoWidth, kCellHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
  const GroupRec& g = store->Active();
  BarLayout l = ComputeLayout(g.NumCommands, g.Columns, ButtonWidth, kBaseDpi);
  for (int j = 1; j < static_cast<int>(l.Buttons.size()) && j <= kMaxButtons; ++j)
    SetWindowPos(Buttons[j], nullptr, l.Buttons[j].Left, l.Buttons[j].Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetClient(l.ClientWidth, l.ClientHeight);
  InDisplay = false;
}

void TMainForm::FormResize() {
  RECT c = win::ClientRectOf(hwnd_);
  int32_t columns = store->Active().Columns;
  switch (FormResizeRule(RolledUp, InDisplay, c.right, ButtonWidth, kBaseDpi, columns)) {
    case ResizeAction::KeepRolledUp: {
      RECT c2 = win::ClientRectOf(hwnd_);
      if (c2.right != ButtonWidth || c2.bottom != 0) {
        InDisplay = true;
        SetClient(ButtonWidth, 0);
        InDisplay = false;
      }
      break;
    }
    case ResizeAction::Ignore:
      break;
    case ResizeAction::Relayout:
      store->Active().Columns = columns;
      Display();
      break;
  }
}

void TMainForm::GroupListChange() { ::ks::GroupListChange(*store, *this, Unlocked); }

void TMainForm::GroupListRefill() {
  SendMessageA(GroupList, CB_RESETCONTENT, 0, 0);
  FillGroupList(*store, *this);
  RebuildGroupMenus(GroupNames(*store));
  const DataRec& d = store->ActiveData();
  for (int i = 1; i <= store->Active().NumCommands; ++i)
    CreateButton(i, d.Description[i], d.Caption[i], d.String[i], d.Color[i]);
  Unlocked = store->Active().Password.empty();
}

void TMainForm::BringToTop() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void TMainForm::ShowBarOnTop() {
  // After a pick the keys are on their way to the target: the bar comes back on top
  // without taking the foreground from it.
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

void TMainForm::FocusDummy() {
  // Only while the bar is active: focusing a control of an inactive window would activate
  // it and take the foreground from the window being typed into. On its next activation
  // the bar focuses Dummy itself.
  if (IsWindowVisible(hwnd_) && GetActiveWindow() == hwnd_ && !ClickInProgress()) SetFocus(Dummy);
}

bool TMainForm::ClickInProgress() const {
  // A push button holds the mouse from its press to its release; taking its focus in
  // between cancels the click, and a click on Undo as a typing run ends would be lost.
  HWND capture = GetCapture();
  return capture && IsChild(hwnd_, capture);
}

int TMainForm::AddGroupName(const std::string& name) {
  const std::string shown = AnsiFromUtf8(name);
  return static_cast<int>(
      SendMessageA(GroupList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str())));
}

void TMainForm::DeleteGroupItem(int position) {
  SendMessageA(GroupList, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void TMainForm::SelectGroupItem(int position) {
  SendMessageA(GroupList, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::string TMainForm::SelectedGroupName() const {
  int pos = SelectedGroupItem();
  if (pos < 0) return {};
  LRESULT n = SendMessageA(GroupList, CB_GETLBTEXTLEN, static_cast<WPARAM>(pos), 0);
  if (n == CB_ERR) return {};
  std::string s(static_cast<size_t>(n) + 1, '\0');
  SendMessageA(GroupList, CB_GETLBTEXT, static_cast<WPARAM>(pos), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n));
  // The line shows the group's name in the ANSI code page: the name it stands for is the
  // group's whole name, also where the code page could not show all of it.
  for (int g = 1; store && g <= store->NumGroups; ++g)
    if (AnsiFromUtf8(store->Groups[g].GroupName) == s) return store->Groups[g].GroupName;
  return Utf8FromAnsi(s);
}

int TMainForm::SelectedGroupItem() const {
  return static_cast<int>(SendMessageA(GroupList, CB_GETCURSEL, 0, 0));
}

void TMainForm::RebuildGroupMenus(const std::vector<std::string>& groupNames) {
  for (HMENU m : {CopyMenu, MoveMenu})
    while (GetMenuItemCount(m) > 0) DeleteMenu(m, 0, MF_BYPOSITION);
  for (size_t k = 0; k < groupNames.size(); ++k) {
    const std::string name = AnsiFromUtf8(groupNames[k]);
    AppendMenuA(CopyMenu, MF_STRING, kCopyItemBase + k, name.c_str());
    AppendMenuA(MoveMenu, MF_STRING, kMoveItemBase + k, name.c_str());
  }
}

// ---- showing, hiding, rolling up ----

void TMainForm::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
  FocusDummy();
}

void TMainForm::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void TMainForm::RollUp() {
  if (RolledUp) {
    RolledUp = false;
    app::ModifySysMenu(0, "RollUp");
    GroupListChange();
  } else {
    RolledUp = true;
    app::ModifySysMenu(0, "UnRoll");
    InDisplay = true;
    SetClient(ButtonWidth, 0);
    InDisplay = false;
  }
}

// ---- pressing buttons ----

void TMainForm::StartTimer() {
  SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
  timerRunning_ = true;
}

void TMainForm::StopTimer() {
  KillTimer(hwnd_, kTimer1);
  timerRunning_ = false;
}

void TMainForm::Timer1Timer() { ConsiderTarget(GetForegroundWindow()); }

void TMainForm::ConsiderTarget(HWND fg) {
  if (!typist) return;
  DWORD pid = 0;
  // None of our own windows is ever the target: not a message box, not the hidden
  // application window the tray menu brings forward. Typing into them helps nobody.
  if (fg && GetWindowThreadProcessId(fg, &pid) && pid == GetCurrentProcessId()) return;
  // Nor is the desktop, which has the foreground when no program has it.
  if (fg && (fg == GetDesktopWindow() || fg == GetShellWindow())) return;
  // Nor the taskbar, which a click on the tray icon activates, or the Start menu.
  char cls[256] = {};
  if (fg && GetClassNameA(fg, cls, sizeof cls) > 0 && IsNeverTargetClass(cls)) return;
  HWND list = ListForm ? ListForm->hwnd() : nullptr;
  typist->TrackForeground(reinterpret_cast<WindowId>(fg), reinterpret_cast<WindowId>(hwnd_),
                          reinterpret_cast<WindowId>(list), reinterpret_cast<WindowId>(EditorWindow));
}

void TMainForm::ButtonMouseDown(int index, int mouseButton) {
  CurrentIndex = index;
  if (mouseButton == 0 && typist && typist->HasTarget()) {
    if (!Unlocked) {
      // The question must not become the target the text is typed into.
      StopTimer();
      CheckPassword(*store, Unlocked, *this);
      StartTimer();
    }
    if (Unlocked) {
      FocusDummy();
      BringToForeground(typist->TargetWindow);
      ++typingRuns_;
      typist->SendString(store->ActiveData().String[index]);
      --typingRuns_;
    }
  } else if (mouseButton == 1) {
    drag_ = RightDrag{};
    drag_.pressed = true;
    drag_.source = index;
    GetCursorPos(&drag_.start);
    SetCapture(Buttons[index]);
  }
  FocusDummy();
}

void TMainForm::MenuUndoTypingClick() {
  if (!typist || !typist->HasTarget()) return;
  typist->UndoTyping();
}

// ---- TypingHost and Dialogs ----

void TMainForm::ProcessMessages() { ProcessWaitingMessages(); }

bool TMainForm::WindowExists(WindowId w) { return ::ks::WindowExists(w); }

void TMainForm::BringToForeground(WindowId w) {
  HWND h = ToHwnd(w);
  if (!SetForegroundWindow(h)) return;
  // The switch completes asynchronously: the target's thread still has to activate the
  // window and focus its control, and a modal window of ours that just closed may hand
  // the activation back to its owner a moment later. Keys queued meanwhile land in the
  // wrong place, so wait until the target has held the foreground with a focused control
  // for a few polls in a row (boundedly: a target that never takes it gets the keys anyway).
  DWORD tid = GetWindowThreadProcessId(h, nullptr);
  int stable = 0;
  for (int i = 0; i < 100 && stable < 3; ++i) {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    bool ok = GetForegroundWindow() == h && GetGUIThreadInfo(tid, &gti) && gti.hwndFocus;
    stable = ok ? stable + 1 : 0;
    if (!ok && GetForegroundWindow() != h) SetForegroundWindow(h);
    ProcessWaitingMessages();
    Sleep(5);
  }
}

void TMainForm::WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) {
  // Keys sent to the target wait in its thread's queue until it gets round to them, and a
  // program started now (a console window comes to the front at once) or the list picker
  // would take the foreground meanwhile. Nothing tells whether another thread's queue is
  // empty (a process's idle state, which WaitForInputIdle waits for, marks only the end of
  // its start-up, under Wine as well), but a message sent to the target is handled each
  // time its thread asks for the next message, and in between that thread handles one
  // queued message. So each round trip after the first sees at least one more queued
  // message handled: one round trip for each key event and each character it made, and a
  // few for the target's own messages, take the queue past the keys. A round trip on an
  // empty queue costs two thread switches; a target that hangs or crawls is given up on
  // after a bound.
  constexpr DWORD kBoundMs = 2000;
  HWND h = ToHwnd(w);
  if (!h || !IsWindow(h) || keyEvents == 0) return;
  const std::size_t roundTrips = 2 * keyEvents + 8;
  const DWORD start = GetTickCount();
  for (std::size_t i = 0; i < roundTrips; ++i) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= kBoundMs) return;
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kBoundMs - spent, &ignored))
      return;  // hung, gone or too slow: typing goes on
  }
}

bool TMainForm::StartProgram(const std::string& program, const std::string& params) {
  return ShellOpen(hwnd_, program, params);
}

void TMainForm::Message(const std::string& text) {
  if (typingRuns_ == 0 || !typist) {
    win::ShowMessage(hwnd_, text);
    return;
  }
  // A box in the middle of a typing run ("Unable to start ..."): it must not become the
  // target, and the rest of the text belongs in the window it was meant for.
  bool wasRunning = timerRunning_;
  StopTimer();
  win::ShowMessage(hwnd_, text);
  if (wasRunning) StartTimer();
  BringToForeground(typist->TargetWindow);
}

std::optional<std::string> TMainForm::SelectFromList(const std::vector<std::string>& entries) {
  if (!ListForm) return std::nullopt;
  return ListForm->Pick(entries);
}

bool TMainForm::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(hwnd_, text, title);
}

std::optional<std::string> TMainForm::Input(const std::string& caption, const std::string& prompt,
                                            const std::string& defaultText, bool preselect) {
  return win::InputQuery(hwnd_, caption, prompt, defaultText, preselect);
}

// ---- drawing and messages ----

void TMainForm::DrawButton(const DRAWITEMSTRUCT& d) {
  int i = static_cast<int>(d.CtlID) - kButtonIdBase;
  if (i < 1 || i > kMaxButtons) return;
  win::DrawCaptionButton(d, buttonFont_.get(), win::ColorToRgb(faceColor_[i]),
                         win::GetText(d.hwndItem));
}

namespace {

// Where the mouse was when the event happened, on the screen. The pointer may have moved
// on by the time the message is handled, and the drag's threshold and drop belong to the
// event's own place.
POINT EventPoint(HWND button, LPARAM lp) {
  POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  ClientToScreen(button, &p);
  return p;
}

}  // namespace

LRESULT CALLBACK TMainForm::ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR self) {
  auto* form = reinterpret_cast<TMainForm*>(self);
  switch (msg) {
    // Typing starts when the button goes down, and a quick second press types again.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      form->ButtonMouseDown(static_cast<int>(id), 0);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      form->ButtonMouseDown(static_cast<int>(id), 1);
      if (form->drag_.pressed) form->drag_.start = EventPoint(h, lp);
      return 0;
    case WM_MBUTTONDOWN:
      form->ButtonMouseDown(static_cast<int>(id), 2);
      return 0;
    case WM_MOUSEMOVE:
      if (form->drag_.pressed) {
        form->DragMove(EventPoint(h, lp));
        return 0;
      }
      break;
    case WM_RBUTTONUP:
      if (form->drag_.pressed) {
        form->DragEnd(EventPoint(h, lp), false);
        return 0;
      }
      break;
    case WM_KEYDOWN:
      if (wp == VK_ESCAPE && form->drag_.pressed) {
        POINT p{};
        GetCursorPos(&p);
        form->DragEnd(p, true);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (form->drag_.pressed && reinterpret_cast<HWND>(lp) != h) {
        POINT p{};
        GetCursorPos(&p);
        form->DragEnd(p, true);
      }
      break;
    case WM_SETCURSOR:
      if (form->drag_.dragging) return TRUE;
      break;
    default:
      break;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

LRESULT CALLBACK TMainForm::GroupListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                          DWORD_PTR self) {
  auto* form = reinterpret_cast<TMainForm*>(self);
  if (msg == WM_RBUTTONUP || msg == WM_CONTEXTMENU) {
    form->ShowGroupMenu();
    return 0;
  }
  return DefSubclassProc(h, msg, wp, lp);
}

void TMainForm::ShowGroupMenu() {
  POINT p{};
  GetCursorPos(&p);
  const bool empty = store->Active().NumCommands <= 0;
  if (UINT id = win::TrackMenu(empty ? EmptyGroupMenu : GroupMenu, hwnd_, p)) GroupCommand(id);
}

// ---- menus ----

void TMainForm::CreateMenus() {
  using win::Glyph;
  CopyMenu = CreatePopupMenu();
  MoveMenu = CreatePopupMenu();
  using win::kSeparator;
  SetupMenu = win::BuildPopupMenu({
      {kMenuUndoTyping, "Undo Typing", Glyph::Undo},
      kSeparator,
      {kNewMenu, "New Button", Glyph::New},
      {kEditMenu, "Edit Button", Glyph::Edit},
      {kDeleteMenu, "Delete Button", Glyph::Delete},
      kSeparator,
      {0, "Copy to Group", Glyph::Copy, CopyMenu},
      {0, "Move to Group", Glyph::Move, MoveMenu},
      kSeparator,
      {kSetButtonFont, "Button Font", Glyph::Font},
      {kSetButtonWidth, "Button Width", Glyph::Width},
      kSeparator,
      {kCancelMenu, "Cancel", Glyph::Cancel},
  });
  GroupMenu = win::BuildPopupMenu({
      {kNewGroupMenu, "New Group", Glyph::NewGroup},
      {kEditGroupMenu, "Edit Group", Glyph::EditGroup},
      {kDeleteGroupMenu, "Delete Group", Glyph::DeleteGroup},
      kSeparator,
      {kSetPassword, "Password Protect", Glyph::Lock},
      {kMenuRemovePassword, "Remove Password", Glyph::Unlock},
      kSeparator,
      {kGroupCancelMenu, "Cancel", Glyph::Cancel},
  });
  EmptyGroupMenu = win::BuildPopupMenu({
      {kNewMenu, "New Button", Glyph::New},
      kSeparator,
      {kNewGroupMenu, "New Group", Glyph::NewGroup},
      {kEditGroupMenu, "Edit Group", Glyph::EditGroup},
      {kDeleteGroupMenu, "Delete Group", Glyph::DeleteGroup},
      kSeparator,
      {kSetPassword, "Password Protect", Glyph::Lock},
      {kMenuRemovePassword, "Remove Password", Glyph::Unlock},
      kSeparator,
      {kGroupCancelMenu, "Cancel", Glyph::Cancel},
  });
}

void TMainForm::OpenSetupMenu(POINT screen) {
  if (UINT id = win::TrackMenu(SetupMenu, hwnd_, screen)) SetupCommand(id);
}

void TMainForm::SetupCommand(UINT id) {
  const int k = CurrentIndex;
  if (id >= kCopyItemBase && id < kCopyItemBase + kMaxGroups) {
    MenuCopyToGroupClick(*store, *this, k, static_cast<int>(id - kCopyItemBase));
    return;
  }
  if (id >= kMoveItemBase && id < kMoveItemBase + kMaxGroups) {
    MenuMoveToGroupClick(*store, *this, *this, k, static_cast<int>(id - kMoveItemBase));
    return;
  }
  switch (id) {
    case kMenuUndoTyping:
      MenuUndoTypingClick();
      break;
    case kNewMenu:
      if (ButtonEditor) NewMenuClick(*store, *this, *this, *ButtonEditor);
      break;
    case kEditMenu:
      if (ButtonEditor) EditMenuClick(*store, *this, *ButtonEditor, k);
      break;
    case kDeleteMenu:
      DeleteMenuClick(*store, *this, *this, k);
      break;
    case kSetButtonFont:
      SetButtonFontClick();
      break;
    case kSetButtonWidth:
      SetButtonWidthClick(ButtonWidth, *this, *this);
      BringToTop();
      break;
    default:
      break;
  }
}

void TMainForm::GroupCommand(UINT id) {
  switch (id) {
    case kNewMenu:
      if (ButtonEditor) NewMenuClick(*store, *this, *this, *ButtonEditor);
      break;
    case kNewGroupMenu:
      NewGroupMenuClick(*store, *this, *this, Unlocked);
      break;
    case kEditGroupMenu:
      EditGroupMenuClick(*store, *this, *this, Unlocked);
      break;
    case kDeleteGroupMenu:
      DeleteGroupMenuClick(*store, *this, *this, Unlocked);
      break;
    case kSetPassword:
      SetPasswordClick(*store, *this);
      break;
    case kMenuRemovePassword:
      MenuRemovePasswordClick(*store, *this);
      break;
    default:
      break;
  }
  BringToTop();
}

// ---- font ----

namespace {

constexpr WORD kApplyButtonId = 0x0402;  // psh3: the font dialog's Apply button

UINT_PTR CALLBACK FontHook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, GWLP_USERDATA, reinterpret_cast<CHOOSEFONTA*>(lp)->lCustData);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wp) == kApplyButtonId) {
    LOGFONTA lf{};
    SendMessageA(dlg, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&lf));
    if (auto* form = reinterpret_cast<TMainForm*>(GetWindowLongPtrA(dlg, GWLP_USERDATA)))
      form->ButtonFontApplyPublic(lf);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

LOGFONTA TMainForm::TemplateFont() const {
  LOGFONTA lf{};
  GetObjectA(buttonFont_.get(), sizeof lf, &lf);
  return lf;
}

void TMainForm::ButtonFontApplyPublic(const LOGFONTA& lf) { ButtonFontApply(lf); }

void TMainForm::SetButtonFontClick() {
  LOGFONTA lf = TemplateFont();
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = hwnd_;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_APPLY | CF_ENABLEHOOK;
  cf.nSizeMin = kMinFontSize;
  cf.nSizeMax = kMaxFontSize;
  cf.rgbColors = win::ColorToRgb(templateColor_);
  cf.lpfnHook = &FontHook;
  cf.lCustData = reinterpret_cast<LPARAM>(this);
  if (win::PickFont(cf)) ButtonFontApply(lf);
  BringToTop();
}

void TMainForm::ButtonFontApply(const LOGFONTA& lf) {
  // Only the face and the size are taken; every button keeps its own colour.
  HDC dc = GetDC(nullptr);
  int points = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(nullptr, dc);
  fontName_ = lf.lfFaceName;
  if (points > 0) fontSize_ = points;
  ApplyButtonFont();
}

// ---- right-button drag ----

int TMainForm::ButtonIndexOf(HWND h) const {
  for (int i = 1; i <= kMaxButtons; ++i)
    if (h && Buttons[i] == h && IsWindowVisible(h)) return i;
  return 0;
}

int TMainForm::ButtonAt(POINT screen) const { return ButtonIndexOf(WindowFromPoint(screen)); }

void TMainForm::DragMove(POINT p) {
  if (!drag_.dragging) {
    if (!DragStarted(p.x - drag_.start.x, p.y - drag_.start.y)) return;
    drag_.dragging = true;
    SetFocus(Buttons[drag_.source]);  // so that Esc reaches the drag
  }
  SetCursor(LoadCursor(nullptr, ButtonAt(p) ? IDC_HAND : IDC_NO));
}

void TMainForm::DragEnd(POINT p, bool cancelled) {
  RightDrag d = drag_;
  drag_ = RightDrag{};
  if (GetCapture() == Buttons[d.source]) ReleaseCapture();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  FocusDummy();
  if (!d.dragging) {
    OpenSetupMenu(d.start);
    return;
  }
  int target = cancelled ? 0 : ButtonAt(p);
  if (target) ButtonDragDrop(*store, *this, d.source, target);
  std::string dragged = win::GetText(Buttons[d.source]);
  std::string onto = target ? win::GetText(Buttons[target]) : std::string();
  if (OpensSetupMenu(dragged, onto)) OpenSetupMenu(p);
}

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == kGroupListId && HIWORD(wp) == CBN_SELCHANGE) {
        GroupListChange();
        return 0;
      }
      if (LOWORD(wp) == kUndoId && HIWORD(wp) == BN_CLICKED) {
        MenuUndoTypingClick();
        return 0;
      }
      break;
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      return 0;
    case WM_ACTIVATE:
      // The window a click on the bar took the foreground from is the one the user was
      // working in, even when the timer has not seen it yet.
          if (LOWORD(wp) != WA_INACTIVE && lp) ConsiderTarget(reinterpret_cast<HWND>(lp));
      if (LOWORD(wp) != WA_INACTIVE && !drag_.pressed) {
        Default(msg, wp, lp);
        if (!ClickInProgress()) SetFocus(Dummy);
        return 0;
      }
      break;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_GETMINMAXINFO: {
      // The layout sets sizes below the system's minimum: one narrow cell, or only the
      // caption when rolled up.
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      SIZE s = win::OuterSizeForClient(hwnd_, 1, 0);
      mmi->ptMinTrackSize.x = s.cx;
      mmi->ptMinTrackSize.y = s.cy;
      return 0;
    }
    case WM_SYSCOMMAND:
      if (app::HandleSysCommand(wp)) return 0;
      break;
    case WM_CLOSE:
      // Closing the bar only hides it; the tray menu's Exit ends the program.
      Hide();
      return 0;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ks
