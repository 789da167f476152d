#include "typing/target_rule.h"

#include <array>

namespace ks {

namespace {

constexpr std::array<std::string_view, 10> kShellClasses = {
    "Shell_TrayWnd",                         // the taskbar
    "Shell_SecondaryTrayWnd",                // the taskbar on every further monitor
    "NotifyIconOverflowWindow",              // the hidden icons of the notification area
    "TopLevelWindowForOverflowXamlIsland",   // the same, in newer versions of the shell
    "DV2ControlHost",                        // the Start menu of the classic shell
    "Windows.UI.Core.CoreWindow",            // the Start menu and search of newer shells
    "XamlExplorerHostIslandWindow",          // the newer shell's task switcher and flyouts
    "Shell_InputSwitchTopLevelWindow",       // the input language flyout of the taskbar
    "Progman",                               // the desktop
    "WorkerW",                               // the desktop behind its wallpaper
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

}  // namespace

bool IsNeverTargetClass(std::string_view windowClass) {
  for (std::string_view c : kShellClasses)
    if (EqualNoCase(c, windowClass)) return true;
  return false;
}

}  // namespace ks
