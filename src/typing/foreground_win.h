#pragma once
// Following the foreground without waking up while nothing happens: the system tells the
// program through window events, delivered out of context to the thread that asked for
// them whenever it takes messages from its queue, also inside modal loops (message
// boxes, menus, dialogs, the list picker).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "typing/ports_win.h"
#include "typing/target_tracker.h"

namespace ks {

// Calls `moved` each time the foreground or the keyboard focus moves anywhere on the
// desktop. Windows reports a new foreground window with its own event; Wine 8 sends only
// the focus event, which also comes with every activation, so both are heard. One watch
// per process at a time.
class ForegroundWatch {
 public:
  explicit ForegroundWatch(std::function<void()> moved) : moved_(std::move(moved)) {}
  ForegroundWatch(const ForegroundWatch&) = delete;
  ForegroundWatch& operator=(const ForegroundWatch&) = delete;
  ~ForegroundWatch() { Stop(); }

  // Starts listening on the calling thread; false when the system refused both events.
  bool Start();
  void Stop();
  bool Running() const { return foreground_ || focus_; }

  // Gives `w` the foreground and waits until its thread has activated it, so that keys
  // sent next land there with the right Shift state. Sleeps until a message or an event
  // comes and lets `pump` handle them; asks again when another window took the
  // foreground meanwhile (a window of ours handing the activation back to its owner).
  // Gives up after `boundMs`. True when `w` is in front at the end; false when the system
  // refused it the foreground or it never came there.
  bool HandOver(HWND w, DWORD boundMs, const std::function<void()>& pump);

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                               LONG child, DWORD thread, DWORD time);

  std::function<void()> moved_;
  HWINEVENTHOOK foreground_ = nullptr;
  HWINEVENTHOOK focus_ = nullptr;
  // The thread a hand-over waits on, and whether it reported a focus since.
  DWORD awaitedThread_ = 0;
  bool focusReported_ = false;
};

// The window in front now may become the target: the user works in it, and its
// activation may have reached us as no event.
inline void FollowForeground(TargetTracker& tracker) {
  tracker.ForegroundChanged(ToWindowId(GetForegroundWindow()));
}
// A window of ours was activated from `fg`, or keys meant for a button were pressed in it:
// it becomes the target unless it is one of ours, the desktop or the shell's.
inline void ConsiderTarget(TargetTracker& tracker, HWND fg) {
  tracker.BarActivated(ToWindowId(fg));
}

// The hand-over of the bar's typing runs: the keys go to the target only where they can
// land, and the user is told, through `tell`, why they did not.
class TargetHandOver : public ForegroundHandOver {
 public:
  TargetHandOver(ForegroundWatch& watch, const WindowFacts& facts,
                 std::function<void(const std::string&)> tell)
      : watch_(watch), facts_(facts), tell_(std::move(tell)) {}
  bool WindowExists(WindowId w) override;
  bool BringToForeground(WindowId w) override;
  void WaitUntilKeysTaken(WindowId w, std::size_t keyEvents) override;

 private:
  ForegroundWatch& watch_;
  const WindowFacts& facts_;
  std::function<void(const std::string&)> tell_;
};

// What the target tracker needs to know of a window, from the system.
class SystemWindowFacts : public WindowFacts {
 public:
  bool Exists(WindowId w) const override;
  bool IsOwn(WindowId w) const override;
  bool IsDesktop(WindowId w) const override;
  std::string ClassName(WindowId w) const override;
  std::string Title(WindowId w) const override;
  bool IsHung(WindowId w) const override;
  std::optional<std::uint32_t> IntegrityLevel(WindowId w) const override;
  std::optional<std::uint32_t> OwnIntegrityLevel() const override;

 private:
  // A process keeps its level for life, and reading one is half a dozen round trips to
  // the system, asked before every press: ours is read once, the target's once per window.
  mutable std::optional<std::optional<std::uint32_t>> own_;
  mutable WindowId levelOf_ = 0;
  mutable std::optional<std::uint32_t> level_;
};

}  // namespace ks
