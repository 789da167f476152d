#include "editor/editor_window_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <vector>

#include "contract.h"
#include "text/codepage_win.h"
#include "win/common_dialogs.h"
#include "win/dialogs.h"
#include "win/dpi.h"
#include "win/modal.h"
#include "win/paint.h"

namespace ks::editor {

using namespace ks::win;

namespace {

// Colours are stored as the bar keeps them: negative values name a system colour.
// The colour dialog remembers the user's custom colours for the whole run.
COLORREF g_customColors[16] = {};

// The clipboard's text, or nothing when it holds none or cannot be opened.
std::optional<std::string> ClipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return std::nullopt;
  struct Closer {
    ~Closer() { CloseClipboard(); }
  } closer;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (!text) return std::nullopt;
  std::string out =
      Utf8(std::wstring_view(text, wcsnlen(text, GlobalSize(data) / sizeof(wchar_t))));
  GlobalUnlock(data);
  return out;
}

}  // namespace

EditorWindow::~EditorWindow() {
  // Destroyed here rather than by the base, so that WM_DESTROY still reaches this class.
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool EditorWindow::Create(HWND owner, HICON icon) {
  const int w = ScaleToDpi(kDefaultWidth, SystemDpi()), h = ScaleToDpi(kDefaultHeight, SystemDpi());
  int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  if (!CreateWin(contract::kEditorClass, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kInitialCaption,
                 WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, x, y, w,
                 h, owner, icon))
    return false;
  theme_.Attach(hwnd_);
  return true;
}

void EditorWindow::TakeActivation() {
  std::string caption = GetText(hwnd_);
  if (caption == kEditCaption)
    SetFocus(memoEdit_);
  else if (caption == kNewCaption)
    SetFocus(buttonName_);
}

bool EditorWindow::ShowModal(const std::string& caption, Fields& f) {
  if (!EnsureControls()) return false;
  SetText(hwnd_, caption);
  SetText(buttonName_, f.Caption);
  SetText(buttonHint_, f.Description);
  SetMemoText(ks::MemoShown(f.String));
  SetColor(f.Color);
  SetShortcut(f.Shortcut);
  if (abbreviation_) SetText(abbreviation_, f.Abbreviation);
  modalResult_ = kModalNone;
  activeInApp_ = false;
  memoChars_.Reset();
  int result = RunModal(hwnd_, modalResult_);
  // The end of a showing always counts as a deactivation, even when the user had
  // switched to another application and no window of ours took over.
  if (activeInApp_) LoseActivation();
  if (result != kModalOk) return false;
  // The controls hold any text, so what they show is what goes back: a field left alone
  // is the field as it came (the memo's with its line breaks and tabs as codes).
  f.Caption = GetText(buttonName_);
  f.Description = GetText(buttonHint_);
  f.String = ks::MemoStored(MemoText());
  f.Color = color_;
  f.Shortcut = shortcut();
  if (abbreviation_) f.Abbreviation = GetText(abbreviation_);
  return true;
}

void EditorWindow::LoseActivation() {
  activeInApp_ = false;
  if (OnDeactivate) OnDeactivate(*this);
}

void EditorWindow::SetColorButtonFont(const LOGFONTW& font) {
  // The template comes at the system DPI; the editor may be on a display of another.
  LOGFONTW lf = font;
  colorFontDpi_ = Dpi();
  lf.lfHeight = MulDiv(lf.lfHeight, colorFontDpi_, SystemDpi());
  colorFont_.reset(CreateFontIndirectW(&lf));
  if (colorButton_) InvalidateRect(colorButton_, nullptr, TRUE);
}

std::string EditorWindow::MemoText() { return EnsureControls() ? GetText(memoEdit_) : std::string(); }

void EditorWindow::SetMemoText(const std::string& text) {
  if (!EnsureControls()) return;
  changeSeen_ = false;
  SetText(memoEdit_, text);
  // A multi-line edit does not report text set from outside; run the handler as if it had.
  if (!changeSeen_) RunChange();
}

void EditorWindow::RunChange() {
  changeSeen_ = true;
  if (memoEvents_.Change) memoEvents_.Change(*this);
}

void EditorWindow::SetColor(int32_t color) {
  color_ = color;
  if (colorButton_) InvalidateRect(colorButton_, nullptr, TRUE);
}

int32_t EditorWindow::shortcut() {
  if (!EnsureControls()) return shortcutIn_;
  LRESULT i = SendMessageA(keyList_, CB_GETCURSEL, 0, 0);
  // A value the list cannot show (a hand-edited settings file) passes through as it came.
  return i == CB_ERR ? shortcutIn_ : static_cast<int32_t>(i);
}

void EditorWindow::SetShortcut(int32_t index) {
  shortcutIn_ = index;
  shortcutShown_ = index;
  SelectShortcut(index);
}

void EditorWindow::SelectShortcut(int32_t index) {
  if (!EnsureControls()) return;
  bool shown = index >= 0 && index < kShortcutCount;
  SendMessageA(keyList_, CB_SETCURSEL, shown ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1),
               0);
}

