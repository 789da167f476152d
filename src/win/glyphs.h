#pragma once
// The small pictures beside menu items, drawn at run time so they follow no file on disk.
#include <windows.h>

namespace ks::win {

enum class Glyph {
  About, Help, Web, Exit, Undo, New, Edit, Delete, Copy, Move, Font, Width, Cancel,
  NewGroup, EditGroup, DeleteGroup, Lock, Unlock, Record, Done
};

// A 16x16 32-bit premultiplied bitmap for MIIM_BITMAP items; owned by a process-wide cache.
HBITMAP GlyphBitmap(Glyph g);

// The same picture as an icon, for buttons: icons keep their transparency everywhere.
HICON GlyphIcon(Glyph g);

// Gives every item of `menu` with a non-zero id in `ids` its glyph.
void SetMenuGlyph(HMENU menu, UINT id, Glyph g);

}  // namespace ks::win
