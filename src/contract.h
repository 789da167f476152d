#pragma once
// What other processes and the tests know of a running Keystrum: its window classes, the
// messages it answers, the mark on the input it injects and its title. Written once here;
// the program, keystrum.dll, the end-to-end tests, the test helpers and the benchmarks
// include it. Free of <windows.h> so that the core may use it too: the message numbers
// are spelled out (WM_USER is 0x0400, WM_APP 0x8000).
#include <cstdint>

namespace ks::contract {

// The title of every window and message box of the program.
inline constexpr const char* kTitle = "Keystrum";

// The window classes keep the names a form designer gave them; tools and tests find the
// windows by them.

// The hidden application window, which owns every other one.
inline constexpr const char* kApplicationClass = "TApplication";
// The semaphore the running copy holds, so that a second start only says so.
inline constexpr const char* kSingleInstanceName = "KsmSemaphore";

// The bar. Its button i (1-based) is the child control with the base id plus i.
inline constexpr const char* kBarClass = "TMainForm";
inline constexpr int kBarButtonIdBase = 1000;
inline constexpr int kBarGroupListId = 900;
// Asks the bar of the test build keystrum_probe.exe (tests/e2e/probe; the shipped program
// answers no such query) for the text of a system-menu item: wParam 0 the application
// window's menu, 1 the bar's; lParam the position. The answer is a global atom holding the
// text, which the asker deletes. WM_APP + 100.
inline constexpr unsigned kQuerySysMenuText = 0x8064;
// Asks the same bar for the text of the last balloon the tray icon showed since the
// previous ask: the answer is a global atom holding it (0 for none), which the asker
// deletes. WM_APP + 101.
inline constexpr unsigned kQueryBalloonText = 0x8065;
// Tells the same bar to let at most wParam more of the program's injected input events
// through and refuse the rest, as the system does when a window of higher rights is in
// front; lParam 0 lifts the limit. Answers 1. WM_APP + 102.
inline constexpr unsigned kProbeLimitInput = 0x8066;

// The button editor and the list picker.
inline constexpr const char* kEditorClass = "TKsmForm";
inline constexpr const char* kListClass = "TListForm";

// The question of a text's {input} codes: per name a label and an Edit, then OK and Cancel.
inline constexpr const char* kInputClass = "KeystrumInput";

// The find window: one Edit for the query, the buttons it finds listed below.
inline constexpr const char* kFindClass = "KeystrumFind";

// The notification-area icon's window, and the hidden form that holds it and its menu.
// The icon tells its window of a click with kTrayCallback, the mouse message (WM_LBUTTONUP,
// WM_RBUTTONUP...) in lParam (WM_USER + 1); the window posts itself kTrayTipRefresh to put
// the tooltip back (WM_USER + 2).
inline constexpr const char* kTrayIconClass = "TTrayIcon";
inline constexpr const char* kTrayFormClass = "TTrayForm";
inline constexpr unsigned kTrayCallback = 0x0401;
inline constexpr unsigned kTrayTipRefresh = 0x0402;

// The abbreviation hook (src/abbrev/hook_win.h) posts these to the window it was given.
// kAbbreviationTyped (WM_APP + 120): the characters just typed end with a button's
// abbreviation; wParam the group (low word) and the button (high word), lParam the
// Backspaces that take it out of an edit control (low word), its characters (high word:
// fewer when it has a character beyond the Basic Multilingual Plane) and, in bits 32 to
// 47, its last character when the hook kept that key from the window (else 0; not
// counted in the two before): the receiver types it when it types nothing else.
// kUserKeyWhileTyping (WM_APP + 121): the user pressed a key while the program types.
inline constexpr unsigned kAbbreviationTyped = 0x8078;
inline constexpr unsigned kUserKeyWhileTyping = 0x8079;

// The mark in dwExtraInfo of every input event the program injects ("KSTM"). The recorder
// leaves such events out, so typing a button never records itself.
inline constexpr std::uintptr_t kInjectTag = 0x4B53544D;

}  // namespace ks::contract
