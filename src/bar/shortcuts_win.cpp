#include "bar/shortcuts_win.h"

namespace ks {

bool WinHotKeys::Register(int shortcut) {
  // No repeats: a held letter must not type its text again and again.
  return RegisterHotKey(owner_, shortcut, MOD_CONTROL | MOD_ALT | MOD_NOREPEAT,
                        ShortcutLetterKey(shortcut)) != FALSE;
}

void WinHotKeys::Unregister(int shortcut) { UnregisterHotKey(owner_, shortcut); }

bool WinShortcutLayout::MakesCharacter(int shortcut) const {
  // The layout of the window in front: the user may switch it per window at any time.
  HWND front = GetForegroundWindow();
  HKL layout = GetKeyboardLayout(front ? GetWindowThreadProcessId(front, nullptr) : 0);
  BYTE state[256] = {};
  state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
  state[VK_MENU] = state[VK_LMENU] = 0x80;
  const UINT vk = ShortcutLetterKey(shortcut);
  const UINT scan = MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout);
  WCHAR out[8] = {};
  // Flag 4 leaves the keyboard state alone where the system knows it; elsewhere a dead
  // key's state is cleared below, so the user's next key composes as it would have.
  constexpr UINT kKeepState = 4;
  int n = ToUnicodeEx(vk, scan, state, out, 8, kKeepState, layout);
  if (n < 0) {
    for (int i = 0; i < 2 && ToUnicodeEx(vk, scan, state, out, 8, kKeepState, layout) < 0; ++i) {
    }
    return true;  // a dead key is a character in the making
  }
  // Ctrl+letter alone gives a control character below the space, which types nothing.
  return n > 0 && out[0] >= 0x20;
}

bool WinHeldKeys::IsDown(std::uint8_t vk) const { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

}  // namespace ks
