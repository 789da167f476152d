#pragma once
// The system's side of the shortcut keys: the hot keys taken for the bar, the layout
// that may turn Ctrl+Alt+letter into a character, and the keys the user holds now.
#include <windows.h>

#include "bar/shortcut_wait.h"
#include "bar/shortcuts.h"

namespace ks {

class WinHotKeys : public HotKeyRegistry {
 public:
  // `owner` is read at every call: the window may be made after this.
  explicit WinHotKeys(const HWND& owner) : owner_(owner) {}
  bool Register(int shortcut) override;
  void Unregister(int shortcut) override;

 private:
  const HWND& owner_;
};

class WinShortcutLayout : public ShortcutLayout {
 public:
  bool MakesCharacter(int shortcut) const override;
};

class WinHeldKeys : public HeldKeys {
 public:
  bool IsDown(std::uint8_t vk) const override;
};

}  // namespace ks
