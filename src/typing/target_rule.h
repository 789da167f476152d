#pragma once
// Which foreground windows may become the window a button types into, judged by their
// window class, so that both the bar's polling and an event-driven tracker use one rule.
#include <string_view>

namespace ks {

// True for the windows of the system's shell that take the foreground without being a
// place to type: the taskbar (and its copies on other monitors), the notification area's
// overflow, the Start menu and the desktop. A click on the tray icon activates the
// taskbar; taking it as the target would send the next press's text there instead of to
// the user's program. Class names compare without regard to case, as the system's do.
bool IsNeverTargetClass(std::string_view windowClass);

}  // namespace ks
