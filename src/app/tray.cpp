#include "app/tray.h"

#include <shellapi.h>

#include "app/app.h"
#include "bar/main_win.h"
#include "typing/ports_win.h"
#include "version.h"
#include "win/glyphs.h"

namespace ks::app {
namespace {

enum : UINT { kMenuAbout = 101, kMenuReadHelp, kKeystrumWebSite, kExitProgram };

TTrayForm* g_trayForm = nullptr;

}  // namespace

TTrayForm* TrayForm() { return g_trayForm; }

// ---- TTrayIcon ----

TTrayIcon::TTrayIcon() : state_(*this) { state_.SetToolTip(kTitle); }

TTrayIcon::~TTrayIcon() {
  if (hwnd_) state_.Destroy();
  if (icon_) DestroyIcon(icon_);
}

bool TTrayIcon::Create() {
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  return CreateWin("TTrayIcon", WS_EX_TOOLWINDOW, "", WS_POPUP, 0, 0, 0, 0, nullptr);
}

void TTrayIcon::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : nullptr;
  state_.SetIcon(reinterpret_cast<uintptr_t>(copy));
  if (icon_) DestroyIcon(icon_);
  icon_ = copy;
}

bool TTrayIcon::Notify(TrayIconState::Op op, const TrayIconState::Record& r) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = hwnd_;
  nid.uID = 0;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayCallback;
  nid.hIcon = reinterpret_cast<HICON>(r.icon);
  lstrcpynA(nid.szTip, r.tip.c_str(), 64);
  DWORD msg = op == TrayIconState::Op::Add      ? NIM_ADD
              : op == TrayIconState::Op::Modify ? NIM_MODIFY
                                                : NIM_DELETE;
  return Shell_NotifyIconA(msg, &nid) != FALSE;
}

void TTrayIcon::PostTipRefresh() {
  if (hwnd_) PostMessageA(hwnd_, kTrayTipRefresh, 0, 0);
}

void TTrayIcon::RightClick() {
  POINT pt{};
  GetCursorPos(&pt);
  if (!PopupMenu) {
    if (OnRightClick) OnRightClick();
    return;
  }
  HWND owner = MenuOwner ? MenuOwner : hwnd_;
  // The menu only closes on a click elsewhere when its owner is the foreground window.
  SetForegroundWindow(App().window.hwnd());
  ProcessWaitingMessages();
  TrackPopupMenu(PopupMenu, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
  PostMessageA(owner, WM_NULL, 0, 0);
}

LRESULT TTrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kTrayTipRefresh) {
    state_.SetToolTip(state_.tip());
    return 0;
  }
  if (msg == kTrayCallback) {
    switch (lp) {
      case WM_LBUTTONUP:
        if (OnClick) OnClick();
        break;
      case WM_LBUTTONDBLCLK:
        if (OnDblClick) OnDblClick();
        break;
      case WM_RBUTTONUP:
        RightClick();
        break;
      default:
        break;
    }
    return 0;
  }
  if (taskbarCreated_ && msg == taskbarCreated_) {
    state_.ReAdd();
    return 0;
  }
  return Default(msg, wp, lp);
}

// ---- TTrayForm ----

TTrayForm::~TTrayForm() {
  if (PopupMenu1) DestroyMenu(PopupMenu1);
  TrayIcon1.PopupMenu = nullptr;
  g_trayForm = nullptr;
}

bool TTrayForm::Create(HWND owner, HICON iconSmall) {
  g_trayForm = this;
  if (!CreateWin("TTrayForm", WS_EX_TOOLWINDOW, kTitle, WS_POPUP | WS_CAPTION, -5000, 0, 120, 60,
                 owner, iconSmall))
    return false;
  // FormCreate: far out of sight and hidden.
  SetWindowPos(hwnd_, nullptr, -5000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindowAsync(hwnd_, SW_HIDE);

  PopupMenu1 = win::BuildPopupMenu({
      {kMenuAbout, "&About Keystrum", win::Glyph::About},
      win::kSeparator,
      {kMenuReadHelp, "Read Help File", win::Glyph::Help},
      {kKeystrumWebSite, "Keystrum Web Site", win::Glyph::Web},
      win::kSeparator,
      {kExitProgram, "E&xit", win::Glyph::Exit},
  });

  if (!TrayIcon1.Create()) return false;
  TrayIcon1.SetActive(true);
  TrayIcon1.SetIcon(iconSmall);
  TrayIcon1.SetToolTip(std::string("Keystrum by ") + kAuthor);
  TrayIcon1.OnClick = [this] { TrayIcon1Click(); };
  TrayIcon1.PopupMenu = PopupMenu1;
  TrayIcon1.MenuOwner = hwnd_;
  return true;
}

void TTrayForm::TrayIcon1Click() {
  TMainForm* bar = MainForm();
  if (!bar) return;
  bar->Show();
  if (bar->RolledUp) bar->RollUp();
}

std::string TTrayForm::AboutText() {
  return std::string("Keystrum Free V" KS_VERSION_TEXT " by ") + kAuthor + "\nEmail: " + kEmail +
         "\n" + kWebSite;
}

std::string TTrayForm::HelpFilePath(const std::string& exePath, const char* extension) {
  size_t slash = exePath.find_last_of("\\/");
  size_t dot = exePath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return exePath + extension;
  return exePath.substr(0, dot) + extension;
}

void TTrayForm::MenuAboutClick() { Message(AboutText()); }

void TTrayForm::MenuReadHelpClick() {
  // The old help file where a user still keeps one beside the exe, else the guide that
  // comes with the program; current Windows has no viewer for the old format, so a help
  // file that does not open falls back to the guide as well.
  for (const char* extension : {".hlp", ".html"}) {
    std::string help = HelpFilePath(App().exePath, extension);
    if (GetFileAttributesA(help.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    auto r = reinterpret_cast<INT_PTR>(
        ShellExecuteA(hwnd_, "open", help.c_str(), "", "c:\\", SW_SHOWNORMAL));
    if (r >= 33) return;
  }
  Message("Unable to open the Keystrum help file.");
}

void TTrayForm::KeystrumWebSiteClick() {
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteA(hwnd_, "open", kWebSite, "", "c:\\", SW_SHOWNORMAL));
  if (r < 33)
    Message(std::string("Unable to start browser. Please visit\n") + kWebSite +
            "\nfor more information.");
}

void TTrayForm::ExitProgramClick() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

LRESULT TTrayForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kMenuAbout: MenuAboutClick(); return 0;
        case kMenuReadHelp: MenuReadHelpClick(); return 0;
        case kKeystrumWebSite: KeystrumWebSiteClick(); return 0;
        case kExitProgram: ExitProgramClick(); return 0;
        default: break;
      }
      break;
    case WM_CLOSE:
      // The main form: closing it ends the program.
      PostQuitMessage(0);
      return 0;
    case WM_ENDSESSION:
      // Windows is logging off or shutting down and ends the process after this message:
      // save now, as a normal exit would, or the session's changes are lost.
      if (wp && MainForm()) MainForm()->FormDestroy();
      return 0;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ks::app
