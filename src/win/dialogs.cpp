#include "win/dialogs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "text/codepage_win.h"
#include "win/modal.h"
#include "win/theme.h"
#include "win/window.h"

namespace ks::win {

namespace {

// The bar is topmost: a box without the topmost flag could open behind it.
UINT TopmostFlagFor(HWND owner) {
  if (!owner) return MB_TOPMOST;
  return (GetWindowLongPtrW(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) ? MB_TOPMOST : 0;
}

int Box(HWND owner, const std::string& text, const std::string& title, UINT type) {
  ThreadWindowsDisabled others(owner);
  return MessageBoxW(owner, Wide(text).c_str(), Wide(title).c_str(),
                     type | MB_TASKMODAL | MB_SETFOREGROUND | TopmostFlagFor(owner));
}

// ---- an in-memory dialog template --------------------------------------------

class TemplateWriter {
 public:
  void Word(uint16_t w) {
    bytes_.push_back(static_cast<uint8_t>(w & 0xFF));
    bytes_.push_back(static_cast<uint8_t>(w >> 8));
  }
  void Dword(uint32_t d) {
    Word(static_cast<uint16_t>(d & 0xFFFF));
    Word(static_cast<uint16_t>(d >> 16));
  }
  // Template strings are UTF-16; the texts here are ASCII, the user's texts are set
  // at WM_INITDIALOG.
  void Text(const char* s) {
    for (; *s; ++s) Word(static_cast<uint8_t>(*s));
    Word(0);
  }
  void AlignDword() {
    while (bytes_.size() % 4) bytes_.push_back(0);
  }
  void Item(DWORD style, short x, short y, short cx, short cy, uint16_t id, uint16_t atom,
            const char* text) {
    AlignDword();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);  // extended style
    Word(static_cast<uint16_t>(x));
    Word(static_cast<uint16_t>(y));
    Word(static_cast<uint16_t>(cx));
    Word(static_cast<uint16_t>(cy));
    Word(id);
    Word(0xFFFF);  // predefined class by atom
    Word(atom);
    Text(text);
    Word(0);  // no creation data
  }
  std::vector<uint8_t>& bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

constexpr uint16_t kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;

// Dialog units of the box; the prompt's real width is checked once the font is known.
constexpr short kMargin = 7, kBoxW = 186, kPromptY = 7, kPromptH = 9, kEditY = 19,
                kEditH = 12, kButtonsY = 39, kButtonW = 50, kButtonH = 14, kBoxH = 60;

std::vector<uint8_t> InputTemplate() {
  TemplateWriter t;
  t.Dword(DS_SETFONT | DS_MODALFRAME | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  t.Dword(WS_EX_TOPMOST);
  t.Word(4);  // items
  t.Word(0);
  t.Word(0);
  t.Word(kBoxW);
  t.Word(kBoxH);
  t.Word(0);  // no menu
  t.Word(0);  // standard dialog class
  t.Text("");  // the caption is set at WM_INITDIALOG
  t.Word(8);
  t.Text("MS Shell Dlg");
  const short inner = kBoxW - 2 * kMargin;
  t.Item(SS_LEFT | SS_NOPREFIX, kMargin, kPromptY, inner, kPromptH, kInputPromptId, kStaticAtom,
         "");
  t.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kMargin, kEditY, inner, kEditH,
         kInputEditId, kEditAtom, "");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, kBoxW - kMargin - 2 * kButtonW - 4, kButtonsY, kButtonW,
         kButtonH, IDOK, kButtonAtom, "OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, kBoxW - kMargin - kButtonW, kButtonsY, kButtonW, kButtonH,
         IDCANCEL, kButtonAtom, "Cancel");
  return std::move(t.bytes());
}

// Everything the dialog procedure touches is prepared outside it, so nothing in the
// procedure allocates or throws.
struct InputState {
  const wchar_t* caption;
  const wchar_t* prompt;
  const wchar_t* value;
  bool preselect;
  wchar_t answer[kInputBoxMaxChars + 1];
  bool altHeld = false;  // when the box came up
  WindowTheme theme;     // dark when the apps are
};

// A dialog procedure answers the colour messages with the brush itself, every other one
// through DWLP_MSGRESULT.
bool Themed(HWND dlg, UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  auto* s = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
  LRESULT answer = 0;
  if (!s || !s->theme.Handle(msg, wp, lp, answer)) return false;
  const bool color = msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
  if (!color) SetWindowLongPtrW(dlg, DWLP_MSGRESULT, answer);
  result = color ? static_cast<INT_PTR>(answer) : TRUE;
  return true;
}

void MoveBy(HWND dlg, int id, int dx, int dy, int dw) {
  HWND c = GetDlgItem(dlg, id);
  RECT r;
  GetWindowRect(c, &r);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(c, r.left + dx, r.top + dy, r.right - r.left + dw, r.bottom - r.top, FALSE);
}

// A prompt longer than the box widens the box rather than being cut off.
void FitPrompt(HWND dlg, const wchar_t* prompt) {
  HWND p = GetDlgItem(dlg, kInputPromptId);
  HDC dc = GetDC(p);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0)));
  RECT need{0, 0, 0, 0};
  DrawTextW(dc, prompt, -1, &need, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(p, dc);
  RECT have;
  GetClientRect(p, &have);
  int extra = need.right - have.right;
  int screenRoom = GetSystemMetrics(SM_CXSCREEN) * 9 / 10;
  RECT w;
  GetWindowRect(dlg, &w);
  extra = std::min<int>(extra, screenRoom - (w.right - w.left));
  if (extra <= 0) return;
  MoveBy(dlg, kInputPromptId, 0, 0, extra);
  MoveBy(dlg, kInputEditId, 0, 0, extra);
  MoveBy(dlg, IDOK, extra, 0, 0);
  MoveBy(dlg, IDCANCEL, extra, 0, 0);
  SetWindowPos(dlg, nullptr, 0, 0, w.right - w.left + extra, w.bottom - w.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterOnScreen(HWND dlg) {
  RECT w;
  GetWindowRect(dlg, &w);
  int x = (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) / 2;
  SetWindowPos(dlg, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE);
}

INT_PTR InputMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (INT_PTR themed = 0; Themed(dlg, msg, wp, lp, themed)) return themed;
  switch (msg) {
    case WM_INITDIALOG: {
      auto* s = reinterpret_cast<InputState*>(lp);
      SetWindowLongPtrW(dlg, DWLP_USER, lp);
      s->altHeld = GetAsyncKeyState(VK_MENU) < 0;
      SetWindowTextW(dlg, s->caption);
      SetDlgItemTextW(dlg, kInputPromptId, s->prompt);
      HWND edit = GetDlgItem(dlg, kInputEditId);
      SendMessageW(edit, EM_LIMITTEXT, kInputBoxMaxChars, 0);
      SetWindowTextW(edit, s->value);
      FitPrompt(dlg, s->prompt);
      s->theme.Attach(dlg);
      CenterOnScreen(dlg);
      SetForegroundWindow(dlg);
      SetFocus(edit);
      if (s->preselect) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
      } else {
        int end = GetWindowTextLengthW(edit);
        SendMessageW(edit, EM_SETSEL, end, end);
      }
      return FALSE;  // the focus has been placed
    }
    case WM_SYSCOMMAND: {
      // Asked for by a shortcut key, the box gets the release of its Alt, which alone
      // would put the box into menu mode and take the first key the user types.
      auto* s = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
      if (s && s->altHeld && (wp & 0xFFF0) == SC_KEYMENU && lp == 0) {
        s->altHeld = false;
        return TRUE;
      }
      break;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) {
        auto* s = reinterpret_cast<InputState*>(GetWindowLongPtrW(dlg, DWLP_USER));
        GetDlgItemTextW(dlg, kInputEditId, s->answer, kInputBoxMaxChars + 1);
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK InputProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  return Guarded([&] { return InputMessage(dlg, msg, wp, lp); }, [] { return INT_PTR{FALSE}; });
}

}  // namespace

void ShowMessage(HWND owner, const std::string& text) { Box(owner, text, contract::kTitle, MB_OK); }

bool Confirm(HWND owner, const std::string& text, const std::string& title) {
  return Box(owner, text, title, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::optional<std::string> InputQuery(HWND owner, const std::string& caption,
                                      const std::string& prompt, const std::string& value,
                                      bool preselect) {
  std::vector<uint8_t> tpl = InputTemplate();
  const std::wstring wideCaption = Wide(caption), widePrompt = Wide(prompt),
                     wideValue = Wide(value);
  InputState state{wideCaption.c_str(), widePrompt.c_str(), wideValue.c_str(), preselect, {}};
  HWND previous = GetActiveWindow();
  INT_PTR r;
  {
    ThreadWindowsDisabled others(owner);
    r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                reinterpret_cast<LPCDLGTEMPLATEW>(tpl.data()), owner, &InputProc,
                                reinterpret_cast<LPARAM>(&state));
  }
  if (!owner && previous && IsWindow(previous) && IsWindowVisible(previous))
    SetActiveWindow(previous);
  if (r != IDOK) return std::nullopt;
  std::wstring_view answer(state.answer);
  // The answer is cut at the box's length; half a character at the cut is no character.
  if (!answer.empty() && answer.back() >= 0xD800 && answer.back() <= 0xDBFF)
    answer.remove_suffix(1);
  // Left as it was, the text comes back as it was given, byte for byte.
  if (answer == wideValue) return value;
  return Utf8(answer);
}

}  // namespace ks::win
