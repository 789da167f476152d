// The session: the store and the settings are loaded when the bar is made and saved at
// the end, together with the bar's place; the editor and the list picker read and write
// their own places.
#include "bar/commands.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/main_win.h"
#include "text/codepage_win.h"

namespace ks {

void BarWindow::LoadSession() {
  BarLayout design = ComputeLayout(1, 1, buttonWidth_, Dpi());
  LoadContext ctx;
  ctx.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ctx.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  ctx.Bar = {design.ClientWidth, design.ClientHeight};
  for (const SettingsPlace* other : around_.OtherPlaces) other->TellDesignSize(ctx);
  ctx.FontColor = templateColor_;

  Session& session = *around_.Files;
  const std::optional<std::string> unreadable = session.Load(ctx);
  store_ = &session.store();
  const Settings& st = session.settings();
  // The bar keeps only its position; its size follows from the store.
  win::Placement place{st.Bar.X, st.Bar.Y, 0, 0};
  win::KeepWithinReach(place, design.ClientWidth, {kBarFallback.X, kBarFallback.Y});
  SetButtonWidth(st.ButtonWidth);
  SetWindowPos(hwnd_, nullptr, place.X, place.Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (const SettingsPlace* other : around_.OtherPlaces) other->TakePlace(st);
  fontName_ = st.FontName;
  fontSize_ = st.FontSize;
  ApplyButtonFont();
  GroupListRefill();
  if (unreadable) Message(*unreadable);
}

void BarWindow::PutSettings() {
  Settings& st = around_.Files->settings();
  st.ButtonWidth = buttonWidth_;
  const win::Placement place = win::GetPlacement(hwnd_);
  st.Bar.X = place.X, st.Bar.Y = place.Y;
  for (const SettingsPlace* other : around_.OtherPlaces) other->PutPlace(st);
  st.FontName = fontName_;
  st.FontSize = fontSize_;
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
