#include "bar/sysmenu_win.h"

#include "text/codepage_win.h"

namespace ks {
namespace {

// Relabels the item at `pos` in both system menus, keeping its command.
void RelabelItem(HWND app, HWND bar, int pos, const char* text) {
  for (HWND w : {app, bar}) {
    if (!w) continue;
    HMENU m = GetSystemMenu(w, FALSE);
    if (!m) continue;
    UINT id = GetMenuItemID(m, pos);
    ModifyMenuW(m, static_cast<UINT>(pos), MF_BYPOSITION | MF_STRING, id, Wide(text).c_str());
  }
}

}  // namespace

void PrepareSysMenus(HWND app, HWND bar) {
  RelabelItem(app, bar, 2, "Hide");
  for (HWND w : {app, bar})
    InsertMenuW(GetSystemMenu(w, FALSE), 0, MF_BYPOSITION | MF_STRING, kRollUpCommand, L"RollUp");
}

void LabelRollUp(HWND app, HWND bar, bool rolledUp) {
  RelabelItem(app, bar, 0, rolledUp ? "UnRoll" : "RollUp");
}

}  // namespace ks
