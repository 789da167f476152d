#include "app/tray.h"

#include <shellapi.h>

#include "app/app.h"
#include "text/codepage_win.h"
#include "text/utf.h"
#include "typing/ports_win.h"
#include "version.h"
#include "win/glyphs.h"

namespace ks::app {
namespace {

enum : UINT {
  kAboutItem = 101,
  kReadHelpItem,
  kWebSiteItem,
  kExitItem,
  kFindItem,
  kAbbreviationsItem,
  kStartWithWindowsItem,
  kFollowProgramsItem
};

std::string AboutText() {
  return std::string("Keystrum Free V" KS_VERSION_TEXT " by ") + kAuthor + "\nEmail: " + kEmail +
         "\n" + kWebSite;
}

// The program's own path with `extension` for its own: the help files beside the exe.
std::string HelpFilePath(const std::string& exePath, const char* extension) {
  size_t slash = exePath.find_last_of("\\/");
  size_t dot = exePath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return exePath + extension;
  return exePath.substr(0, dot) + extension;
}

}  // namespace

// ---- TrayIcon ----

TrayIcon::TrayIcon() : state_(*this) { state_.SetToolTip(contract::kTitle); }

TrayIcon::~TrayIcon() {
  if (hwnd_) state_.Destroy();
  if (icon_) DestroyIcon(icon_);
}

bool TrayIcon::Create() {
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  return CreateWin(contract::kTrayIconClass, WS_EX_TOOLWINDOW, "", WS_POPUP, 0, 0, 0, 0, nullptr);
}

void TrayIcon::SetIcon(HICON icon) {
  HICON copy = icon ? CopyIcon(icon) : nullptr;
  state_.SetIcon(reinterpret_cast<uintptr_t>(copy));
  if (icon_) DestroyIcon(icon_);
  icon_ = copy;
}

bool TrayIcon::Notify(TrayIconState::Op op, const TrayIconState::Record& r) {
  // The second form of the record: its tip field takes 128 UTF-16 units, not 64 bytes.
  NOTIFYICONDATAW nid{};
  nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
  nid.hWnd = hwnd_;
  nid.uID = 0;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = contract::kTrayCallback;
  nid.hIcon = reinterpret_cast<HICON>(r.icon);
  static_assert(sizeof nid.szTip / sizeof nid.szTip[0] == kTrayTipField);
  const std::wstring tip = Wide(Utf8Prefix(r.tip, kTrayTipField - 1));
  lstrcpynW(nid.szTip, tip.c_str(), static_cast<int>(kTrayTipField));
  DWORD msg = op == TrayIconState::Op::Add      ? NIM_ADD
              : op == TrayIconState::Op::Modify ? NIM_MODIFY
                                                : NIM_DELETE;
  return Shell_NotifyIconW(msg, &nid) != FALSE;
}

void TrayIcon::ShowBalloon(const std::string& text) {
  if (!hwnd_ || !state_.active()) return;
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof nid;
  nid.hWnd = hwnd_;
  nid.uID = 0;
  nid.uFlags = NIF_INFO;
  nid.dwInfoFlags = NIIF_INFO;
  constexpr std::size_t kInfoField = sizeof nid.szInfo / sizeof nid.szInfo[0];
  const std::wstring info = Wide(Utf8Prefix(text, kInfoField - 1));
  lstrcpynW(nid.szInfo, info.c_str(), static_cast<int>(kInfoField));
  lstrcpynW(nid.szInfoTitle, Wide(contract::kTitle).c_str(),
            static_cast<int>(sizeof nid.szInfoTitle / sizeof nid.szInfoTitle[0]));
  Shell_NotifyIconW(NIM_MODIFY, &nid);
}

void TrayIcon::PostTipRefresh() {
  if (hwnd_) PostMessageW(hwnd_, contract::kTrayTipRefresh, 0, 0);
}

void TrayIcon::RightClick() {
  if (!PopupMenu) return;
  POINT pt{};
  GetCursorPos(&pt);
  HWND owner = MenuOwner ? MenuOwner : hwnd_;
  // The menu only closes on a click elsewhere when a window of ours is the foreground one.
  SetForegroundWindow(MenuForeground ? MenuForeground : owner);
  ProcessWaitingMessages();
  TrackPopupMenu(PopupMenu, TPM_RIGHTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
}

LRESULT TrayIcon::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == contract::kTrayTipRefresh) {
    state_.SetToolTip(state_.tip());
    return 0;
  }
  if (msg == contract::kTrayCallback) {
    if (lp == WM_LBUTTONUP && OnClick) OnClick();
    if (lp == WM_RBUTTONUP) RightClick();
    return 0;
  }
  if (taskbarCreated_ && msg == taskbarCreated_) {
    state_.ReAdd();
    return 0;
  }
  return Default(msg, wp, lp);
}

// ---- TrayWindow ----

TrayWindow::~TrayWindow() {
  if (menu_) DestroyMenu(menu_);
  icon_.PopupMenu = nullptr;
}

