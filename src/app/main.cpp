// Program entry: one running copy, the windows in their fixed order, the message loop,
// and the save at the end of a normal run.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../../res/resource.h"
#include "app/abbreviations.h"
#include "app/app.h"
#include "app/programs.h"
#include "app/requests.h"
#include "app/tray.h"
#include "app/typing_setup.h"
#include "bar/layout.h"
#include "bar/main_win.h"
#include "text/codepage_win.h"
#include "editor/editor_win.h"
#include "find/find_win.h"
#include "typing/list_win.h"
#include "store/files_win.h"
#include "store/session.h"
#include "typing/ports_win.h"
#include "win/dialogs.h"
#include "win/dpi.h"

namespace {

using namespace ks;

// UTF-8, as every path the program hands around.
std::string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Utf8(path);
    }
    path.resize(path.size() * 2);  // cut: a long path, more room
  }
}

// The program's paths and icons, and the application window, which exists from the start
// but is never seen.
void PrepareApplication(app::Application& a, HINSTANCE instance) {
  a.instance = instance;
  a.exePath = ModulePath();
  a.exeDir = a.exePath.substr(0, a.exePath.find_last_of("\\/") + 1);
  // At the sizes of the system DPI, which the tray and the captions show them at.
  a.icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KEYSTRUM), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXICON),
                                         GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
  a.iconSmall = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KEYSTRUM),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));

  a.window.Create(a.icon);
  ShowWindow(a.window.hwnd(), SW_HIDE);
  ProcessWaitingMessages();
}

// True when another copy runs, which the user is told. The running copy keeps its handle
// for its whole life; the system frees it at exit.
bool AnotherCopyRuns() {
  HANDLE sem = CreateSemaphoreW(nullptr, 0, 1, Wide(contract::kSingleInstanceName).c_str());
  if (!sem || GetLastError() != ERROR_ALREADY_EXISTS) return false;
  CloseHandle(sem);
  MessageBoxW(nullptr,
              L"Keystrum is already loaded.\nPlease click on the keyboard\nicon in the taskbar tray.",
              Wide(contract::kTitle).c_str(), MB_OK | MB_TOPMOST | MB_SETFOREGROUND);
  return true;
}

// The session's save, a second after the last change; thread timers need no window.
Session* g_session = nullptr;
UINT_PTR g_saveTimer = 0;