void EditorWindow::ShortcutPicked() {
  const int32_t picked = shortcut();
  ks::ShortcutChoice choice = OnShortcutChosen ? OnShortcutChosen(picked) : ks::ShortcutChoice{};
  if (choice.Refused)
    SelectShortcut(shortcutShown_);
  else
    shortcutShown_ = picked;
  if (!choice.Message.empty()) ShowMessage(hwnd_, choice.Message);
}

void EditorWindow::FinishEditing() {
  // A key another button carries stays with that button: the user picks another one.
  if (OnDoneRefusal) {
    if (std::optional<std::string> refusal = OnDoneRefusal(shortcut())) {
      ShowMessage(hwnd_, *refusal);
      if (keyList_) SetFocus(keyList_);
      return;
    }
  }
  // So does an abbreviation that is another button's, or that no one could type.
  if (OnAbbreviationRefusal && abbreviation_) {
    if (std::optional<std::string> refusal = OnAbbreviationRefusal(GetText(abbreviation_))) {
      ShowMessage(hwnd_, *refusal);
      SetFocus(abbreviation_);
      SendMessageW(abbreviation_, EM_SETSEL, 0, -1);
      return;
    }
  }
  modalResult_ = kModalOk;  // the only way that confirms
}

void EditorWindow::PickCaptionColor() {
  if (!EnsureControls()) return;
  SetFocus(dummy_);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = hwnd_;
  cc.rgbResult = win::ColorToRgb(color_);
  cc.lpCustColors = g_customColors;
  cc.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (win::PickColor(cc)) SetColor(static_cast<int32_t>(cc.rgbResult & 0xFFFFFF));
}

void EditorWindow::DrawColorButton(const DRAWITEMSTRUCT& d) {
  win::DrawSchemeCaptionButton(theme_.scheme(), d, colorFont_ ? colorFont_.get() : font_.get(),
                               win::ColorToRgb(color_), "Color");
}

void EditorWindow::OnActivate(WPARAM wp, LPARAM lp) {
  if (LOWORD(wp) != WA_INACTIVE) {
    activeInApp_ = true;
    HWND f = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                     IsWindowVisible(lastFocus_)
                 ? lastFocus_
                 : dummy_;
    SetFocus(f);
    TakeActivation();
    return;
  }
  HWND f = GetFocus();
  if (f && IsChild(hwnd_, f)) lastFocus_ = f;
  // Switching to another application does not count; another window of this program
  // taking over does.
  if (win::IsOwnWindow(reinterpret_cast<HWND>(lp)) && activeInApp_) LoseActivation();
}

void EditorWindow::OnCommand(WPARAM wp) {
  const int id = LOWORD(wp);
  const int code = HIWORD(wp);
  if (id == kMemoId && code == EN_CHANGE) {
    RunChange();
  } else if (id == kKeyListId && code == CBN_SELCHANGE) {
    ShortcutPicked();
  } else if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
    if (id == kDoneButtonId) {
      FinishEditing();
    } else if (id == kRecordButtonId) {
      if (OnRecordToggled) OnRecordToggled(*this);
    } else if (id == kColorButtonId) {
      PickCaptionColor();
    }
  }
  // Enter and Escape arrive as IDOK / IDCANCEL from the dialog navigation; neither closes
  // the editor.
}

