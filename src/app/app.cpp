#include "app/app.h"

#include "win/dialogs.h"

namespace ks::app {

Application& App() {
  static Application app;
  return app;
}

bool AppWindow::Create(HICON icon) {
  return CreateWin(contract::kApplicationClass, 0, contract::kTitle,
                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                   nullptr, icon);
}

LRESULT AppWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYSCOMMAND && OnSysCommand && OnSysCommand(wp)) return 0;
  if (msg == WM_CLOSE) return 0;  // only the tray form's Exit ends the program
  return Default(msg, wp, lp);
}

void Message(const std::string& text) { win::ShowMessage(App().window.hwnd(), text); }

}  // namespace ks::app
