#pragma once
// keystrum.dll: the keystroke recorder's system-wide keyboard hook.
//
// KeyHook_Start(receiver) captures every keystroke of the user until KeyHook_Stop and hands
// each to `receiver` as that window's own WM_KEYDOWN, WM_CHAR and WM_KEYUP messages. The
// characters are UTF-16 units, as a Unicode window takes them (a character beyond the Basic
// Multilingual Plane comes as two). Both are exported by name, undecorated, with the
// standard calling convention.
#include <windows.h>


extern "C" {

// Starts capturing for `receiver`; a capture already running is stopped first, so a second
// Start switches to the new window. FALSE when `receiver` is not a window or the hook could
// not be installed (then nothing is captured).
BOOL WINAPI KeyHook_Start(HWND receiver);

// Ends the capture: unhooks and ends the hook's thread before returning. Harmless when no
// capture is running.
BOOL WINAPI KeyHook_Stop();

// Never called: its presence tells the program that the characters this library delivers
// are the ones the other program received (layout, Shift, Caps Lock and dead keys
// applied), so the program must not shift them again.
BOOL WINAPI KeyHook_CharactersAsTyped();

}  // extern "C"
