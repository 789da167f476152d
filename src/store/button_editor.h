#pragma once
// The button editor as the bar's commands use it and the editor window provides it: it
// shows one button's fields and hands them back edited. Here, beneath both, so that
// neither includes the other.
#include <cstdint>
#include <string>

#include "store/store.h"

namespace ks {

// The five values the button editor shows and hands back: a button's.
using EditorFields = Button;

// The button editor window, shown modally.
class Editor {
 public:
  virtual ~Editor() = default;
  // Sets the window caption (the editor's mode), shows `fields`, runs modally. Only
  // when the user closes it with Done does it write the edited values back into
  // `fields` and return true.
  virtual bool ShowModal(const std::string& caption, EditorFields& fields) = 0;
};

// What the editor says when a shortcut is picked in its list; the bar's shortcut keys
// decide it.
struct ShortcutChoice {
  bool Refused = false;  // the list goes back to the shortcut shown before
  std::string Message;   // empty: nothing to tell
};

// The editor's list line of a Shortcut value: "None", "<ctrl><alt>A" .. "<ctrl><alt>Z".
inline std::string ShortcutItemText(int32_t shortcut) {
  if (!IsShortcut(shortcut)) return "None";
  return std::string("<ctrl><alt>") + static_cast<char>('A' + shortcut - 1);
}

}  // namespace ks
