#include "find/find_win.h"

#include <commctrl.h>

#include <algorithm>

#include "contract.h"
#include "find/lines.h"
#include "find/place.h"
#include "text/codepage_win.h"
#include "win/controls.h"
#include "win/dpi.h"

namespace ks::find {

using namespace ks::win;

namespace {

// Every text of a line: one row, cut with an ellipsis.
constexpr UINT kOneLine = DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS;

}  // namespace

FindPopup::~FindPopup() {
  // Destroyed here rather than by the base, so that the edit's subclass, which points
  // at this object, goes while the object is whole.
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool FindPopup::Create(HWND owner) {
  if (!CreateWin(contract::kFindClass, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, contract::kTitle,
                 WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 0, 0, owner))
    return false;
  theme_.Attach(hwnd_);
  return true;
}

bool FindPopup::MakeControls() {
  if (list_) return true;
  edit_ = CreateControl(hwnd_, "Edit", "", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 0,
                        0, 0, kEditId, nullptr);
  // Owner-drawn for the two rows of a line, and without data of its own: a line is drawn
  // from the find's answer, and a list of 2,500 lines is filled by giving their number
  // (adding them one by one took 60 ms under Wine, for every letter typed).
  list_ = CreateControl(hwnd_, "ListBox", "",
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NODATA |
                            WS_VSCROLL,
                        WS_EX_CLIENTEDGE, 0, 0, 0, 0, kListId, nullptr);
  if (!edit_ || !list_) return false;
  SetWindowSubclass(edit_, &FindPopup::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  dpi_ = 0;
  ApplyDpi();
  return true;
}

SIZE FindPopup::ClientSizeAt(int dpi) const {
  const int listHeight =
      kVisibleLines * ScaleToDpi(kLineHeight, dpi) + 2 * MetricAt(SM_CYEDGE, dpi);
  return SIZE{ScaleToDpi(kClientWidth, dpi),
              ScaleToDpi(kEditHeight + 3 * kPadding, dpi) + listHeight};
}

void FindPopup::ApplyDpi() {
  const int dpi = DpiOf(hwnd_);
  if (dpi == dpi_) return;
  dpi_ = dpi;
  font_ = MakeDesignFont(dpi);
  smallFont_ = MakeDesignFont(dpi, kSmallFontHeight);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, ScaleToDpi(kLineHeight, dpi));
  Layout();
}

void FindPopup::Layout() {
  if (!list_) return;
  const RECT c = ClientRectOf(hwnd_);
  const int pad = ScaleToDpi(kPadding, dpi_), editHeight = ScaleToDpi(kEditHeight, dpi_);
  MoveWindow(edit_, pad, pad, c.right - 2 * pad, editHeight, TRUE);
  const int top = 2 * pad + editHeight;
  MoveWindow(list_, pad, top, c.right - 2 * pad, std::max(0, int{c.bottom} - top - pad), TRUE);
}

void FindPopup::PlaceAtPointer() {
  POINT pointer{};
  GetCursorPos(&pointer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
  const ScreenArea work{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                        monitor.rcWork.bottom};
  // Sized for the pointer's monitor; once there, the window's own DPI decides, which is
  // another where the system gives windows no DPI of their own.
  int dpi = DpiAt(pointer);
  placing_ = true;
  for (int round = 0; round < 2; ++round) {
    const SIZE client = ClientSizeAt(dpi);
    const SIZE outer = OuterSizeAt(hwnd_, client.cx, client.cy, dpi);
    const ScreenPoint at = PlaceNearPointer({pointer.x, pointer.y}, outer.cx, outer.cy,
                                            ScaleToDpi(kPointerGap, dpi), work);
    SetWindowPos(hwnd_, HWND_TOPMOST, at.X, at.Y, outer.cx, outer.cy, SWP_NOACTIVATE);
    if (DpiOf(hwnd_) == dpi) break;
    dpi = DpiOf(hwnd_);
  }
  placing_ = false;
  ApplyDpi();
  Layout();
}

void FindPopup::Open(const Store& store, HWND target, const std::string& program) {
  if (!MakeControls()) return;
  store_ = &store;
  index_ = std::make_unique<FindIndex>(store, program);
  target_ = target;
  open_ = true;
  PlaceAtPointer();
  settingText_ = true;
  SetWindowTextW(edit_, query_.c_str());
  settingText_ = false;
  Refilter();
  SendMessageW(edit_, EM_SETSEL, 0, -1);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetFocus(edit_);
}

void FindPopup::Close() { CloseGivingBack(false); }

void FindPopup::CloseGivingBack(bool giveBack) {
  if (!open_) return;
  open_ = false;
  // The foreground goes back while this window still has it: once hidden, the system
  // would refuse this process the change.
  if (giveBack && target_ && IsWindow(target_)) SetForegroundWindow(target_);
  ShowWindow(hwnd_, SW_HIDE);
  SendMessageW(list_, LB_SETCOUNT, 0, 0);
  hits_.clear();
  index_.reset();
  store_ = nullptr;
  target_ = nullptr;
}

void FindPopup::Refilter() {
  if (!open_ || !index_) return;
  const int n = GetWindowTextLengthW(edit_);
  query_.assign(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
  query_.resize(static_cast<std::size_t>(
      std::max(GetWindowTextW(edit_, query_.data(), std::max(n, 0) + 1), 0)));
  hits_ = index_->Filter(Utf8(query_));

  // One line when nothing is found: the grey one that says so.
  SendMessageW(list_, LB_SETCOUNT, std::max<std::size_t>(hits_.size(), 1), 0);
  SendMessageW(list_, LB_SETCURSEL, hits_.empty() ? static_cast<WPARAM>(-1) : 0, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

void FindPopup::Choose() {
  const LRESULT i = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (i < 0 || static_cast<std::size_t>(i) >= hits_.size()) return;  // the grey line
  const FindHit hit = hits_[static_cast<std::size_t>(i)];
  CloseGivingBack(true);
  PostMessageW(hwnd_, kChosenMessage, static_cast<WPARAM>(hit.Group),
               static_cast<LPARAM>(hit.Button));
}

bool FindPopup::EditKey(UINT msg, WPARAM key) {
  if (msg == WM_CHAR) return key == '\r' || key == '\n' || key == 0x1B;  // no beep
  if (msg != WM_KEYDOWN) return false;
  switch (key) {
    case VK_RETURN:
      Choose();
      return true;
    case VK_ESCAPE:
      CloseGivingBack(true);
      return true;
    case VK_HOME:
    case VK_END:
      // With Shift they select in the query, as in any edit.
      if (GetKeyState(VK_SHIFT) < 0) return false;
      [[fallthrough]];
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      if (!hits_.empty()) SendMessageW(list_, WM_KEYDOWN, key, 0);
      return true;
  }
  return false;
}

LRESULT CALLBACK FindPopup::EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self) {
  return Guarded(
      [&]() -> LRESULT {
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(h, &FindPopup::EditProc, 1);
        if (reinterpret_cast<FindPopup*>(self)->EditKey(msg, wp)) return 0;
        return DefSubclassProc(h, msg, wp, lp);
      },
      [&] { return DefSubclassProc(h, msg, wp, lp); });
}

void FindPopup::DrawLine(const DRAWITEMSTRUCT& d) {
  if (d.itemID == static_cast<UINT>(-1)) return;
  HDC dc = d.hDC;
  const bool selected = (d.itemState & ODS_SELECTED) && !hits_.empty();
  const win::Palette colors = win::PaletteOf(theme_.scheme());
  SetDCBrushColor(dc, selected ? colors.Highlight : colors.Field);
  FillRect(dc, &d.rcItem, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  const int pad = ScaleToDpi(kPadding, dpi_);
  RECT r = d.rcItem;
  r.left += pad;
  r.right -= pad;
  const HGDIOBJ oldFont = SelectObject(dc, font_.get());
  const bool isHit = !hits_.empty() && d.itemID < hits_.size();
  if (hits_.empty()) {
    SetTextColor(dc, colors.GrayText);
    DrawTextW(dc, Wide(kNothingFound).c_str(), -1, &r, kOneLine);
  } else if (isHit) {
    DrawHit(dc, r, hits_[d.itemID], selected);
  }
  SelectObject(dc, oldFont);
  if (isHit && (d.itemState & ODS_FOCUS)) DrawFocusRect(dc, &d.rcItem);
}

void FindPopup::DrawHit(HDC dc, const RECT& r, const FindHit& hit, bool selected) {
  const win::Palette colors = win::PaletteOf(theme_.scheme());
  const COLORREF text = selected ? colors.HighlightText : colors.Text;
  const COLORREF grey = selected ? colors.HighlightText : colors.GrayText;
  const int pad = ScaleToDpi(kPadding, dpi_);
  const FindLine line = FindLineOf(*store_, hit.Group, hit.Button, kTextChars);
  RECT top = r, bottom = r;
  top.bottom = bottom.top = r.top + (r.bottom - r.top) / 2;

  // The group at the right of the first row, at most two fifths of it; the caption
  // before it.
  const std::wstring group = Wide(line.Group);
  SelectObject(dc, smallFont_.get());
  RECT measure{0, 0, 0, 0};
  DrawTextW(dc, group.c_str(), -1, &measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  const int groupWidth = std::min<int>(measure.right, (r.right - r.left) * 2 / 5);
  RECT groupRect = top;
  groupRect.left = top.right - groupWidth;
  SetTextColor(dc, grey);
  DrawTextW(dc, group.c_str(), -1, &groupRect, kOneLine | DT_RIGHT);

  RECT captionRect = top;
  captionRect.right = groupRect.left - pad;
  SelectObject(dc, font_.get());
  SetTextColor(dc, text);
  DrawTextW(dc, Wide(line.Caption).c_str(), -1, &captionRect, kOneLine);

  SelectObject(dc, smallFont_.get());
  SetTextColor(dc, grey);
  DrawTextW(dc, Wide(line.Text).c_str(), -1, &bottom, kOneLine);
}

void FindPopup::OnCommand(WPARAM wp) {
  if (LOWORD(wp) == kEditId && HIWORD(wp) == EN_CHANGE && !settingText_) Refilter();
  if (LOWORD(wp) != kListId) return;
  switch (HIWORD(wp)) {
    case LBN_DBLCLK:
      Choose();
      break;
    case LBN_SELCHANGE:
      if (hits_.empty()) SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      break;
    case LBN_SETFOCUS:
      // A click selects, and the keys stay with the query.
      PostMessageW(hwnd_, kRefocusMessage, 0, 0);
      break;
  }
}

LRESULT FindPopup::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT answer = 0; theme_.Handle(msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi();
      if (!placing_) TakeSuggestedRect(lp);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        Close();
      } else if (edit_) {
        SetFocus(edit_);
      }
      return 0;
    case WM_SETFOCUS:
      if (edit_) SetFocus(edit_);
      return 0;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      m->itemHeight = static_cast<UINT>(ScaleToDpi(kLineHeight, DpiOf(hwnd_)));
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_COMMAND:
      OnCommand(wp);
      return 0;
    case kRefocusMessage:
      if (open_) SetFocus(edit_);
      return 0;
    case kChosenMessage:
      if (Chosen) Chosen(static_cast<int>(wp), static_cast<int>(lp));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace ks::find
