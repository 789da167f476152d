#include "app/sysmenu.h"

#include "app/app.h"
#include "bar/main_win.h"

namespace ks::app {

void ModifySysMenu(int pos, const char* text) {
  HWND windows[] = {App().window.hwnd(), MainForm() ? MainForm()->hwnd() : nullptr};
  for (HWND w : windows) {
    if (!w) continue;
    HMENU m = GetSystemMenu(w, FALSE);
    if (!m) continue;
    UINT id = GetMenuItemID(m, pos);
    ModifyMenuA(m, static_cast<UINT>(pos), MF_BYPOSITION | MF_STRING, id, text);
  }
}

void PrepareSysMenus(HWND bar) {
  (void)bar;
  ModifySysMenu(2, "Hide");
  InsertMenuA(GetSystemMenu(App().window.hwnd(), FALSE), 0, MF_BYPOSITION | MF_STRING,
              kRollUpCommand, "RollUp");
  InsertMenuA(GetSystemMenu(bar, FALSE), 0, MF_BYPOSITION | MF_STRING, kRollUpCommand, "RollUp");
}

bool HandleSysCommand(WPARAM wp) {
  TMainForm* bar = MainForm();
  if (!bar) return false;
  if (wp == kRollUpCommand) {
    bar->RollUp();
    return true;
  }
  // The item relabelled "Hide" keeps the Size command; a border drag carries the edge in
  // the low bits, so only the bare command comes from the menu.
  if (wp == SC_SIZE) {
    bar->Hide();
    return true;
  }
  return false;
}

}  // namespace ks::app
