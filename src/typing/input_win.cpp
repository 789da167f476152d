#include "typing/input_win.h"

#include <algorithm>

#include "contract.h"
#include "text/codepage_win.h"
#include "win/controls.h"
#include "win/dpi.h"
#include "win/modal.h"

namespace ks::typing {

using namespace ks::win;

namespace {

// Sizes at 96 DPI.
constexpr int kMargin = 8;
constexpr int kLabelWidth = 110;
constexpr int kEditWidth = 220;
constexpr int kRowHeight = 23;
constexpr int kRowGap = 6;
constexpr int kButtonWidth = 75;

}  // namespace

bool InputWindow::MakeControls(const std::vector<InputQuestionField>& fields) {
  if (!hwnd_) {
    if (!CreateWin(contract::kInputClass, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, contract::kTitle,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100, owner_))
      return false;
    theme_.Attach(hwnd_);
  }
  for (HWND c : controls_) DestroyWindow(c);
  controls_.clear();
  edits_.clear();
  focus_ = nullptr;
  // On the pointer's display first, so that the sizes are its DPI's.
  POINT at{};
  GetCursorPos(&at);
  SetWindowPos(hwnd_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int dpi = DpiOf(hwnd_);
  auto px = [dpi](int size) { return ScaleToDpi(size, dpi); };
  font_ = MakeDesignFont(dpi);
  HFONT font = font_.get();
  int y = px(kMargin);
  for (std::size_t k = 0; k < fields.size(); ++k) {
    // SS_NOPREFIX: a name with "&" shows it.
    controls_.push_back(CreateControl(hwnd_, "Static", fields[k].Name.c_str(),
                                      SS_NOPREFIX | SS_CENTERIMAGE, 0, px(kMargin), y,
                                      px(kLabelWidth), px(kRowHeight), -1, font));
    HWND edit = CreateControl(hwnd_, "Edit", fields[k].Answer.c_str(), ES_AUTOHSCROLL | WS_TABSTOP,
                              WS_EX_CLIENTEDGE, px(kMargin + kLabelWidth + kMargin), y,
                              px(kEditWidth), px(kRowHeight), kFirstEditId + static_cast<int>(k),
                              font);
    controls_.push_back(edit);
    edits_.push_back(edit);
    y += px(kRowHeight + kRowGap);
  }
  const int width = px(kMargin + kLabelWidth + kMargin + kEditWidth + kMargin);
  const int cancelX = width - px(kMargin + kButtonWidth);
  controls_.push_back(CreateControl(hwnd_, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
                                    cancelX - px(kMargin + kButtonWidth), y, px(kButtonWidth),
                                    px(kRowHeight), IDOK, font));
  controls_.push_back(CreateControl(hwnd_, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0,
                                    cancelX, y, px(kButtonWidth), px(kRowHeight), IDCANCEL, font));
  if (std::find(controls_.begin(), controls_.end(), nullptr) != controls_.end()) return false;
  PlaceAtPointer(width, y + px(kRowHeight + kMargin));
  return true;
}

void InputWindow::PlaceAtPointer(int clientW, int clientH) {
  const SIZE outer = OuterSizeForClient(hwnd_, clientW, clientH);
  POINT at{};
  GetCursorPos(&at);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
  // Whole on the display the pointer is on, as near the pointer as it fits.
  const RECT& work = info.rcWork;
  const int x = std::max<int>(work.left, std::min<int>(at.x, work.right - outer.cx));
  const int y = std::max<int>(work.top, std::min<int>(at.y, work.bottom - outer.cy));
  SetWindowPos(hwnd_, HWND_TOPMOST, x, y, outer.cx, outer.cy, SWP_NOACTIVATE);
}

std::optional<std::vector<std::string>> InputWindow::Ask(
    const std::vector<InputQuestionField>& fields) {
  if (fields.empty() || !MakeControls(fields)) return std::nullopt;
  modalResult_ = kModalNone;
  if (RunModal(hwnd_, modalResult_) != kModalOk) return std::nullopt;
  std::vector<std::string> answers;
  for (HWND edit : edits_) answers.push_back(GetText(edit));
  return answers;
}

void InputWindow::Activated(bool active) {
  if (!active) {
    focus_ = GetFocus();
    return;
  }
  // The first field when the window opens, with its answer selected: what the user types
  // replaces it.
  HWND to = focus_ && IsChild(hwnd_, focus_) ? focus_ : edits_.empty() ? nullptr : edits_[0];
  if (!to) return;
  SetFocus(to);
  if (!focus_) SendMessageW(to, EM_SETSEL, 0, -1);
}

LRESULT InputWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT answer = 0; theme_.Handle(msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_ACTIVATE:
      Activated(LOWORD(wp) != WA_INACTIVE);
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
      // Enter in a field and Esc come here as IDOK and IDCANCEL from the dialog navigation.
      if (LOWORD(wp) == IDOK) modalResult_ = kModalOk;
      if (LOWORD(wp) == IDCANCEL) modalResult_ = kModalCancel;
      return 0;
    case WM_CLOSE:
      modalResult_ = kModalCancel;
      return 0;
  }
  return Default(msg, wp, lp);
}

}  // namespace ks::typing
