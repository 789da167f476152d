#include "abbrev/keyboard.h"

#include "contract.h"

namespace ks::abbrev {

bool IsOwnInput(const KeyEvent& e) { return e.ExtraInfo == contract::kInjectTag; }

bool StopsRun(const KeyEvent& e, bool wasDown) { return !e.Up && !wasDown && !IsOwnInput(e); }

}  // namespace ks::abbrev
