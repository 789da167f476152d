#pragma once
// The notification-area icon and the hidden tray form that holds it and its menu.
#include <windows.h>

#include <functional>
#include <string>

#include "bar/tray_icon.h"
#include "store/start_with_windows_win.h"
#include "win/window.h"

namespace ks::app {

// A reusable icon component. Its hidden IconWindow is a top-level window (not
// message-only) so that it hears the "TaskbarCreated" broadcast after Explorer
// restarts and can put the icon back.
class TrayIcon : public win::Window, private TrayIconState::Shell {
 public:
  TrayIcon();
  ~TrayIcon() override;
  bool Create();

  bool Active() const { return state_.active(); }
  void SetActive(bool on) { state_.SetActive(on); }
  void SetIcon(HICON icon);
  void SetToolTip(const std::string& tip) { state_.SetToolTip(tip); }
  // Shows `text` in a balloon of the icon, which takes no foreground from anyone.
  void ShowBalloon(const std::string& text);
  // The menu a right click opens, and the window that owns it and receives its WM_COMMAND.
  HMENU PopupMenu = nullptr;
  HWND MenuOwner = nullptr;
  // Takes the foreground while the menu is open, so that a click elsewhere closes it.
  HWND MenuForeground = nullptr;

  std::function<void()> OnClick;

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

// The program's main form, never seen: it holds the icon and its menu (Find, About, the
// help file, the web site, the switches of abbreviations and of following programs, Start
// with Windows, Exit), and
// closing it ends the program.
class TrayWindow : public win::Window {
 public:
  ~TrayWindow() override;
  bool Create(HWND owner, HICON iconSmall);

  // A left click on the icon.
  std::function<void()> OnIconClick;
  // "Find..." in the icon's menu.
  std::function<void()> OnFind;
  // Windows is ending the session and ends the process after this call.
  std::function<void()> OnEndSession;

  // Takes the icon out of the notification area.
  void RemoveIcon() { icon_.SetActive(false); }
  // Tells the user `text` in a balloon of the icon.
  void Balloon(const std::string& text) { icon_.ShowBalloon(text); }

  // The checked item "Abbreviations": its check, and the user's choice of it.
  void CheckAbbreviations(bool on);
  std::function<void(bool on)> OnAbbreviationsSwitched;
  // The checked item "Follow Programs" (the bar shows the group of the program typed into).
  void CheckFollowPrograms(bool on);
  std::function<void(bool on)> OnFollowProgramsSwitched;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void MenuCommand(UINT id);
  void CheckItem(UINT id, bool on);
  // The user chose the checked item `id`: its check turns over and `switched` is told.
  void Switch(UINT id, const std::function<void(bool on)>& switched);
  void ShowAbout();
  void OpenHelpFile();
  void OpenWebSite();
  // "Start with Windows" shows what the registry holds now: another program, or another
  // copy of Keystrum, may have changed it since the menu was last open.
  void ShowStartWithWindows();
  void SwitchStartWithWindows();

  TrayIcon icon_;
  WinRunValue runValue_;
  HMENU menu_ = nullptr;
};

}  // namespace ks::app
