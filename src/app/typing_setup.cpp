#include "app/typing_setup.h"

namespace ks::app {

TypingSetup::TypingSetup(Session& session, typing::ListPickerWindow& picker, TrayWindow& tray,
                         AbbreviationWatcher& abbreviations)
    : picker_(picker),
      tray_(tray),
      watch_([this] {
        FollowForeground(service_.Tracker());
      }),
      handOver_(watch_, facts_, [this](const std::string& text) { Message(text); }),
      service_(TypingPorts{sink_, layout_, clock_, handOver_, &pump_, this, &starter_, this,
                           &abbreviations, &conditions_, &clipboard_, this},
               facts_, boxes_) {
  conditions_.settings = &session.settings();
  conditions_.accentWaiting = [&abbreviations] { return abbreviations.AccentWaiting(); };
  conditions_.capsLock = [&abbreviations] { return abbreviations.CapsLock(); };
}

void TypingSetup::Start(HWND bar) {
  bar_ = bar;
  starter_.owner = bar;
  question_.SetOwner(bar);
  watch_.Start();
  // A window that was in front before the watch began sends no event.
  FollowForeground(service_.Tracker());
}

void TypingSetup::Stop() {
  watch_.Stop();
  bar_ = nullptr;
}

void TypingSetup::Message(const std::string& text) { boxes_.Message(text); }

void TypingSetup::Notice(const std::string& text) { tray_.Balloon(text); }

std::optional<std::string> TypingSetup::Pick(const std::vector<std::string>& entries) {
  std::optional<std::string> pick = picker_.Pick(entries);
  // The keys are on their way to the target: the bar comes back on top without taking the
  // foreground from it. A bar the user hid (a shortcut's pick) stays hidden.
  if (bar_)
    SetWindowPos(bar_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  return pick;
}

std::optional<std::vector<std::string>> TypingSetup::Ask(
    const std::vector<InputQuestionField>& fields) {
  // The run's window stays the target while the question is in front, and gets the focus
  // back from it before the first key.
  TargetHold hold(&service_.Tracker());
  std::optional<std::vector<std::string>> answers = question_.Ask(fields);
  if (bar_)
    SetWindowPos(bar_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  return answers;
}

}  // namespace ks::app
