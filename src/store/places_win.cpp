#include "store/places_win.h"

#include "win/controls.h"
#include "win/window.h"

namespace ks {

void SettingsPlace::TellDesignSize(LoadContext& ctx) const {
  const HWND h = window_;
  const RECT c = h ? win::ClientRectOf(h) : RECT{};
  ctx.*fields_.ClientWidth = c.right;
  ctx.*fields_.ClientHeight = c.bottom;
}

void SettingsPlace::TakePlace(const Settings& s) const {
  const HWND h = window_;
  if (!h) return;
  win::Placement p{s.*fields_.X, s.*fields_.Y, s.*fields_.Width, s.*fields_.Height};
  win::KeepWithinReach(p, p.Width, {fields_.Fallback.X, fields_.Fallback.Y});
  win::SetPlacement(h, p);
}

void SettingsPlace::PutPlace(Settings& s) const {
  const HWND h = window_;
  if (!h) return;
  const win::Placement p = win::GetPlacement(h);
  s.*fields_.X = p.X;
  s.*fields_.Y = p.Y;
  s.*fields_.Width = p.Width;
  s.*fields_.Height = p.Height;
}

}  // namespace ks
