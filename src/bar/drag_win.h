#pragma once
// The right button on a bar button: released where it went down it opens the button menu;
// dragged onto another button it moves the button there. Esc or a lost capture cancels.
#include <windows.h>

#include <array>
#include <functional>
#include <string>

#include "store/settings.h"

namespace ks {

// One of the bar's 50 button controls, and the face it shows: kept while the control is
// not made yet, and drawn from when it is.
struct ButtonControl {
  HWND hwnd = nullptr;
  std::string caption, hint;
  int32_t color = 0;
  bool shown = false;
};
// Index i stands for button i of the active group; 0 is unused.
using ButtonControls = std::array<ButtonControl, kMaxButtons + 1>;

class ButtonDrag {
 public:
  // `openMenu` opens the button menu at a point for a button; `drop` moves button `from`
  // onto `onto`; `ended` follows every end.
  ButtonDrag(const ButtonControls& buttons, std::function<void(POINT, int)> openMenu,
             std::function<void(int from, int onto)> drop, std::function<void()> ended)
      : buttons_(buttons), openMenu_(std::move(openMenu)), drop_(std::move(drop)),
        ended_(std::move(ended)) {}

  // Whether a right press is held on a button.
  bool Pressed() const { return pressed_; }
  // Whether the drag takes `msg` from the control of button `index`; sets `result` if so.
  bool Message(HWND button, int index, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

 private:
  void Begin(int index, POINT start);
  void Move(POINT screen);
  void End(POINT screen, bool cancelled);
  // The shown button at `screen`, 0 for none.
  int ButtonAt(POINT screen) const;

  const ButtonControls& buttons_;
  std::function<void(POINT, int)> openMenu_;
  std::function<void(int, int)> drop_;
  std::function<void()> ended_;
  bool pressed_ = false;
  bool dragging_ = false;
  int source_ = 0;
  POINT start_{};
};

}  // namespace ks
