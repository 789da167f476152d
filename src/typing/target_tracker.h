#pragma once
// Which window a press on the bar types into: the last window the user worked in. The
// tracker is told each moment the foreground moves, by the system's foreground events or
// by the bar's own activation, instead of asking for the foreground window on a timer, so
// the program sleeps while nothing happens. The Windows layer answers what it needs to
// know of a window; the unit tests answer from a script.
#include <functional>
#include <optional>
#include <string>

#include "typing/ports.h"

namespace ks {

// What the tracker asks the system about a window that has just come to the foreground.
class WindowFacts {
 public:
  virtual ~WindowFacts() = default;
  // Whether `w` still exists.
  virtual bool Exists(WindowId w) const = 0;
  // Whether `w` belongs to this program: the bar, the editor, the list picker, a message
  // box, the hidden application window the tray menu brings forward.
  virtual bool IsOwn(WindowId w) const = 0;
  // Whether `w` is the desktop or the shell's window, which hold the foreground when no
  // program does.
  virtual bool IsDesktop(WindowId w) const = 0;
  // The window class of `w`; empty when it cannot be read.
  virtual std::string ClassName(WindowId w) const = 0;
  // The title of `w` as the user sees it; empty when it has none.
  virtual std::string Title(WindowId w) const = 0;
  // Whether the thread of `w` has stopped taking its messages.
  virtual bool IsHung(WindowId w) const = 0;
  // The mandatory integrity level (a relative number, higher is more trusted) of the
  // process of `w`, and of this program; nothing when it cannot be read.
  virtual std::optional<std::uint32_t> IntegrityLevel(WindowId w) const = 0;
  virtual std::optional<std::uint32_t> OwnIntegrityLevel() const = 0;
};

// Why keys sent to `target` now would not reach it, as the user is told; nothing when
// they would. The system drops input into a program of a higher integrity level (one run
// as administrator) without a word, and a window that closed or hangs takes none either:
// the keys would end up in whatever happens to be in front, or nowhere.
std::optional<std::string> WhyKeysCannotReach(const WindowFacts& facts, WindowId target);

// What the user is told when the system refused to bring `target` to the front.
std::string ForegroundRefusedMessage(const WindowFacts& facts, WindowId target);

class TargetTracker {
 public:
  // `target` is where the target is kept: the typing service's `TargetWindow`.
  TargetTracker(const WindowFacts& facts, WindowId& target) : facts_(facts), target_(target) {}

  // The foreground passed to `w`; 0 when for a moment no window holds it, as while it
  // passes from one window to another. Also what the system says the foreground is when
  // the program starts and when the bar is shown, since a window that was already in
  // front then sends no event. Changes nothing while the target is held.
  void ForegroundChanged(WindowId w) {
    if (holds_ == 0) Consider(w);
  }

  // While a question of ours is open in the middle of a press (the group password, a
  // message during a typing run) the target stays the window the press meant, whatever the
  // user brings to the front meanwhile: the rest of the text belongs there. Holds nest.
  void Hold() { ++holds_; }
  void Release() {
    if (holds_ > 0) --holds_;
  }

  // The bar became active, taking the activation from `previous` (0 when the system does
  // not say, as for another process's window under some platforms). That window is the one
  // the user was working in, and becomes the target at once, before its event arrives.
  // Changes nothing while the target is held, as a shortcut pressed elsewhere while a
  // run's question is open would otherwise send the rest of that run there.
  void BarActivated(WindowId previous) {
    if (holds_ == 0) Consider(previous);
  }

  // Whether a press on the bar may type without taking the foreground: the window in
  // front, `foreground`, is the target, so the keys can go where the user's focus already
  // is. Any other window in front (the bar, one of ours, the desktop, none) needs the
  // foreground handed to the target first.
  // The target passed the rule when it became one, and a window's class and process never
  // change: only whether it still exists is asked again, since this runs at every press.
  bool TypesInPlace(WindowId foreground) const {
    return foreground != 0 && foreground == target_ && facts_.Exists(foreground);
  }

  // Whether typing into `w` would reach the user's program: a window that exists and is
  // neither the program's own, nor the desktop, nor one of the shell's (the taskbar, the
  // Start menu...).
  bool MayBeTarget(WindowId w) const;

  WindowId Target() const { return target_; }

  // Told each time the target becomes another window, as it happens: never for our own
  // windows, the desktop or the shell's, which never become the target.
  std::function<void(WindowId target)> onTargetChanged;

 private:
  void Consider(WindowId w) {
    // Every press and every activation asks: the target itself needs no new look.
    if (w == target_ || !MayBeTarget(w)) return;
    target_ = w;
    if (onTargetChanged) onTargetChanged(w);
  }

  const WindowFacts& facts_;
  WindowId& target_;
  int holds_ = 0;
};

// Holds `tracker`'s target for as long as it lives; none when `tracker` is null.
class TargetHold {
 public:
  explicit TargetHold(TargetTracker* tracker) : tracker_(tracker) {
    if (tracker_) tracker_->Hold();
  }
  ~TargetHold() {
    if (tracker_) tracker_->Release();
  }
  TargetHold(const TargetHold&) = delete;
  TargetHold& operator=(const TargetHold&) = delete;

 private:
  TargetTracker* tracker_;
};

}  // namespace ks
