#pragma once
// The wait between a shortcut and its typing. When the system reports Ctrl+Alt+C the
// user still holds Ctrl, Alt and C: typed now, the text would reach the target as
// Ctrl+Alt chords, and a key released on the user's behalf would be released a second
// time by the user's own hand. So nothing is pressed or released for the user: the
// text waits until the keys are let go, for a bounded time, and is dropped (and the user
// told) when they are still held then.
#include <cstdint>
#include <string>
#include <vector>

#include "typing/ports.h"

namespace ks {

// How often the waiting shortcuts look at the keys; they wait at most kReleaseWaitMs after
// the last shortcut (or after the typing run or question that kept them waiting), as
// every typing run waits for the user's hand.
inline constexpr int kShortcutPollMs = kReleasePollMs;

// The keys as the user holds them now.
class HeldKeys {
 public:
  virtual ~HeldKeys() = default;
  virtual bool IsDown(std::uint8_t vk) const = 0;
};

class ShortcutQueue {
 public:
  // The system reported `shortcut` at `nowMs`. A report while its letter has stayed
  // down since the last one is the key repeating, not a new press, and is ignored: false.
  bool Fired(int shortcut, std::int64_t nowMs);
  // Takes back the press queued last: its password was refused. The question outlasts
  // the key's repeats, so the next report is a new press.
  void DropLast();

  struct Step {
    std::vector<int> Type;     // to type now, in the order pressed
    std::vector<int> Dropped;  // given up: keys were still held after the wait
    bool operator==(const Step&) const = default;
  };
  // One look at the keys. While `busy` (a typing run or a question of the program is
  // under way) the shortcuts keep waiting, and their wait starts again after it.
  Step Poll(const HeldKeys& keys, bool busy, std::int64_t nowMs);
  // Whether shortcuts are waiting, so polls are needed.
  bool Waiting() const { return !queue_.empty(); }

 private:
  struct Entry {
    int Shortcut = 0;
    bool LetterUp = false;  // its letter was seen released since it fired
  };
  void SeeLetters(const HeldKeys& keys);

  std::vector<Entry> queue_;
  Entry last_;  // the entry that left the queue last, still watched for its repeats
  std::int64_t since_ = 0;
};

// What the user is told when shortcuts were dropped.
std::string ShortcutsDroppedMessage(const std::vector<int>& shortcuts);

}  // namespace ks
