#include "win/glyphs.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace ks::win {
namespace {

constexpr int kSize = 16;

struct Canvas {
  std::array<uint32_t, kSize * kSize> px{};
  void Put(int x, int y, COLORREF c, uint8_t a = 255) {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
    // premultiplied BGRA, top-down rows
    uint32_t r = GetRValue(c) * a / 255, g = GetGValue(c) * a / 255, b = GetBValue(c) * a / 255;
    px[static_cast<size_t>(y * kSize + x)] = (uint32_t(a) << 24) | (r << 16) | (g << 8) | b;
  }
  void Rect(int x0, int y0, int x1, int y1, COLORREF c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) Put(x, y, c);
  }
  void Frame(int x0, int y0, int x1, int y1, COLORREF c) {
    for (int x = x0; x < x1; ++x) Put(x, y0, c), Put(x, y1 - 1, c);
    for (int y = y0; y < y1; ++y) Put(x0, y, c), Put(x1 - 1, y, c);
  }
  void Line(int x0, int y0, int x1, int y1, COLORREF c) {
    int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= n; ++i)
      Put(x0 + (n ? (x1 - x0) * i / n : 0), y0 + (n ? (y1 - y0) * i / n : 0), c);
  }
  void Disc(int cx, int cy, int r, COLORREF c) {
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x)
        if (x * x + y * y <= r * r) Put(cx + x, cy + y, c);
  }
  void Ring(int cx, int cy, int r, COLORREF c) {
    for (int y = -r; y <= r; ++y)
      for (int x = -r; x <= r; ++x) {
        int d = x * x + y * y;
        if (d <= r * r && d > (r - 1) * (r - 1)) Put(cx + x, cy + y, c);
      }
  }
};

const COLORREF kBlue = RGB(30, 90, 200), kGreen = RGB(30, 150, 60), kRed = RGB(200, 40, 40),
               kGrey = RGB(90, 90, 90), kGold = RGB(210, 160, 20), kWhite = RGB(255, 255, 255),
               kPaper = RGB(250, 250, 240);

void Page(Canvas& c) {
  c.Rect(3, 1, 13, 15, kPaper);
  c.Frame(3, 1, 13, 15, kGrey);
  for (int y = 4; y < 13; y += 3) c.Line(5, y, 10, y, RGB(160, 160, 160));
}

