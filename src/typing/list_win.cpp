#include "typing/list_win.h"

#include "contract.h"
#include "text/codepage_win.h"
#include "win/dpi.h"
#include "win/modal.h"

namespace ks::typing {

using namespace ks::win;

bool ListPickerWindow::Create(HWND owner, HICON icon) {
  const int w = ScaleToDpi(kDefaultWidth, SystemDpi()), h = ScaleToDpi(kDefaultHeight, SystemDpi());
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  if (!CreateWin(contract::kListClass, WS_EX_TOOLWINDOW, kCaption,
                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, x, y, w, h,
                 owner, icon))
    return false;
  theme_.Attach(hwnd_);
  return true;
}

bool ListPickerWindow::MakeList() {
  if (list_) return true;
  RECT rc = ClientRectOf(hwnd_);
  list_ = CreateControl(hwnd_, "ListBox", "",
                        LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                        WS_EX_CLIENTEDGE, 0, 0, rc.right, rc.bottom, kListId, nullptr);
  if (!list_) return false;
  ApplyDpi();
  return true;
}

void ListPickerWindow::ApplyDpi() {
  const int dpi = DpiOf(hwnd_);
  UniqueFont font = MakeDesignFont(dpi);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, ScaleToDpi(kItemHeight, dpi));
}

std::optional<std::string> ListPickerWindow::Pick(const std::vector<std::string>& entries) {
  if (!MakeList()) return std::nullopt;
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const std::string& e : entries)
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(e).c_str()));
  modalResult_ = kModalNone;
  if (RunModal(hwnd_, modalResult_) != kModalOk) return std::nullopt;
  // The pick is handed back as the entry it was made from, byte for byte.
  for (const std::string& e : entries)
    if (Wide(e) == selection_) return e;
  return Utf8(selection_);
}

void ListPickerWindow::TakeDoubleClickedLine() {
  LRESULT i = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return;  // nothing selected: no pick, the picker stays open
  LRESULT n = SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
  std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
  n = SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  selection_ = std::move(text);
  modalResult_ = kModalOk;
}

void ListPickerWindow::TakeActivation() {
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT ListPickerWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT answer = 0; theme_.Handle(msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_SIZE:
      if (list_) MoveWindow(list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_DPICHANGED: {
      if (list_) ApplyDpi();
      TakeSuggestedRect(lp);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) {
        TakeActivation();
        if (list_) SetFocus(list_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (list_) SetFocus(list_);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kListId && HIWORD(wp) == LBN_DBLCLK) TakeDoubleClickedLine();
      // Enter and Escape reach here as IDOK / IDCANCEL from the dialog navigation:
      // only a double-click picks, so they do nothing.
      return 0;
    case WM_CLOSE:
      modalResult_ = kModalCancel;
      return 0;
    case WM_EXITSIZEMOVE:
      if (OnMoved) OnMoved();
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ks::typing
