#include "win/paint.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include "text/codepage_win.h"

namespace ks::win {

COLORREF ColorToRgb(int32_t color) {
  if (color < 0) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

void DrawCaptionButton(const DRAWITEMSTRUCT& d, HFONT font, COLORREF color,
                       const std::string& text) {
  RECT rc = d.rcItem;
  const bool pushed = d.itemState & ODS_SELECTED;
  const bool disabled = d.itemState & ODS_DISABLED;
  bool themedDone = false;
  if (HTHEME theme = OpenThemeData(d.hwndItem, L"BUTTON")) {
    int state = disabled ? PBS_DISABLED : pushed ? PBS_PRESSED : PBS_NORMAL;
    themedDone = SUCCEEDED(DrawThemeBackground(theme, d.hDC, BP_PUSHBUTTON, state, &rc, nullptr));
    CloseThemeData(theme);
  }
  if (!themedDone) {
    FillRect(d.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(d.hDC, &rc, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  }
  DrawCaptionOnFace(d, font, color, GetSysColor(COLOR_GRAYTEXT), text);
}

void DrawCaptionOnFace(const DRAWITEMSTRUCT& d, HFONT font, COLORREF color, COLORREF grayText,
                       const std::string& text, COLORREF focusColor) {
  RECT tr = d.rcItem;
  InflateRect(&tr, -3, -2);
  if (d.itemState & ODS_SELECTED) OffsetRect(&tr, 1, 1);
  HGDIOBJ old = SelectObject(d.hDC, font);
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, d.itemState & ODS_DISABLED ? grayText : color);
  const std::wstring wide = Wide(text);
  DrawTextW(d.hDC, wide.c_str(), static_cast<int>(wide.size()), &tr,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  SelectObject(d.hDC, old);
  if (d.itemState & ODS_FOCUS) {
    RECT focus = d.rcItem;
    InflateRect(&focus, -4, -4);
    if (focusColor != CLR_INVALID) SetTextColor(d.hDC, focusColor);
    DrawFocusRect(d.hDC, &focus);
  }
}

}  // namespace ks::win
