// The session: the store and the settings are loaded when the bar is made and saved at
// the end, together with the places of the bar, the editor and the list picker.
#include <algorithm>

#include "bar/commands.h"
#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/main_win.h"
#include "text/codepage_win.h"
#include "typing/list_win.h"

namespace ks {
namespace {

// The places of the three windows the settings file keeps. The bar keeps only its
// position; its size follows from the store.
struct WindowPlaces {
  win::Placement Bar, Editor, List;
};

WindowPlaces PlacesIn(const Settings& s) {
  return WindowPlaces{{s.BarX, s.BarY, 0, 0},
                      {s.EditorX, s.EditorY, s.EditorWidth, s.EditorHeight},
                      {s.ListX, s.ListY, s.ListWidth, s.ListHeight}};
}

void PutPlaces(const WindowPlaces& p, Settings& s) {
  s.BarX = p.Bar.X, s.BarY = p.Bar.Y;
  s.EditorX = p.Editor.X, s.EditorY = p.Editor.Y;
  s.EditorWidth = p.Editor.Width, s.EditorHeight = p.Editor.Height;
  s.ListX = p.List.X, s.ListY = p.List.Y, s.ListWidth = p.List.Width, s.ListHeight = p.List.Height;
}

// A stored place is kept as read, also partly off an edge, while some of the window's
// caption is on a monitor. Beyond that (a monitor since removed, a hand-edited file) the
// window could never be reached again, and exit would store the same place once more.
void KeepWithinReach(win::Placement& p, int32_t width, ScreenPoint fallback) {
  // In 64 bits: a stored width may be anything, and the sum must not wrap.
  auto clamp = [](int64_t v) {
    return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
  };
  const int64_t w = std::max<int64_t>(width, 1);
  RECT caption{p.X, p.Y, clamp(int64_t{p.X} + w),
               clamp(int64_t{p.Y} + GetSystemMetrics(SM_CYCAPTION))};
  if (MonitorFromRect(&caption, MONITOR_DEFAULTTONULL) != nullptr) return;
  p.X = fallback.X;
  p.Y = fallback.Y;
}

}  // namespace

void BarWindow::LoadSession() {
  auto clientOf = [](HWND h) { return h ? win::ClientRectOf(h) : RECT{}; };
  RECT ed = clientOf(around_.EditorWindow);
  RECT li = clientOf(around_.Picker ? around_.Picker->hwnd() : nullptr);
  BarLayout design = ComputeLayout(1, 1, buttonWidth_, Dpi());
  LoadContext ctx;
  ctx.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ctx.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  ctx.BarClientWidth = design.ClientWidth;
  ctx.BarClientHeight = design.ClientHeight;
  ctx.EditorClientWidth = ed.right;
  ctx.EditorClientHeight = ed.bottom;
  ctx.ListClientWidth = li.right;
  ctx.ListClientHeight = li.bottom;
  ctx.FontColor = templateColor_;

  Session& session = *around_.Files;
  const std::optional<std::string> unreadable = session.Load(ctx);
  store_ = &session.store();
  const Settings& st = session.settings();
  WindowPlaces places = PlacesIn(st);
  KeepWithinReach(places.Bar, design.ClientWidth, kBarFallback);
  KeepWithinReach(places.Editor, places.Editor.Width, kEditorFallback);
  KeepWithinReach(places.List, places.List.Width, kListFallback);
  SetButtonWidth(st.ButtonWidth);
  SetWindowPos(hwnd_, nullptr, places.Bar.X, places.Bar.Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (around_.EditorWindow) win::SetPlacement(around_.EditorWindow, places.Editor);
  if (around_.Picker) around_.Picker->SetPlacement(places.List);
  fontName_ = st.FontName;
  fontSize_ = st.FontSize;
  ApplyButtonFont();
  GroupListRefill();
  if (unreadable) Message(*unreadable);
}

void BarWindow::PutSettings() {
  Settings& st = around_.Files->settings();
  st.ButtonWidth = buttonWidth_;
  WindowPlaces places = PlacesIn(st);
  places.Bar = win::GetPlacement(hwnd_);
  if (around_.EditorWindow) places.Editor = win::GetPlacement(around_.EditorWindow);
  if (around_.Picker) places.List = around_.Picker->GetPlacement();
  PutPlaces(places, st);
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
  StopForegroundTracker();
  StopShortcuts();
  if (saved_) return;
  saved_ = true;
  PutSettings();
  if (std::optional<std::string> err = around_.Files->Save(true))
    MessageBoxW(nullptr, Wide(*err).c_str(), Wide(contract::kTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace ks
