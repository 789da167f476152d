#pragma once
// The keyboard as the abbreviation watch takes it: the keys, the layouts and the keyboard
// the hook follows are src/keys' (named here as the watch names them), and which of the
// keys are the user's.
#include <cstdint>

#include "keys/keyboard.h"
#include "keys/layouts.h"

namespace ks::abbrev {

namespace vk = keys::vk;
using keys::Held;
using keys::KeyEvent;
using keys::Keyboard;
using keys::KeyLayouts;
using keys::KeyState;
using keys::LayoutId;

// Input the program injected itself: never watched, never a reason to stop a run.
bool IsOwnInput(const KeyEvent& e);

// A key the user pressed while the program types ends the run. Only a fresh press counts:
// the release of the key that finished an abbreviation, or the repeats of a key held
// since before the run, are no wish to stop.
bool StopsRun(const KeyEvent& e, bool wasDown);

// The shortcut (1..26, Ctrl+Alt+A..Z) a key-down stands for, judged at the press with the
// layout of the window in front; 0 when it is no Ctrl+Alt+letter (Shift or the Windows
// key held too, a release, another key), or when that layout makes a character of it:
// then it must pass through untouched.
int ShortcutAtPress(const Keyboard& keyboard, const KeyEvent& e, LayoutId layout);

}  // namespace ks::abbrev
