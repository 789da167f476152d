// The session: the store and the settings, loaded before the bar is made, and saved at the
// end together with the bar's place; the editor and the list picker read and write their
// own places.
#include "bar/commands.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/main_win.h"
#include "text/codepage_win.h"

namespace ks {

void BarWindow::TakeSession() {
  store_ = &around_.Files->store();
  // The bar keeps only its position; its size follows from the store. It is brought within
  // reach as one cell of the default width, as the load centred it.
  const BarLayout design = ComputeLayout(1, 1, kButtonWidthRule.Default, Dpi());
  win::Placement place{Values().Bar.X, Values().Bar.Y, 0, 0};
  win::KeepWithinReach(place, design.ClientWidth, {kBarFallback.X, kBarFallback.Y});
  SetButtonWidth(Values().ButtonWidth);
  SetWindowPos(hwnd_, nullptr, place.X, place.Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyButtonFont();
  GroupListRefill();
}

void BarWindow::PutSettings() {
  Settings& st = Values();
  const win::Placement place = win::GetPlacement(hwnd_);
  st.Bar.X = place.X, st.Bar.Y = place.Y;
  for (const SettingsPlace* other : around_.OtherPlaces) other->PutPlace(st);
}

void BarWindow::NoteChange() {
  if (around_.Abbreviations && store_) around_.Abbreviations->StoreChanged(*store_);
  if (!around_.Files || saved_) return;
  PutSettings();
  around_.Files->Changed();
}

void BarWindow::SaveSession() {
  StopShortcuts();
  if (saved_) return;
  saved_ = true;
  PutSettings();
  if (std::optional<std::string> err = around_.Files->Save(true))
    MessageBoxW(nullptr, Wide(*err).c_str(), Wide(contract::kTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace ks
