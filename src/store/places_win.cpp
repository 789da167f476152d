#include "store/places_win.h"

#include "win/controls.h"
#include "win/window.h"

namespace ks {

void SettingsPlace::TellDesignSize(LoadContext& ctx) const {
  const HWND h = window_;
  const RECT c = h ? win::ClientRectOf(h) : RECT{};
  ctx.*fields_.Client = WindowSize{c.right, c.bottom};
}

void SettingsPlace::TakePlace(const Settings& s) const {
  const HWND h = window_;
  if (!h) return;
  const WindowPlace& place = s.*fields_.Place;
  win::Placement p{place.X, place.Y, place.Width, place.Height};
  win::KeepWithinReach(p, p.Width, {fields_.Row.Fallback.X, fields_.Row.Fallback.Y});
  win::SetPlacement(h, p);
}

void SettingsPlace::PutPlace(Settings& s) const {
  const HWND h = window_;
  if (!h) return;
  const win::Placement p = win::GetPlacement(h);
  s.*fields_.Place = WindowPlace{p.X, p.Y, p.Width, p.Height};
}

}  // namespace ks
