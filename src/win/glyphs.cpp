#include "win/glyphs.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "text/codepage_win.h"
#include "win/dpi.h"

namespace ks::win {
namespace {

// The pictures are designed on a grid of 16 x 16 units. At 16 pixels every unit is one
// pixel and a shape covers the pixels whose centres it holds, exactly as designed; at any
// other size each pixel takes the share of a shape that covers it, so the picture is drawn
// at the size it is shown instead of being stretched.
constexpr int kDesign = 16;
constexpr int kSamples = 4;  // per pixel and axis, where pixels are not design units

struct Canvas {
  explicit Canvas(int size) : size(size), px(static_cast<size_t>(size * size)) {}
  int size;
  std::vector<uint32_t> px;  // premultiplied BGRA, top-down rows

  bool Exact() const { return size == kDesign; }

  // Paints `c` over every part of the picture for which `inside(x, y)` holds, x and y in
  // design units.
  template <typename Inside>
  void Fill(COLORREF c, Inside inside) {
    const int n = Exact() ? 1 : kSamples;
    const double unit = double(kDesign) / size;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        int hits = 0;
        for (int sy = 0; sy < n; ++sy)
          for (int sx = 0; sx < n; ++sx)
            hits += inside((x + (sx + 0.5) / n) * unit, (y + (sy + 0.5) / n) * unit) ? 1 : 0;
        if (hits) Blend(x, y, c, hits * 255 / (n * n));
      }
  }
  void Blend(int x, int y, COLORREF c, int a) {
    uint32_t& d = px[static_cast<size_t>(y * size + x)];
    auto mix = [&](uint32_t src, int shift) {
      uint32_t old = (d >> shift) & 0xFF;
      return (src * a + old * (255 - a)) / 255;
    };
    uint32_t na = mix(255, 24), r = mix(GetRValue(c), 16), g = mix(GetGValue(c), 8),
             b = mix(GetBValue(c), 0);
    d = (na << 24) | (r << 16) | (g << 8) | b;
  }

  void Put(int x, int y, COLORREF c) { Rect(x, y, x + 1, y + 1, c); }
  void Rect(int x0, int y0, int x1, int y1, COLORREF c) {
    Fill(c, [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; });
  }
  void Frame(int x0, int y0, int x1, int y1, COLORREF c) {
    Rect(x0, y0, x1, y0 + 1, c), Rect(x0, y1 - 1, x1, y1, c);
    Rect(x0, y0, x0 + 1, y1, c), Rect(x1 - 1, y0, x1, y1, c);
  }
  void Line(int x0, int y0, int x1, int y1, COLORREF c) {
    if (Exact()) {
      int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
      for (int i = 0; i <= n; ++i)
        Put(x0 + (n ? (x1 - x0) * i / n : 0), y0 + (n ? (y1 - y0) * i / n : 0), c);
      return;
    }
    // A stroke one unit wide through the centres of the end units.
    const double ax = x0 + 0.5, ay = y0 + 0.5, dx = x1 - x0, dy = y1 - y0;
    const double len2 = dx * dx + dy * dy;
    Fill(c, [=](double x, double y) {
      double t = len2 > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len2, 0.0, 1.0) : 0.0;
      double ex = x - (ax + t * dx), ey = y - (ay + t * dy);
      return ex * ex + ey * ey <= 0.55 * 0.55;
    });
  }
  // Around the centre of unit (cx, cy); the outline drawn smoothly reaches a little beyond
  // r, as the units whose centres lie within r do.
  void Disc(int cx, int cy, int r, COLORREF c) {
    const double out = r + (Exact() ? 0.0 : 0.4);
    Fill(c, [=](double x, double y) { return Dist2(x, y, cx, cy) <= out * out; });
  }
  void Ring(int cx, int cy, int r, COLORREF c) {
    const double out = r + (Exact() ? 0.0 : 0.4), in = out - 1;
    Fill(c, [=](double x, double y) {
      double d = Dist2(x, y, cx, cy);
      return d <= out * out && d > in * in;
    });
  }
  static double Dist2(double x, double y, int cx, int cy) {
    double ex = x - (cx + 0.5), ey = y - (cy + 0.5);
    return ex * ex + ey * ey;
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

// The round signs and the undo arrow; false for any other glyph.
bool DrawSign(Glyph g, Canvas& c) {
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
    default:
      return false;
  }
  return true;
}

// The commands on buttons and groups: pages, the bin, copy and move; false for any
// other glyph.
bool DrawPaper(Glyph g, Canvas& c) {
  switch (g) {
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
    default:
      return false;
  }
  return true;
}

// The font, width, lock and find pictures; false for any other glyph.
bool DrawTool(Glyph g, Canvas& c) {
  switch (g) {
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
    case Glyph::Find: {
      // A magnifying glass: a lens with a rim two units wide, the handle to the lower right.
      // Radii between whole units keep the rim round, without a lone unit at each end of
      // its axes.
      auto lens = [](double r) {
        return [r](double x, double y) { return Canvas::Dist2(x, y, 6, 6) <= r * r; };
      };
      c.Fill(kBlue, lens(5.4));
      c.Fill(RGB(200, 225, 250), lens(3.4));
      c.Line(10, 10, 14, 14, kGrey), c.Line(11, 10, 14, 13, kGrey), c.Line(10, 11, 13, 14, kGrey);
      break;
    }
    default:
      return false;
  }
  return true;
}

void Draw(Glyph g, Canvas& c) {
  if (!DrawSign(g, c) && !DrawPaper(g, c)) DrawTool(g, c);
}

HBITMAP Build(Glyph g, int size) {
  Canvas c(size);
  Draw(g, c);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = size;
  bi.bmiHeader.biHeight = -size;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bmp && bits) memcpy(bits, c.px.data(), c.px.size() * sizeof c.px[0]);
  return bmp;
}

