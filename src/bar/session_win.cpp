// The bar in the session: its values are read from the settings when needed, its place is
// noted when a move ends, and every change is noted for the session to write soon.
#include "bar/commands.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/main_win.h"

namespace ks {

void BarWindow::TakeSession() {
  store_ = &around_.Files->store();
  // The bar keeps only its position; its size follows from the store. It is brought within
  // reach as one cell of the default width, as the load centred it.
  const BarLayout design = ComputeLayout(1, 1, kButtonWidthRule.Default, Dpi());
  win::Placement place{Values().Bar.X, Values().Bar.Y, 0, 0};
  win::KeepWithinReach(place, design.ClientWidth, {kBarFallback.X, kBarFallback.Y});
  Values().Bar.X = place.X, Values().Bar.Y = place.Y;
  SetButtonWidth(Values().ButtonWidth);
  SetWindowPos(hwnd_, nullptr, place.X, place.Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyButtonFont();
  GroupListRefill();
}

void BarWindow::NoteChange() { around_.Files->Changed(); }

void BarWindow::NotePlace() {
  const win::Placement place = win::GetPlacement(hwnd_);
  Values().Bar.X = place.X, Values().Bar.Y = place.Y;
  NoteChange();
}

}  // namespace ks