LRESULT EditorWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT answer = 0; theme_.Handle(msg, wp, lp, answer)) return answer;
  switch (msg) {
    case WM_SIZE:
      FitToSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_DPICHANGED: {
      // On a display of another DPI: fonts and pictures for it, the place the system
      // suggests, and the layout rule at the new DPI through the resize.
      ApplyDpi();
      TakeSuggestedRect(lp);
      RECT c = ClientRectOf(hwnd_);
      FitToSize(c.right, c.bottom);
      return 0;
    }
    case WM_EXITSIZEMOVE:
      if (OnMoved) OnMoved();
      break;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      const EditorDesignSizes sizes = EditorSizesAt(Dpi());
      SIZE min = OuterSizeForClient(hwnd_, EditorMinClientWidth(sizes), EditorMinClientHeight(sizes));
      mm->ptMinTrackSize.x = min.cx;
      mm->ptMinTrackSize.y = min.cy;
      return 0;
    }
    case WM_ACTIVATE:
      OnActivate(wp, lp);
      return 0;
    case WM_COMMAND:
      OnCommand(wp);
      return 0;
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (d->CtlID != kColorButtonId) break;
      DrawColorButton(*d);
      return TRUE;
    }
    case WM_CLOSE:
      modalResult_ = kModalCancel;
      return 0;
    case WM_DESTROY:
      if (OnDestroy) OnDestroy(*this);
      return 0;
  }
  return Default(msg, wp, lp);
}

LRESULT CALLBACK EditorWindow::MemoProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<EditorWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self || !self->memoProc_) return DefWindowProcW(h, msg, wp, lp);
  WNDPROC original = self->memoProc_;
  return Guarded([&] { return self->OnMemoMessage(h, msg, wp, lp); },
                 [&] { return CallWindowProcW(original, h, msg, wp, lp); });
}

LRESULT EditorWindow::OnMemoMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      // A multi-line edit run through the dialog navigation answers Esc by closing its
      // parent, which would throw the user's edits away; only Done, the close box and
      // Alt+F4 leave the editor. While recording, an Esc is meant for the other program.
      if (wp == VK_ESCAPE) return 0;
      if (memoEvents_.KeyDown && memoEvents_.KeyDown(*this, wp)) return 0;
      break;
    case WM_CHAR: {
      if (wp == 27) return 0;  // the Esc key's character inserts nothing either
      // A character beyond the Basic Multilingual Plane comes in two messages; the first
      // half waits, so that neither the handlers nor the change rule ever see half of one.
      WPARAM ch = memoChars_.Take(static_cast<char16_t>(wp));
      if (ch == 0) return 0;
      if (memoEvents_.KeyPress && memoEvents_.KeyPress(*this, ch)) return 0;
      if (ch < 0x10000) return CallWindowProcW(memoProc_, h, WM_CHAR, ch, lp);
      const wchar_t pair[] = {static_cast<wchar_t>(0xD800 + ((ch - 0x10000) >> 10)),
                              static_cast<wchar_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)), 0};
      return CallWindowProcW(memoProc_, h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pair));
    }
    case WM_KEYUP:
      if (memoEvents_.KeyUp) memoEvents_.KeyUp(*this, wp);
      break;
    case WM_PASTE:
      if (memoEvents_.Paste) {
        std::optional<std::string> text = ClipboardText(h);
        if (text && memoEvents_.Paste(*this, *text)) return 0;
      }
      break;
    case WM_NCDESTROY: {
      WNDPROC original = memoProc_;
      SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      SetWindowLongPtrW(h, GWLP_USERDATA, 0);
      memoProc_ = nullptr;
      memoEdit_ = nullptr;
      return CallWindowProcW(original, h, msg, wp, lp);
    }
  }
  return CallWindowProcW(memoProc_, h, msg, wp, lp);
}

}  // namespace ks::editor