using GlyphKey = std::pair<Glyph, int>;

int SizeFor(int dpi) { return std::max(ScaleToDpi(kDesign, dpi), 1); }

}  // namespace

HBITMAP GlyphBitmap(Glyph g, int dpi) {
  // Built once per glyph and size and kept for the process: menus reference them until
  // the end, also after a move to another display has given them a second size.
  static std::map<GlyphKey, HBITMAP> cache;
  HBITMAP& slot = cache[{g, SizeFor(dpi)}];
  if (!slot) slot = Build(g, SizeFor(dpi));
  return slot;
}

HICON GlyphIcon(Glyph g, int dpi) {
  static std::map<GlyphKey, HICON> cache;
  const int size = SizeFor(dpi);
  HICON& slot = cache[{g, size}];
  if (!slot) {
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    ICONINFO ii{};
    ii.fIcon = TRUE;
    ii.hbmColor = Build(g, size);
    ii.hbmMask = mask;
    slot = CreateIconIndirect(&ii);
    DeleteObject(ii.hbmColor);
    DeleteObject(mask);
  }
  return slot;
}

namespace {

// An item's glyph rides in its item data (glyph + 1; 0 for none), so the pictures can be
// redrawn for the display a menu opens on.
void SetItemGlyph(HMENU menu, UINT pos, HBITMAP bmp) {
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_BITMAP;
  mi.hbmpItem = bmp;
  SetMenuItemInfoW(menu, pos, TRUE, &mi);
}

void FitGlyphs(HMENU menu, int dpi) {
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_DATA | MIIM_SUBMENU | MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) continue;
    if (mi.dwItemData) {
      HBITMAP want = GlyphBitmap(static_cast<Glyph>(mi.dwItemData - 1), dpi);
      if (mi.hbmpItem != want) SetItemGlyph(menu, static_cast<UINT>(i), want);
    }
    if (mi.hSubMenu) FitGlyphs(mi.hSubMenu, dpi);
  }
}

}  // namespace

HMENU BuildPopupMenu(std::initializer_list<MenuLine> lines) {
  return BuildPopupMenu(std::vector<MenuLine>(lines));
}

HMENU BuildPopupMenu(const std::vector<MenuLine>& lines) {
  HMENU menu = CreatePopupMenu();
  UINT pos = 0;
  for (const MenuLine& l : lines) {
    if (!l.text) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(menu, l.sub ? MF_POPUP : MF_STRING,
                  l.sub ? reinterpret_cast<UINT_PTR>(l.sub) : l.id, Wide(l.text).c_str());
      MENUITEMINFOW mi{};
      mi.cbSize = sizeof mi;
      mi.fMask = MIIM_BITMAP | MIIM_DATA;
      mi.hbmpItem = GlyphBitmap(l.glyph, SystemDpi());
      mi.dwItemData = static_cast<ULONG_PTR>(l.glyph) + 1;
      SetMenuItemInfoW(menu, pos, TRUE, &mi);
    }
    ++pos;
  }
  return menu;
}

UINT TrackMenu(HMENU menu, HWND owner, POINT screen) {
  FitGlyphs(menu, DpiAt(screen));
  SetForegroundWindow(owner);
  UINT id = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                             screen.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  return id;
}

}  // namespace ks::win
