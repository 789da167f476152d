#pragma once
// The keyboard as the abbreviation watch takes it: src/keys follows the keys and answers
// what they make (its names are the watch's too); here, which keys are the user's.
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

}  // namespace ks::abbrev