void Draw(Glyph g, Canvas& c) {
  switch (g) {
    case Glyph::About:
      c.Disc(8, 8, 7, kBlue);
      c.Rect(7, 7, 9, 12, kWhite);
      c.Rect(7, 4, 9, 6, kWhite);
      break;
    case Glyph::Help:
      c.Disc(8, 8, 7, kGreen);
      c.Line(6, 5, 9, 4, kWhite), c.Line(9, 4, 10, 6, kWhite), c.Line(10, 6, 8, 8, kWhite);
      c.Rect(7, 8, 9, 10, kWhite);
      c.Rect(7, 11, 9, 13, kWhite);
      break;
    case Glyph::Web:
      c.Disc(8, 8, 7, RGB(60, 140, 220));
      c.Ring(8, 8, 7, kBlue);
      c.Line(1, 8, 15, 8, kWhite), c.Line(8, 1, 8, 15, kWhite);
      c.Ring(8, 8, 4, kWhite);
      break;
    case Glyph::Exit:
    case Glyph::Cancel:
      c.Disc(8, 8, 7, kRed);
      for (int d = -1; d <= 1; ++d) c.Line(5 + d, 5, 11 + d, 11, kWhite), c.Line(11 + d, 5, 5 + d, 11, kWhite);
      break;
    case Glyph::Undo:
      // A hooked arrow pointing back to the left.
      for (int x = 5; x <= 11; ++x) c.Put(x, 5, kBlue), c.Put(x, 6, kBlue);
      for (int y = 7; y <= 11; ++y) c.Put(12, y, kBlue), c.Put(11, y, kBlue);
      for (int x = 6; x <= 10; ++x) c.Put(x, 12, kBlue), c.Put(x, 11, kBlue);
      c.Line(2, 5, 5, 2, kBlue), c.Line(2, 6, 5, 9, kBlue);
      c.Line(3, 5, 5, 3, kBlue), c.Line(3, 6, 5, 8, kBlue);
      break;
    case Glyph::New:
    case Glyph::NewGroup:
      Page(c);
      c.Disc(12, 12, 3, kGold);
      break;
    case Glyph::Edit:
    case Glyph::EditGroup:
      Page(c);
      for (int d = 0; d < 2; ++d) c.Line(6 + d, 13, 14 + d, 5, kBlue);
      break;
    case Glyph::Delete:
    case Glyph::DeleteGroup:
      c.Rect(4, 4, 12, 15, kGrey);
      c.Rect(5, 5, 11, 14, RGB(200, 200, 200));
      c.Rect(3, 2, 13, 4, kGrey);
      c.Line(7, 6, 7, 12, kGrey), c.Line(9, 6, 9, 12, kGrey);
      break;
    case Glyph::Copy:
      c.Rect(1, 1, 9, 11, kPaper), c.Frame(1, 1, 9, 11, kGrey);
      c.Rect(6, 5, 14, 15, kPaper), c.Frame(6, 5, 14, 15, kBlue);
      break;
    case Glyph::Move:
      c.Rect(1, 6, 10, 10, kGreen);
      c.Line(9, 3, 14, 8, kGreen), c.Line(9, 13, 14, 8, kGreen);
      c.Line(10, 4, 13, 8, kGreen), c.Line(10, 12, 13, 8, kGreen);
      break;
    case Glyph::Font:
      c.Line(2, 14, 6, 2, RGB(0, 0, 0)), c.Line(6, 2, 10, 14, RGB(0, 0, 0));
      c.Line(4, 9, 8, 9, RGB(0, 0, 0));
      c.Disc(12, 11, 3, kBlue);
      break;
    case Glyph::Width:
      c.Line(1, 8, 15, 8, kBlue);
      c.Line(1, 8, 4, 5, kBlue), c.Line(1, 8, 4, 11, kBlue);
      c.Line(15, 8, 12, 5, kBlue), c.Line(15, 8, 12, 11, kBlue);
      c.Rect(0, 2, 1, 14, kGrey), c.Rect(15, 2, 16, 14, kGrey);
      break;
    case Glyph::Lock:
    case Glyph::Unlock:
      c.Rect(3, 7, 13, 15, kGold);
      c.Ring(8, 6, 4, kGrey), c.Ring(8, 6, 3, kGrey);
      for (int y = 6; y < 7; ++y) c.Rect(4, y, 12, 7, 0);
      c.Rect(3, 7, 13, 15, kGold);
      c.Rect(7, 9, 9, 13, kGrey);
      if (g == Glyph::Unlock) c.Line(11, 3, 15, 7, kRed), c.Line(15, 3, 11, 7, kRed);
      break;
  }
}

HBITMAP Build(Glyph g) {
  Canvas c;
  Draw(g, c);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = kSize;
  bi.bmiHeader.biHeight = -kSize;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) memcpy(bits, c.px.data(), sizeof c.px);
  return bmp;
}

}  // namespace

HBITMAP GlyphBitmap(Glyph g) {
  // Built once per glyph and kept for the process: menus reference them until the end.
  static std::array<HBITMAP, 32> cache{};
  auto& slot = cache[static_cast<size_t>(g)];
  if (!slot) slot = Build(g);
  return slot;
}

HICON GlyphIcon(Glyph g) {
  static std::array<HICON, 32> cache{};
  auto& slot = cache[static_cast<size_t>(g)];
  if (!slot) {
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmColor = Build(g);
    ii.hbmMask = mask;
    slot = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(mask);
  }
  return slot;
}


}  // namespace ks::win

namespace ks::win {

HMENU BuildPopupMenu(std::initializer_list<MenuLine> lines) {
  return BuildPopupMenu(std::vector<MenuLine>(lines));
}

HMENU BuildPopupMenu(const std::vector<MenuLine>& lines) {
  HMENU menu = CreatePopupMenu();
  UINT pos = 0;
  for (const MenuLine& l : lines) {
    if (!l.text) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuA(menu, l.sub ? MF_POPUP : MF_STRING,
                  l.sub ? reinterpret_cast<UINT_PTR>(l.sub) : l.id, l.text);
      MENUITEMINFOA mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_BITMAP;
      mi.hbmpItem = GlyphBitmap(l.glyph);
      SetMenuItemInfoA(menu, pos, TRUE, &mi);
    }
    ++pos;
  }
  return menu;
}

UINT TrackMenu(HMENU menu, HWND owner, POINT screen) {
  SetForegroundWindow(owner);
  UINT id = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                             screen.y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  return id;
}

}  // namespace ks::win
