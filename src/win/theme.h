#pragma once
// Dark mode: when Windows' apps use the dark theme (AppsUseLightTheme = 0 under the user's
// Themes\Personalize key), a window of ours draws dark: its title bar through the system's
// dark-mode attribute, its background and its controls' colours through WM_CTLCOLOR*, its
// owner-drawn parts through the palette below. It follows a change of the setting while it
// runs. With high contrast on, only the system's colours are used, whatever the setting:
// the user chose them to be able to read.
#include <windows.h>

#include <string>

#include "win/window.h"

namespace ks::win {

using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiDeleter>;

enum class Scheme { Light, Dark, HighContrast };

// What the system says now.
Scheme CurrentScheme();

// Whether `msg` tells that the scheme may have changed: WM_SETTINGCHANGE for
// "ImmersiveColorSet" (the apps' theme) or for high contrast, WM_SYSCOLORCHANGE,
// WM_THEMECHANGED.
bool IsSchemeChange(UINT msg, WPARAM wp, LPARAM lp);

// The colours owner-drawn parts take: the system's in the light and in high contrast.
struct Palette {
  COLORREF Window;         // a window's background
  COLORREF Text;           // its text
  COLORREF Field;          // edits and lists
  COLORREF Face;           // a button's face
  COLORREF Border;         // a button's edge
  COLORREF GrayText;       // a hint, a disabled caption
  COLORREF Highlight;      // a selected line
  COLORREF HighlightText;  // its text
};
Palette PaletteOf(Scheme scheme);

// A button face with `text` centred in the user's `color`, as DrawCaptionButton draws it,
// for `scheme`: on the dark face a colour below kMinContrast is drawn lighter; under high
// contrast the text takes the theme's button text colour instead.
void DrawSchemeCaptionButton(Scheme scheme, const DRAWITEMSTRUCT& d, HFONT font,
                             COLORREF color, const std::string& text);

// One top-level window's part in the scheme. The window calls Attach once it exists and
// hands every message to Handle first.
class WindowTheme {
 public:
  void Attach(HWND window);
  // Answers WM_CTLCOLOR* and WM_ERASEBKGND in the dark; on a change of the setting, reads
  // it again and redraws the window. True when it answered, with `result`; a change of the
  // setting is never answered, so the window's own handling still sees it.
  bool Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  Scheme scheme() const { return scheme_; }

 private:
  void Apply();

  HWND hwnd_ = nullptr;
  Scheme scheme_ = Scheme::Light;
  UniqueBrush window_, field_;
};

}  // namespace ks::win
