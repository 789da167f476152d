#include "app/app.h"

#include "app/sysmenu.h"

namespace ks::app {

Application& App() {
  static Application app;
  return app;
}

bool AppWindow::Create(HICON icon) {
  return CreateWin("TApplication", 0, kTitle,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                   nullptr, icon);
}

LRESULT AppWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND && HandleSysCommand(wp)) return 0;
  if (msg == WM_CLOSE) return 0;  // only the tray form's Exit ends the program
  return Default(msg, wp, lp);
}

void ProcessMessages() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // Keep the quit for the main loop, which owns the orderly shutdown.
      PostQuitMessage(static_cast<int>(m.wParam));
      App().terminating = true;
      return;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void Message(const std::string& text) {
  MessageBoxA(App().window.hwnd(), text.c_str(), kTitle, MB_OK | MB_TASKMODAL | MB_TOPMOST);
}

}  // namespace ks::app
