#pragma once
// A window that keeps its place in the settings file reads and writes it itself: it takes
// it once the session is loaded and puts it back when the user ends a move and before a
// save.
#include <windows.h>

#include "store/settings.h"

namespace ks {

// The place of one window, which holds it: the window's handle as the window keeps it,
// null while the window could not be made.
class SettingsPlace {
 public:
  SettingsPlace(const PlaceFields& fields, const HWND& window) : fields_(fields), window_(window) {}

  // The window's client size as made, from which the load centres a window whose place
  // the file does not name.
  void TellDesignSize(LoadContext& ctx) const;
  // Once the files are loaded: the window goes to its stored place, kept within reach.
  void TakePlace(const Settings& s) const;
  // Before every save: the window's place as it is now.
  void PutPlace(Settings& s) const;

 private:
  const PlaceFields& fields_;
  const HWND& window_;
};

}  // namespace ks
