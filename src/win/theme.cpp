#include "win/theme.h"

#include <uxtheme.h>

#include "common/contrast.h"
#include "text/codepage_win.h"
#include "win/paint.h"

namespace ks::win {

namespace {

// Windows' own dark tones.
constexpr Palette kDark{RGB(32, 32, 32),  RGB(240, 240, 240), RGB(25, 25, 25),
                        RGB(51, 51, 51),  RGB(112, 112, 112), RGB(150, 150, 150),
                        RGB(0, 95, 184),  RGB(255, 255, 255)};

// DWMWA_USE_IMMERSIVE_DARK_MODE; builds of Windows 10 before 20H1 knew it as 19.
constexpr DWORD kDarkModeAttribute = 20, kDarkModeAttributeBefore20H1 = 19;

// Asked of dwmapi when it is there: Windows 7 without composition and Wine may lack it.
void DarkTitleBar(HWND h, bool dark) {
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  static const auto set = [] {
    HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return dwm ? reinterpret_cast<SetAttribute>(
                     reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")))
               : nullptr;
  }();
  if (!set) return;
  const BOOL on = dark;
  if (FAILED(set(h, kDarkModeAttribute, &on, sizeof on)))
    set(h, kDarkModeAttributeBefore20H1, &on, sizeof on);
}

BOOL CALLBACK ThemeChild(HWND child, LPARAM dark) {
  // The system's dark forms of the scroll bars, push buttons and drop-down lists.
  SetWindowTheme(child, dark ? L"DarkMode_Explorer" : nullptr, nullptr);
  return TRUE;
}

}  // namespace

Scheme CurrentScheme() {
  HIGHCONTRASTW hc{sizeof hc};
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON))
    return Scheme::HighContrast;
  DWORD light = 1, size = sizeof light;
  if (RegGetValueW(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                   L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) != ERROR_SUCCESS)
    return Scheme::Light;  // a Windows without the setting has only the light theme
  return light == 0 ? Scheme::Dark : Scheme::Light;
}

bool IsSchemeChange(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOLORCHANGE || msg == WM_THEMECHANGED) return true;
  if (msg != WM_SETTINGCHANGE) return false;
  if (wp == SPI_SETHIGHCONTRAST) return true;
  const auto* area = reinterpret_cast<const wchar_t*>(lp);
  return area && lstrcmpiW(area, L"ImmersiveColorSet") == 0;
}

Palette PaletteOf(Scheme scheme) {
  if (scheme == Scheme::Dark) return kDark;
  return Palette{GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_WINDOWTEXT),
                 GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_BTNFACE),
                 GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_GRAYTEXT),
                 GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
}

void DrawSchemeCaptionButton(Scheme scheme, const DRAWITEMSTRUCT& d, HFONT font,
                             COLORREF color, const std::string& text) {
  // High contrast: the theme's own button text, which the user chose to be able to read.
  if (scheme == Scheme::HighContrast)
    return DrawCaptionButton(d, font, GetSysColor(COLOR_BTNTEXT), text);
  if (scheme != Scheme::Dark) return DrawCaptionButton(d, font, color, text);
  const bool pushed = d.itemState & ODS_SELECTED;
  const COLORREF face = pushed ? RGB(70, 70, 70) : kDark.Face;
  RECT rc = d.rcItem;
  UniqueBrush fill(CreateSolidBrush(face));
  FillRect(d.hDC, &rc, fill.get());
  UniqueBrush edge(CreateSolidBrush(kDark.Border));
  FrameRect(d.hDC, &rc, edge.get());
  DrawCaptionOnFace(d, font, ReadableOn(color, face), kDark.GrayText, text, kDark.Text);
}

void WindowTheme::Attach(HWND window) {
  hwnd_ = window;
  scheme_ = CurrentScheme();
  Apply();
}

void WindowTheme::Apply() {
  if (!hwnd_) return;
  const bool dark = scheme_ == Scheme::Dark;
  window_.reset(dark ? CreateSolidBrush(kDark.Window) : nullptr);
  field_.reset(dark ? CreateSolidBrush(kDark.Field) : nullptr);
  DarkTitleBar(hwnd_, dark);
  EnumChildWindows(hwnd_, &ThemeChild, dark);
  RedrawWindow(hwnd_, nullptr, nullptr,
               RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool WindowTheme::Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (!hwnd_) return false;
  if (IsSchemeChange(msg, wp, lp)) {
    if (const Scheme now = CurrentScheme(); now != scheme_) {
      scheme_ = now;
      Apply();
    }
    return false;
  }
  // Controls made since the last showing take the scheme too.
  if (scheme_ != Scheme::Dark) return false;
  if (msg == WM_SHOWWINDOW && wp) EnumChildWindows(hwnd_, &ThemeChild, TRUE);
  const auto dc = reinterpret_cast<HDC>(wp);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc{};
      GetClientRect(hwnd_, &rc);
      FillRect(dc, &rc, window_.get());
      result = 1;
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:  // labels, and edits that are read-only or disabled
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR: {
      // Fields and lists on their own colour, everything else on the window's.
      const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
      SetTextColor(dc, kDark.Text);
      SetBkColor(dc, field ? kDark.Field : kDark.Window);
      result = reinterpret_cast<LRESULT>(field ? field_.get() : window_.get());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ks::win