void CALLBACK SaveSoon(HWND, UINT, UINT_PTR, DWORD) {
  KillTimer(nullptr, g_saveTimer);
  g_saveTimer = 0;
  if (!g_session) return;
  if (std::optional<std::string> err = g_session->Save(false))
    MessageBoxW(nullptr, Wide(*err).c_str(), Wide(contract::kTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

// Loads the store and the settings before the bar is made; the windows that keep a place go
// to theirs. What the user is to be told when a file cannot be read.
std::optional<std::string> LoadSession(Session& session,
                                       const std::vector<const SettingsPlace*>& places) {
  LoadContext ctx;
  ctx.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ctx.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
  // The bar is made on the main display, at the system's DPI, one cell of the default width.
  const BarLayout design = ComputeLayout(1, 1, kButtonWidthRule.Default, win::SystemDpi());
  ctx.Bar = {design.ClientWidth, design.ClientHeight};
  for (const SettingsPlace* place : places) place->TellDesignSize(ctx);
  std::optional<std::string> unreadable = session.Load(ctx);
  for (const SettingsPlace* place : places) place->TakePlace(session.settings());
  return unreadable;
}

// A window's place is saved once the user ends a move or a resize of it, as every change is.
std::function<void()> NoteMoves(const SettingsPlace& place, Session& session) {
  return [&place, &session] {
    place.PutPlace(session.settings());
    session.Changed();
  };
}

// Every change is written a second after the last one, by a timer of the thread; those who
// follow the store are told of it at once.
void SaveSoonAfterChanges(Session& session, std::function<void()> tell) {
  g_session = &session;
  session.onChanged = [tell = std::move(tell)] {
    g_saveTimer = SetTimer(nullptr, g_saveTimer, Session::kSaveDelayMs, &SaveSoon);
    tell();
  };
}

// The end of a normal run and the end of the Windows session: the settings and the store
// are written with every window's place, once.
void SaveAtExit(Session& session, BarWindow& bar,
                const std::vector<const SettingsPlace*>& places) {
  static bool saved = false;
  if (saved) return;
  saved = true;
  bar.NotePlace();
  for (const SettingsPlace* place : places) place->PutPlace(session.settings());
  if (g_saveTimer) KillTimer(nullptr, g_saveTimer);
  g_session = nullptr;
  if (std::optional<std::string> err = session.Save(true))
    MessageBoxW(nullptr, Wide(*err).c_str(), Wide(contract::kTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
}

// What the bar is wired to, for the wiring and its undoing.
struct AroundTheBar {
  app::Application& a;
  app::TrayWindow& tray;
  editor::EditorWindow& editorWindow;
  find::FindPopup& find;
  editor::ButtonEditor& buttonEditor;
  app::Abbreviations& abbreviations;
  app::TypingSetup& typing;
  app::TypeRequests& requests;
  app::ProgramFollower& programs;
  Session& session;
  typing::ListPickerWindow& list;
  std::vector<const SettingsPlace*> places;  // of the windows beside the bar
};

void WireToBar(const AroundTheBar& w, BarWindow& bar) {
  w.buttonEditor.TemplateFont = [&s = w.session] { return ks::TemplateFont(s.settings()); };
  w.editorWindow.OnShortcutChosen = [&r = w.requests](int32_t shortcut) {
    return r.ShortcutChosen(shortcut);
  };
  w.editorWindow.OnDoneRefusal = [&r = w.requests, &bar](int32_t shortcut) {
    return r.RefuseShortcutDone(bar.Editing(), shortcut);
  };
  w.editorWindow.OnAbbreviationRefusal = [&abbreviations = w.abbreviations, &bar](const std::string& a) {
    return abbreviations.Refuse(bar.Editing(), a);
  };
  w.buttonEditor.OnRecording = [&abbreviations = w.abbreviations](bool on) {
    abbreviations.Recording(on);
  };
  w.tray.OnAbbreviationsSwitched = [&abbreviations = w.abbreviations](bool on) {
    abbreviations.Switch(on);
  };
  w.tray.OnFollowProgramsSwitched = [&programs = w.programs](bool on) { programs.Switch(on); };
  w.programs.show = [&bar](int group) { bar.ShowGroup(group); };
  w.tray.OnIconClick = [&bar] { bar.ShowFromTray(); };
  w.tray.OnFind = [&r = w.requests] { r.OpenFind(); };
  w.find.Chosen = [&r = w.requests](int group, int button) { r.Found(group, button); };
  w.tray.OnEndSession = [&w, &bar] { SaveAtExit(w.session, bar, w.places); };
  w.a.window.OnSysCommand = [&bar](WPARAM command) { return bar.HandleSysCommand(command); };
  w.typing.Service().onTyping = [&w, &bar](bool on) {
    w.abbreviations.Typing(on);
    bar.TypingChanged(on);
    w.requests.TypingChanged(on);
    if (!on) w.programs.TypingEnded();
  };
  w.editorWindow.OnMoved = NoteMoves(w.editorWindow.place(), w.session);
  w.list.OnMoved = NoteMoves(w.list.place(), w.session);
}

// The wiring refers to the bar, which goes first when RunWindows returns.
void UnwireFromBar(const AroundTheBar& w) {
  w.a.window.OnSysCommand = nullptr;
  w.tray.OnIconClick = nullptr;
  w.tray.OnFind = nullptr;
  w.find.Chosen = nullptr;
  w.tray.OnEndSession = nullptr;
  w.buttonEditor.TemplateFont = nullptr;
  w.editorWindow.OnShortcutChosen = nullptr;
  w.editorWindow.OnDoneRefusal = nullptr;
  w.editorWindow.OnAbbreviationRefusal = nullptr;
  w.buttonEditor.OnRecording = nullptr;
  w.tray.OnAbbreviationsSwitched = w.tray.OnFollowProgramsSwitched = nullptr;
  w.typing.Service().onTyping = nullptr;
  w.editorWindow.OnMoved = w.list.OnMoved = nullptr;
}

// The bar exists and the store is loaded: typing follows the foreground, the requests take
// their keys, and the abbreviation hook's news has a window to go to.
void StartAroundTheBar(const AroundTheBar& w, BarWindow& bar) {
  w.typing.Start(bar.hwnd());
  w.requests.Start(bar.hwnd(), w.editorWindow.hwnd());
  w.abbreviations.Start(w.requests.hwnd());
  w.tray.CheckAbbreviations(w.abbreviations.On());
  w.programs.Start();
  w.tray.CheckFollowPrograms(w.programs.On());
  SetWindowPos(w.a.window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

// The end of a normal run: the icon goes first, so the user sees the program end at once;
// then the save.
void StopAroundTheBar(const AroundTheBar& w, BarWindow& bar) {
  w.tray.RemoveIcon();
  if (w.buttonEditor.Recording()) w.buttonEditor.ToggleRecording();
  w.programs.Stop();
  w.abbreviations.Stop();
  w.requests.Stop();
  w.typing.Stop();
  SaveAtExit(w.session, bar, w.places);
  UnwireFromBar(w);
}

// Returns the exit code.
int RunMessageLoop() {
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return static_cast<int>(m.wParam);
}

// Makes the windows in their fixed order and wires them together, runs the message loop,
// and saves at the end of a normal run. Returns the exit code.
int RunWindows(app::Application& a) {
  // Made before any window: the windows read and change the store and the settings there.
  WinFileSystem files;
  const WinAnsiCodePage ansi;
  Session session(files, a.exeDir, ansi);
  session.today = LocalDate;  // the daily backups go by the local calendar
  app::TrayWindow tray;
  editor::EditorWindow editorWindow;
  typing::ListPickerWindow list;
  find::FindPopup find;
  editor::KeyHookLibrary hook(a.exeDir);
  editor::ButtonEditor buttonEditor(editorWindow, hook);
  app::Abbreviations abbreviations(session);
  tray.Create(a.window.hwnd(), a.iconSmall);
  editorWindow.Create(a.window.hwnd(), a.iconSmall);
  list.Create(a.window.hwnd(), a.iconSmall);
  find.Create(a.window.hwnd());
  const std::vector<const SettingsPlace*> places{&editorWindow.place(), &list.place()};
  const std::optional<std::string> unreadable = LoadSession(session, places);
  // Typing: the one way every window types, with what it needs of the system, and the one
  // door every request to type comes through.
  app::TypingSetup typing(session, list, tray, abbreviations);
  // The bar, the abbreviations and the find window follow the program typed into.
  app::ProgramFollower programs(session, typing.Service(), abbreviations);
  app::TypeRequests requests(session, typing.Service(), typing.HandOver(),
                             [&find, &programs](const Store& store, HWND target) {
                               find.Open(store, target, programs.Program());
                             });
  SaveSoonAfterChanges(session, [&session, &abbreviations, &requests] {
    abbreviations.StoreChanged(session.store());
    requests.StoreChanged();
  });
  BarWindow bar(BarSurroundings{a.window.hwnd(), &session, a.icon, a.iconSmall, &buttonEditor,
                                &typing.Service(), [&requests] { requests.OpenFind(); }});
  const AroundTheBar around{a,        tray,     editorWindow, find,    buttonEditor,
                            abbreviations, typing, requests, programs, session,
                            list,     places};
  WireToBar(around, bar);
  bar.Create();
  StartAroundTheBar(around, bar);
  if (unreadable) win::ShowMessage(bar.hwnd(), *unreadable);
  const int exitCode = RunMessageLoop();
  StopAroundTheBar(around, bar);
  return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  app::Application& a = app::App();
  PrepareApplication(a, instance);
  if (AnotherCopyRuns()) return 0;
  return RunWindows(a);
}
