#include "editor/ksm_win.h"

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

// At 96 DPI, as every size here.
constexpr int kKeyListLineHeight = 16;
constexpr int kKeyListDropHeight = 24 + 8 * kKeyListLineHeight;

// Colours are stored as the bar keeps them: negative values name a system colour.
// The colour dialog remembers the user's custom colours for the whole run.
COLORREF g_customColors[16] = {};

void Place(HWND h, const Box& b) {
  SetWindowPos(h, nullptr, b.Left, b.Top, b.Width, b.Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pictures beside "Done" (a green tick) and "Record" (a red dot), 16 x 16 at 96 DPI,
// drawn here at the size they are shown so that the program carries no image files; the
// button greys them when disabled.
HICON MakeGlyph(bool tick, int dpi) {
  const int kSize = ScaleToDpi(16, dpi);
  auto px = [&](int v) { return MulDiv(v, kSize, 16); };
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP color = CreateCompatibleBitmap(screen, kSize, kSize);
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);
  RECT all{0, 0, kSize, kSize};

  // Mask: white is transparent, black is painted.
  HGDIOBJ oldBmp = SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HPEN maskPen = CreatePen(PS_SOLID, px(3), RGB(0, 0, 0));
  HGDIOBJ oldPen = SelectObject(dc, maskPen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  const POINT tickPts[] = {{px(3), px(8)}, {px(6), px(11)}, {px(12), px(4)}};
  if (tick)
    Polyline(dc, tickPts, 3);
  else
    Ellipse(dc, px(3), px(3), px(13), px(13));

  // Colour: the picture on black, so the mask's transparent part stays untouched.
  SelectObject(dc, color);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const COLORREF ink = tick ? RGB(0, 128, 0) : RGB(200, 0, 0);
  HPEN pen = CreatePen(PS_SOLID, px(3), ink);
  HBRUSH brush = CreateSolidBrush(ink);
  SelectObject(dc, pen);
  SelectObject(dc, brush);
  if (tick)
    Polyline(dc, tickPts, 3);
  else
    Ellipse(dc, px(3), px(3), px(13), px(13));

  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldBmp);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(maskPen);
  DeleteDC(dc);
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

std::wstring WideText(HWND h) {
  std::wstring text(static_cast<size_t>(std::max(GetWindowTextLengthW(h), 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextW(h, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

// Backspace (backwards) or Delete next to an emoji in a one-line field: both of its
// UTF-16 halves go, by the memo's rule, where the control would take only one.
bool TakeWideCharacter(HWND edit, bool backwards) {
  DWORD a = 0, b = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  const std::wstring text = WideText(edit);
  const MemoText before = MemoFromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()), a, b);
  const std::optional<MemoText> after = RemoveWideCharacter(before, backwards);
  if (!after) return false;
  const size_t from = SelectionInUtf16(*after).Start;
  SendMessageW(edit, EM_SETSEL, from, from + 2);
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
  return true;
}

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

LRESULT CALLBACK FieldProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  return Guarded(
      [&]() -> LRESULT {
        if (((msg == WM_CHAR && wp == VK_BACK) || (msg == WM_KEYDOWN && wp == VK_DELETE)) &&
            TakeWideCharacter(h, msg == WM_CHAR))
          return 0;
        if (msg == WM_NCDESTROY) RemoveWindowSubclass(h, &FieldProc, 1);
        return DefSubclassProc(h, msg, wp, lp);
      },
      [&] { return DefSubclassProc(h, msg, wp, lp); });
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
  return true;
}

bool EditorWindow::EnsureControls() {
  if (controlsTried_) return ksmText_ && keyList_;
  if (!hwnd_) return false;
  controlsTried_ = true;
  CreateControls();
  if (!ksmText_ || !keyList_) return false;
  // Made at their design places, then laid out for the place and size the editor has by now.
  RECT rc = ClientRectOf(hwnd_);
  FitToSize(rc.right, rc.bottom);
  lastFocus_ = ksmText_;
  return true;
}

void EditorWindow::CreateControls() {
  font_ = MakeFormFont(Dpi());
  HFONT f = font_.get();
  // Creation order and design places; the resize rule moves most of them at once.
  nameLabel_ = CreateControl(hwnd_, "Static", "Button Name:", SS_LEFT | SS_NOPREFIX, 0,
                             kNameLabelBox.Left, kNameLabelBox.Top, kNameLabelBox.Width,
                             kNameLabelBox.Height, kNameLabelId, f);
  hintLabel_ = CreateControl(hwnd_, "Static", "Button Hint:", SS_LEFT | SS_NOPREFIX, 0,
                             kHintLabelBox.Left, kHintLabelBox.Top, kHintLabelBox.Width,
                             kHintLabelBox.Height, kHintLabelId, f);
  abbreviationLabel_ = CreateControl(
      hwnd_, "Static", "Abbreviation:", SS_LEFT | SS_NOPREFIX, 0, kAbbreviationLabelBox.Left,
      kAbbreviationLabelBox.Top, kAbbreviationLabelBox.Width, kAbbreviationLabelBox.Height,
      kAbbreviationLabelId, f);
  shortcutLabel_ = CreateControl(hwnd_, "Static", "Shortcut:", SS_RIGHT | SS_NOPREFIX, 0, 0, 0,
                                 0, 0, kShortcutLabelId, f);
  dummy_ = CreateControl(hwnd_, "Button", "Dummy", BS_PUSHBUTTON | WS_TABSTOP, 0, 256, 168, 75,
                         25, kDummyId, f);
  doneButton_ = CreateControl(hwnd_, "Button", "Done", BS_PUSHBUTTON | WS_TABSTOP, 0, 168, 168,
                              75, 25, kDoneButtonId, f);
  buttonName_ = CreateControl(hwnd_, "Edit", "", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
                              WS_EX_CLIENTEDGE, 104, 0, 121, 24, kButtonNameId, f);
  buttonHint_ = CreateControl(hwnd_, "Edit", "", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
                              WS_EX_CLIENTEDGE, 104, 24, 121, 24, kButtonHintId, f);
  abbreviation_ = CreateControl(hwnd_, "Edit", "", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP,
                                WS_EX_CLIENTEDGE, 100, 50, 100, 24, kAbbreviationId, f);
  recordButton_ = CreateControl(hwnd_, "Button", "Record", BS_PUSHBUTTON | WS_TABSTOP, 0, 72,
                                168, 83, 25, kRecordButtonId, f);
  ksmText_ = CreateControl(
      hwnd_, "Edit", "",
      ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE, 0, 64, 389, 97, kKsmTextId, f);
  colorButton_ = CreateControl(hwnd_, "Button", "Color", BS_OWNERDRAW | WS_TABSTOP, 0, 232, 0,
                               105, 25, kColorButtonId, f);
  keyList_ = CreateControl(hwnd_, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                           232, 24, 105, kKeyListDropHeight, kKeyListId, f);
  if (!keyList_ || !ksmText_) return;
  // A text has no length limit; the control's own would cut a paste and refuse every key
  // in a longer stored text.
  SendMessageW(ksmText_, EM_SETLIMITTEXT, 0, 0);
  FillShortcutList();
  if (abbreviation_) SendMessageW(abbreviation_, EM_LIMITTEXT, kAbbreviationLimit, 0);

  // Tab order; the memo also lies above the focus sink and the edits above the labels.
  StackInOrder({buttonName_, buttonHint_, ksmText_, doneButton_, recordButton_, dummy_,
                colorButton_, keyList_, abbreviation_, nameLabel_, hintLabel_,
                abbreviationLabel_, shortcutLabel_});

  // Subclassed through the wide entry: the memo is a Unicode window, so what is typed,
  // pasted or recorded reaches it as UTF-16 whatever the code page.
  SetWindowLongPtrW(ksmText_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  memoProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      ksmText_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorWindow::MemoProc)));

  SetWindowSubclass(buttonName_, &FieldProc, 1, 0);
  SetWindowSubclass(buttonHint_, &FieldProc, 1, 0);
  if (abbreviation_) SetWindowSubclass(abbreviation_, &FieldProc, 1, 0);

  DecorateButtons();
}

void EditorWindow::FillShortcutList() {
  for (int32_t k = 0; k < kShortcutCount; ++k) {
    const std::wstring item = Wide(ks::ShortcutItemText(k));
    SendMessageW(keyList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  SendMessageA(keyList_, CB_SETCURSEL, 0, 0);
}

// The fonts, places and pictures for the editor's DPI, and the hints.
void EditorWindow::DecorateButtons() {
  ApplyDpi();

  if (tips_.Create(hwnd_)) {
    tips_.Add(doneButton_, kDoneHint);
    tips_.Add(recordButton_, kRecordHint);
    tips_.Add(keyList_, "Shortcut Key");
  }
}

int EditorWindow::Dpi() const { return DpiOf(hwnd_); }

void EditorWindow::ApplyDpi() {
  const int dpi = Dpi();
  ScaleColorFont(dpi);
  if (!ksmText_) return;  // controls not made yet are made at the DPI of their day
  // Every control lets go of the old font only once it has the new one.
  UniqueFont font = MakeFormFont(dpi);
  for (HWND c : {nameLabel_, hintLabel_, shortcutLabel_, dummy_, doneButton_, buttonName_,
                 buttonHint_, recordButton_, ksmText_, colorButton_, keyList_,
                 abbreviationLabel_, abbreviation_})
    if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);
  Place(nameLabel_, ScaleBox(kNameLabelBox, dpi));
  Place(hintLabel_, ScaleBox(kHintLabelBox, dpi));
  if (abbreviationLabel_) Place(abbreviationLabel_, ScaleBox(kAbbreviationLabelBox, dpi));
  SendMessageA(keyList_, CB_SETITEMHEIGHT, 0, ScaleToDpi(kKeyListLineHeight, dpi));

  decltype(doneGlyph_) done(MakeGlyph(true, dpi)), record(MakeGlyph(false, dpi));
  SendMessageA(doneButton_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(done.get()));
  SendMessageA(recordButton_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(record.get()));
  doneGlyph_ = std::move(done);
  recordGlyph_ = std::move(record);
}

void EditorWindow::ScaleColorFont(int dpi) {
  if (!colorFont_ || colorFontDpi_ == dpi) return;
  LOGFONTW lf{};  // wide, so a face name in any script survives the rescale
  GetObjectW(colorFont_.get(), sizeof lf, &lf);
  lf.lfHeight = MulDiv(lf.lfHeight, dpi, colorFontDpi_);
  colorFont_.reset(CreateFontIndirectW(&lf));
  colorFontDpi_ = dpi;
}

void EditorWindow::FitToSize(int cw, int ch) {
  if (!ksmText_) return;
  const int dpi = Dpi();
  KsmLayout l = LayoutKsm(cw, ch, KsmSizesAt(dpi));
  Place(buttonName_, l.ButtonName);
  Place(colorButton_, l.ColorButton);
  Box keys = l.KeyList;
  keys.Height = ScaleToDpi(kKeyListDropHeight, dpi);
  Place(keyList_, keys);
  Place(buttonHint_, l.ButtonHint);
  Place(shortcutLabel_, l.ShortcutLabel);
  if (abbreviation_) Place(abbreviation_, l.Abbreviation);
  Place(ksmText_, l.KsmText);
  Place(dummy_, l.Dummy);
  Place(recordButton_, l.RecordButton);
  Place(doneButton_, l.DoneButton);
}

void EditorWindow::TakeActivation() {
  std::string caption = GetText(hwnd_);
  if (caption == kEditCaption)
    SetFocus(ksmText_);
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

std::string EditorWindow::MemoText() { return EnsureControls() ? GetText(ksmText_) : std::string(); }

void EditorWindow::SetMemoText(const std::string& text) {
  if (!EnsureControls()) return;
  changeSeen_ = false;
  SetText(ksmText_, text);
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
  win::DrawCaptionButton(d, colorFont_ ? colorFont_.get() : font_.get(), win::ColorToRgb(color_),
                         "Color");
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
  if (id == kKsmTextId && code == EN_CHANGE) {
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
  switch (msg) {
    case WM_SIZE:
      FitToSize(LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_DPICHANGED: {
      // On a display of another DPI: fonts and pictures for it, the place the system
      // suggests, and the layout rule at the new DPI through the resize.
      ApplyDpi();
      const RECT* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      RECT c = ClientRectOf(hwnd_);
      FitToSize(c.right, c.bottom);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      const KsmDesignSizes sizes = KsmSizesAt(Dpi());
      SIZE min = OuterSizeForClient(hwnd_, KsmMinClientWidth(sizes), KsmMinClientHeight(sizes));
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
      ksmText_ = nullptr;
      return CallWindowProcW(original, h, msg, wp, lp);
    }
  }
  return CallWindowProcW(memoProc_, h, msg, wp, lp);
}

}  // namespace ks::editor
