#include "abbrev/keyboard.h"

#include "contract.h"

namespace ks::abbrev {

bool IsOwnInput(const KeyEvent& e) { return e.ExtraInfo == contract::kInjectTag; }

bool StopsRun(const KeyEvent& e, bool wasDown) { return !e.Up && !wasDown && !IsOwnInput(e); }

int ShortcutAtPress(const Keyboard& keyboard, const KeyEvent& e, LayoutId layout) {
  if (e.Up || e.Vk < 'A' || e.Vk > 'Z') return 0;
  const Held held = keyboard.Modifiers();
  if (!held.Ctrl || !held.Alt || held.Shift || held.Win) return 0;
  if (keys::CtrlAltMakesCharacter(keyboard.Layouts(), layout, e.Vk)) return 0;
  return static_cast<int>(e.Vk - 'A' + 1);
}

}  // namespace ks::abbrev
