#pragma once
// The bar's and the application window's system menus carry the same two items of the
// bar: "RollUp" (then "UnRoll") at the top, and "Hide" in the place of "Size".
#include <windows.h>

namespace ks {

inline constexpr UINT kRollUpCommand = 1000;

// Puts both items into the system menus of `app` and `bar`.
void PrepareSysMenus(HWND app, HWND bar);
// The top item says what it does next: "UnRoll" while the bar is rolled up.
void LabelRollUp(HWND app, HWND bar, bool rolledUp);

}  // namespace ks
