#pragma once
// The bar follows the program the user types into (bar/program_groups.h): told by the
// typing service's tracker each time the target window changes, as the foreground events
// come, never on a timer; the abbreviations and the find window follow the program too.
// The tray's "Follow Programs" turns the bar's following off.
#include <windows.h>

#include <functional>
#include <string>

#include "app/abbreviations.h"
#include "bar/program_groups.h"
#include "store/session.h"
#include "typing/service.h"
#include "win/window.h"

namespace ks::app {

class ProgramFollower : public win::Window {
 public:
  ProgramFollower(Session& session, TypingService& typing, Abbreviations& abbreviations)
      : session_(session), typing_(typing), abbreviations_(abbreviations) {}

  // Shows group g as if chosen in the group list: the bar, once it exists.
  std::function<void(int group)> show;

  // Makes the hidden window the switches wait in, listens to the tracker from now on and
  // takes the target it has already.
  bool Start();
  void Stop();
  // The last typing run ended: a switch during it comes now.
  void TypingEnded() { FollowSoon(); }

  // The tray's switch, kept in the settings ("FollowPrograms" in [Options]).
  bool On() const { return session_.settings().FollowPrograms != 0; }
  void Switch(bool on);

  // The file name of the target's program; empty before any, or when it cannot be read.
  const std::string& Program() const { return program_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT kFollow = WM_APP + 1;

  void TargetChanged(WindowId target);
  // The bar changes after what is under way: a new target is often told in the middle of
  // a press on the bar (its activation), whose button must stay the one the user saw, and
  // a run may be pumping messages.
  void FollowSoon();
  void Follow();
  void Show(int group);

  Session& session_;
  TypingService& typing_;
  Abbreviations& abbreviations_;
  ProgramGroups rule_;
  std::string program_;
  bool posted_ = false;
};

}  // namespace ks::app
