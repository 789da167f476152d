#pragma once
// The notification-area icon and the hidden tray form that holds it and its menu.
#include <windows.h>

#include <functional>
#include <string>

#include "bar/tray_icon.h"
#include "win/window.h"

namespace ks::app {

inline constexpr UINT kTrayCallback = WM_USER + 1;    // 1025
inline constexpr UINT kTrayTipRefresh = WM_USER + 2;  // 1026

// A reusable icon component. Its hidden IconWindow is a top-level window (not
// message-only) so that it hears the "TaskbarCreated" broadcast after Explorer
// restarts and can put the icon back.
class TTrayIcon : public win::Window, private TrayIconState::Shell {
 public:
  TTrayIcon();
  ~TTrayIcon() override;
  bool Create();

  bool Active() const { return state_.active(); }
  void SetActive(bool on) { state_.SetActive(on); }
  void SetIcon(HICON icon);
  const std::string& ToolTip() const { return state_.tip(); }
  void SetToolTip(const std::string& tip) { state_.SetToolTip(tip); }
  // The menu a right click opens; empty runs OnRightClick instead.
  HMENU PopupMenu = nullptr;
  // Window that owns the popup menu and receives its WM_COMMAND.
  HWND MenuOwner = nullptr;

  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnRightClick;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool Notify(TrayIconState::Op op, const TrayIconState::Record& r) override;
  void PostTipRefresh() override;
  void RightClick();

  TrayIconState state_;
  HICON icon_ = nullptr;  // our own copy, destroyed with the component
  UINT taskbarCreated_ = 0;
};

class TTrayForm : public win::Window {
 public:
  ~TTrayForm() override;
  bool Create(HWND owner, HICON iconSmall);

  TTrayIcon TrayIcon1;

  void TrayIcon1Click();
  void MenuAboutClick();
  void MenuReadHelpClick();
  void KeystrumWebSiteClick();
  void ExitProgramClick();

  // The texts the menu handlers show, for tests that cannot read another process's boxes.
  static std::string AboutText();
  // The program's own path with `extension` for its own: the help files beside the exe.
  static std::string HelpFilePath(const std::string& exePath, const char* extension = ".hlp");

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HMENU PopupMenu1 = nullptr;
};

TTrayForm* TrayForm();

}  // namespace ks::app