bool TrayWindow::Create(HWND owner, HICON iconSmall) {
  if (!CreateWin(contract::kTrayFormClass, WS_EX_TOOLWINDOW, contract::kTitle,
                 WS_POPUP | WS_CAPTION, -5000, 0, 120, 60, owner, iconSmall))
    return false;
  // Far out of sight and hidden.
  SetWindowPos(hwnd_, nullptr, -5000, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindowAsync(hwnd_, SW_HIDE);

  menu_ = win::BuildPopupMenu({
      {kFindItem, "Find...", win::Glyph::Find},
      win::kSeparator,
      {kAboutItem, "&About Keystrum", win::Glyph::About},
      win::kSeparator,
      {kReadHelpItem, "Read Help File", win::Glyph::Help},
      {kWebSiteItem, "Keystrum Web Site", win::Glyph::Web},
      win::kSeparator,
      {kExitItem, "E&xit", win::Glyph::Exit},
  });
  // A plain item, so the system draws its check mark; before Exit, with its separator.
  const int exitAt = GetMenuItemCount(menu_) - 1;
  InsertMenuW(menu_, exitAt, MF_BYPOSITION | MF_STRING | MF_CHECKED, kAbbreviationsItem,
              L"Abbreviations");
  InsertMenuW(menu_, exitAt + 1, MF_BYPOSITION | MF_STRING | MF_CHECKED, kFollowProgramsItem,
              L"Follow Programs");
  InsertMenuW(menu_, exitAt + 2, MF_BYPOSITION | MF_STRING, kStartWithWindowsItem,
              L"Start with Windows");
  InsertMenuW(menu_, exitAt + 3, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);

  if (!icon_.Create()) return false;
  // Picture and tip first: the icon then goes in with one call to the shell, and each
  // call is a round trip to the shell's process.
  icon_.SetIcon(iconSmall);
  icon_.SetToolTip(std::string("Keystrum by ") + kAuthor);
  icon_.SetActive(true);
  icon_.OnClick = [this] {
    if (OnIconClick) OnIconClick();
  };
  icon_.PopupMenu = menu_;
  icon_.MenuOwner = hwnd_;
  icon_.MenuForeground = owner;
  return true;
}

void TrayWindow::ShowAbout() { Message(AboutText()); }

void TrayWindow::CheckItem(UINT id, bool on) {
  if (menu_) CheckMenuItem(menu_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void TrayWindow::CheckAbbreviations(bool on) { CheckItem(kAbbreviationsItem, on); }

void TrayWindow::CheckFollowPrograms(bool on) { CheckItem(kFollowProgramsItem, on); }

void TrayWindow::Switch(UINT id, const std::function<void(bool on)>& switched) {
  const bool on = (GetMenuState(menu_, id, MF_BYCOMMAND) & MF_CHECKED) == 0;
  CheckItem(id, on);
  if (switched) switched(on);
}

void TrayWindow::ShowStartWithWindows() {
  const bool on = StartsWithWindows(runValue_, App().exePath);
  CheckMenuItem(menu_, kStartWithWindowsItem, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void TrayWindow::SwitchStartWithWindows() {
  const bool on = (GetMenuState(menu_, kStartWithWindowsItem, MF_BYCOMMAND) & MF_CHECKED) == 0;
  if (std::optional<std::string> err = SetStartWithWindows(runValue_, App().exePath, on))
    Message(*err);
  ShowStartWithWindows();
}

void TrayWindow::OpenHelpFile() {
  // The old help file where a user still keeps one beside the exe, else the guide that
  // comes with the program; current Windows has no viewer for the old format, so a help
  // file that does not open falls back to the guide as well.
  for (const char* extension : {".hlp", ".html"}) {
    std::string help = HelpFilePath(App().exePath, extension);
    const std::wstring path = Wide(help);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    auto r = reinterpret_cast<INT_PTR>(
        ShellExecuteW(hwnd_, L"open", path.c_str(), L"", L"c:\\", SW_SHOWNORMAL));
    if (r >= 33) return;
  }
  Message("Unable to open the Keystrum help file.");
}

void TrayWindow::OpenWebSite() {
  auto r = reinterpret_cast<INT_PTR>(
      ShellExecuteW(hwnd_, L"open", Wide(kWebSite).c_str(), L"", L"c:\\", SW_SHOWNORMAL));
  if (r < 33)
    Message(std::string("Unable to start browser. Please visit\n") + kWebSite +
            "\nfor more information.");
}

void TrayWindow::MenuCommand(UINT id) {
  switch (id) {
    case kAboutItem: ShowAbout(); break;
    case kReadHelpItem: OpenHelpFile(); break;
    case kWebSiteItem: OpenWebSite(); break;
    case kExitItem: PostMessageW(hwnd_, WM_CLOSE, 0, 0); break;
    case kFindItem:
      if (OnFind) OnFind();
      break;
    case kStartWithWindowsItem: SwitchStartWithWindows(); break;
    case kAbbreviationsItem: Switch(kAbbreviationsItem, OnAbbreviationsSwitched); break;
    case kFollowProgramsItem: Switch(kFollowProgramsItem, OnFollowProgramsSwitched); break;
    default: break;
  }
}

LRESULT TrayWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      MenuCommand(LOWORD(wp));
      return 0;
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wp) == menu_) ShowStartWithWindows();
      return 0;
    case WM_CLOSE:
      // The main form: closing it ends the program.
      PostQuitMessage(0);
      return 0;
    case WM_ENDSESSION:
      // Windows is logging off or shutting down and ends the process after this message:
      // save now, as a normal exit would, or the session's changes are lost.
      if (wp && OnEndSession) OnEndSession();
      return 0;
    default:
      return Default(msg, wp, lp);
  }
}

}  // namespace ks::app
