// The bar's and the application window's system menus carry the same two items of the
// bar: "RollUp" (then "UnRoll") at the top, and "Hide" in the place of "Size".
#include "bar/main_win.h"
#include "text/codepage_win.h"

namespace ks {
namespace {

constexpr UINT kRollUpCommand = 1000;

}  // namespace

void BarWindow::RelabelSysMenuItem(int pos, const char* text) {
  for (HWND w : {around_.AppWindow, hwnd_}) {
    if (!w) continue;
    HMENU m = GetSystemMenu(w, FALSE);
    if (!m) continue;
    UINT id = GetMenuItemID(m, pos);
    ModifyMenuW(m, static_cast<UINT>(pos), MF_BYPOSITION | MF_STRING, id, Wide(text).c_str());
  }
}

void BarWindow::PrepareSysMenus() {
  RelabelSysMenuItem(2, "Hide");
  for (HWND w : {around_.AppWindow, hwnd_})
    InsertMenuW(GetSystemMenu(w, FALSE), 0, MF_BYPOSITION | MF_STRING, kRollUpCommand, L"RollUp");
}

bool BarWindow::HandleSysCommand(WPARAM command) {
  if (command == kRollUpCommand) {
    RollUp();
    return true;
  }
  // The item relabelled "Hide" keeps the Size command; a border drag carries the edge in
  // the low bits, so only the bare command comes from the menu.
  if (command == SC_SIZE) {
    Hide();
    return true;
  }
  return false;
}

}  // namespace ks
