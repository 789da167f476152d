#include "app/programs.h"

#include "typing/ports_win.h"

namespace ks::app {

bool ProgramFollower::Start() {
  if (!CreateWin("KeystrumPrograms", 0, "", 0, 0, 0, 0, 0, HWND_MESSAGE)) return false;
  rule_.SetFollowing(session_.store(), On());
  typing_.Tracker().onTargetChanged = [this](WindowId target) { TargetChanged(target); };
  if (typing_.TargetWindow() != 0) TargetChanged(typing_.TargetWindow());
  return true;
}

void ProgramFollower::Stop() {
  typing_.Tracker().onTargetChanged = nullptr;
  show = nullptr;
}

void ProgramFollower::Switch(bool on) {
  session_.settings().Set(&Settings::FollowPrograms, on ? 1 : 0);
  session_.Changed();
  Show(rule_.SetFollowing(session_.store(), on));
}

void ProgramFollower::TargetChanged(WindowId target) {
  // Asked once per new target, as its foreground event arrives: the name of the process's
  // image is one call to the system, and a window's program never changes.
  program_ = ProcessFileName(target);
  abbreviations_.ProgramChanged(program_);
  FollowSoon();
}

void ProgramFollower::FollowSoon() {
  if (posted_ || !hwnd_) return;
  posted_ = PostMessageW(hwnd_, kFollow, 0, 0) != FALSE;
}

void ProgramFollower::Follow() {
  const Store& store = session_.store();
  const bool typing = typing_.Running();
  int group = rule_.TargetChanged(store, program_, typing);
  if (group == 0 && !typing) group = rule_.TypingEnded(store);
  Show(group);
}

void ProgramFollower::Show(int group) {
  if (group != 0 && show) show(group);
}

LRESULT ProgramFollower::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kFollow) return Default(msg, wp, lp);
  posted_ = false;
  Follow();
  return 0;
}

}  // namespace ks::app
