#pragma once
// The application object: the hidden top-level window that stands for the program as a
// whole, owns every other window and keeps the program off the taskbar.
#include <windows.h>

#include <functional>
#include <string>

#include "contract.h"
#include "win/window.h"

namespace ks::app {

inline constexpr const char* kAuthor = "Avery Lindqvist";
inline constexpr const char* kEmail = "avery@keystrum.example.org";
inline constexpr const char* kWebSite = "https://keystrum.example.org/";

class AppWindow : public win::Window {
 public:
  bool Create(HICON icon);

  // Its system menu carries the bar's items; their commands go to this handler, which
  // says whether it took them.
  std::function<bool(WPARAM command)> OnSysCommand;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

struct Application {
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;       // 32x32: the windows' big icon
  HICON iconSmall = nullptr;  // 16x16: captions and the tray
  std::string exePath;
  std::string exeDir;  // with a trailing backslash
  AppWindow window;
};

Application& App();

// Shows `text` in the program's standard message box.
void Message(const std::string& text);

}  // namespace ks::app
