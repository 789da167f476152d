#pragma once
// The small pictures beside menu items, drawn at run time so they follow no file on disk.
#include <windows.h>

#include <initializer_list>
#include <vector>

namespace ks::win {

enum class Glyph {
  About, Help, Web, Exit, Undo, New, Edit, Delete, Copy, Move, Font, Width, Cancel,
  NewGroup, EditGroup, DeleteGroup, Lock, Unlock, Find
};

// A 32-bit premultiplied bitmap for MIIM_BITMAP items, 16 x 16 at 96 DPI and drawn at its
// size for `dpi`; owned by a process-wide cache.
HBITMAP GlyphBitmap(Glyph g, int dpi);

// The same picture as an icon, for buttons: icons keep their transparency everywhere.
HICON GlyphIcon(Glyph g, int dpi);

// One line of a popup menu: a separator when `text` is null, a submenu when `sub` is set.
struct MenuLine {
  UINT id = 0;
  const char* text = nullptr;
  Glyph glyph = Glyph::Cancel;
  HMENU sub = nullptr;
};
inline constexpr MenuLine kSeparator{};

// A popup menu of `lines`, each item with its glyph.
HMENU BuildPopupMenu(std::initializer_list<MenuLine> lines);
HMENU BuildPopupMenu(const std::vector<MenuLine>& lines);

// Opens `menu` at `screen` for `owner` and returns the chosen id, 0 for none. The owner
// takes the foreground first, or the menu would not close on a click elsewhere. The items'
// pictures are drawn for the DPI of the display the menu opens on.
UINT TrackMenu(HMENU menu, HWND owner, POINT screen);

}  // namespace ks::win
