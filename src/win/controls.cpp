#include "win/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "common/design.h"
#include "text/codepage_win.h"
#include "text/utf.h"
#include "win/dpi.h"

namespace ks::win {

HWND CreateControl(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle,
                   int x, int y, int w, int h, int id, HFONT font) {
  HWND c = CreateWindowExW(exStyle, Wide(cls).c_str(), Wide(text ? text : "").c_str(),
                           style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  if (c && font) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

UniqueFont MakeFont(const char* face, int height) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring name = Wide(Utf8Prefix(face ? face : "", LF_FACESIZE - 1));
  lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&lf));
}

UniqueFont MakeDesignFont(int dpi, int height) {
  return MakeFont(kDesignFontName, ScaleToDpi(height, dpi));
}

namespace {

int ScreenDotsPerInch() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

}  // namespace

int PointsToHeight(int points) { return -MulDiv(points, ScreenDotsPerInch(), 72); }

int HeightToPoints(int height) { return MulDiv(height < 0 ? -height : height, 72, ScreenDotsPerInch()); }

void StackInOrder(std::initializer_list<HWND> controls) {
  HWND after = HWND_TOP;
  for (HWND c : controls) {
    SetWindowPos(c, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = c;
  }
}

Placement GetPlacement(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  const int dpi = DpiOf(h);
  return Placement{r.left, r.top, UnscaleFromDpi(r.right - r.left, dpi),
                   UnscaleFromDpi(r.bottom - r.top, dpi)};
}

void SetPlacement(HWND h, const Placement& p) {
  // First the place: arriving on a display of another DPI gives the window that DPI, and
  // the size is then taken at it.
  SetWindowPos(h, nullptr, p.X, p.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int dpi = DpiOf(h);
  SetWindowPos(h, nullptr, 0, 0, ScaleToDpi(p.Width, dpi), ScaleToDpi(p.Height, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepWithinReach(Placement& p, int32_t width, POINT fallback) {
  // Beyond a caption on a monitor (a monitor since removed, a hand-edited file) the
  // window could never be reached again, and exit would store the same place once more.
  // In 64 bits: a stored width may be anything, and the sum must not wrap.
  auto clamp = [](int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const int64_t w = std::max<int64_t>(width, 1);
  RECT caption{p.X, p.Y, clamp(int64_t{p.X} + w),
               clamp(int64_t{p.Y} + GetSystemMetrics(SM_CYCAPTION))};
  if (MonitorFromRect(&caption, MONITOR_DEFAULTTONULL) != nullptr) return;
  p.X = fallback.x;
  p.Y = fallback.y;
}

Tooltips::~Tooltips() {
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
}

bool Tooltips::Create(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  owner_ = owner;
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
  return tip_ != nullptr;
}

namespace {
// The version-2 size is understood by every common-controls version, old and new.
TOOLINFOW ToolFor(HWND owner, HWND control, std::wstring& hint) {
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = owner;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = hint.data();
  return ti;
}
}  // namespace

void Tooltips::Add(HWND control, const std::string& hint) {
  if (!tip_) return;
  std::wstring text = Wide(hint);
  TOOLINFOW ti = ToolFor(owner_, control, text);
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltips::Update(HWND control, const std::string& hint) {
  if (!tip_) return;
  std::wstring text = Wide(hint);
  TOOLINFOW ti = ToolFor(owner_, control, text);
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace ks::win
