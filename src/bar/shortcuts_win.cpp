#include "bar/shortcuts_win.h"

#include "keys/layouts_win.h"

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
  const auto layout = reinterpret_cast<keys::LayoutId>(
      GetKeyboardLayout(front ? GetWindowThreadProcessId(front, nullptr) : 0));
  keys::WinKeyLayouts layouts;
  return keys::CtrlAltMakesCharacter(layouts, layout, ShortcutLetterKey(shortcut));
}

bool WinHeldKeys::IsDown(std::uint8_t vk) const { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

}  // namespace ks
