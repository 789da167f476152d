#pragma once
// The roll-up item and the "Hide" item in the system menus of the bar and the
// application window.
#include <windows.h>

namespace ks::app {

// Relabels the item at `pos` in both system menus, keeping its command.
void ModifySysMenu(int pos, const char* text);

// Start-up: "Hide" at position 2, then "RollUp" inserted at the top of both menus.
void PrepareSysMenus(HWND bar);

// Takes the system commands the relabelled items stand for. True when handled.
bool HandleSysCommand(WPARAM wp);

}  // namespace ks::app
