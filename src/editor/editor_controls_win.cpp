// The editor's controls: made at their first use, laid out by the resize rule, and given
// fonts and pictures for the DPI of the display the editor is on.
#include "editor/editor_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "text/codepage_win.h"
#include "win/dpi.h"

namespace ks::editor {

using namespace ks::win;

namespace {

// At 96 DPI, as every size here.
constexpr int kKeyListLineHeight = 16;
constexpr int kKeyListDropHeight = 24 + 8 * kKeyListLineHeight;

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

bool EditorWindow::EnsureControls() {
  if (controlsTried_) return memoEdit_ && keyList_;
  if (!hwnd_) return false;
  controlsTried_ = true;
  CreateControls();
  if (!memoEdit_ || !keyList_) return false;
  // Made at their design places, then laid out for the place and size the editor has by now.
  RECT rc = ClientRectOf(hwnd_);
  FitToSize(rc.right, rc.bottom);
  lastFocus_ = memoEdit_;
  return true;
}

void EditorWindow::CreateControls() {
  font_ = MakeDesignFont(Dpi());
  CreateAtDesignPlaces(font_.get());
  if (!keyList_ || !memoEdit_) return;
  PrepareControls();
}

void EditorWindow::CreateAtDesignPlaces(HFONT f) {
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
  memoEdit_ = CreateControl(
      hwnd_, "Edit", "",
      ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE, 0, 64, 389, 97, kMemoId, f);
  colorButton_ = CreateControl(hwnd_, "Button", "Color", BS_OWNERDRAW | WS_TABSTOP, 0, 232, 0,
                               105, 25, kColorButtonId, f);
  keyList_ = CreateControl(hwnd_, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                           232, 24, 105, kKeyListDropHeight, kKeyListId, f);
}

void EditorWindow::PrepareControls() {
  // A text has no length limit; the control's own would cut a paste and refuse every key
  // in a longer stored text.
  SendMessageW(memoEdit_, EM_SETLIMITTEXT, 0, 0);
  FillShortcutList();
  if (abbreviation_) SendMessageW(abbreviation_, EM_LIMITTEXT, kAbbreviationLimit, 0);

  // Tab order; the memo also lies above the focus sink and the edits above the labels.
  StackInOrder({buttonName_, buttonHint_, memoEdit_, doneButton_, recordButton_, dummy_,
                colorButton_, keyList_, abbreviation_, nameLabel_, hintLabel_,
                abbreviationLabel_, shortcutLabel_});

  // Subclassed through the wide entry: the memo is a Unicode window, so what is typed,
  // pasted or recorded reaches it as UTF-16 whatever the code page.
  SetWindowLongPtrW(memoEdit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  memoProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      memoEdit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorWindow::MemoProc)));

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
  if (!memoEdit_) return;  // controls not made yet are made at the DPI of their day
  // Every control lets go of the old font only once it has the new one.
  UniqueFont font = MakeDesignFont(dpi);
  for (HWND c : {nameLabel_, hintLabel_, shortcutLabel_, dummy_, doneButton_, buttonName_,
                 buttonHint_, recordButton_, memoEdit_, colorButton_, keyList_,
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
  if (!memoEdit_) return;
  const int dpi = Dpi();
  EditorLayout l = LayoutEditor(cw, ch, EditorSizesAt(dpi));
  Place(buttonName_, l.ButtonName);
  Place(colorButton_, l.ColorButton);
  Box keys = l.KeyList;
  keys.Height = ScaleToDpi(kKeyListDropHeight, dpi);
  Place(keyList_, keys);
  Place(buttonHint_, l.ButtonHint);
  Place(shortcutLabel_, l.ShortcutLabel);
  if (abbreviation_) Place(abbreviation_, l.Abbreviation);
  Place(memoEdit_, l.Memo);
  Place(dummy_, l.Dummy);
  Place(recordButton_, l.RecordButton);
  Place(doneButton_, l.DoneButton);
}

}  // namespace ks::editor
