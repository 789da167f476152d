#include "bar/shortcut_wait.h"

#include <algorithm>

#include "bar/shortcuts.h"

namespace ks {

namespace {

// The keys that change what a typed key means. Shift and the Windows keys are not part
// of a shortcut, but one pressed meanwhile would change the text all the same.
constexpr std::uint8_t kModifiers[] = {16 /*Shift*/, 17 /*Ctrl*/, 18 /*Alt*/, 91 /*LWin*/,
                                       92 /*RWin*/};

}  // namespace

bool ShortcutQueue::Fired(int shortcut, std::int64_t nowMs) {
  if (!IsShortcut(shortcut)) return false;
  const Entry& previous = queue_.empty() ? last_ : queue_.back();
  if (previous.Shortcut == shortcut && !previous.LetterUp) return false;
  queue_.push_back(Entry{shortcut, false});
  since_ = nowMs;
  return true;
}

void ShortcutQueue::DropLast() {
  if (!queue_.empty()) queue_.pop_back();
}

void ShortcutQueue::SeeLetters(const HeldKeys& keys) {
  auto see = [&](Entry& e) {
    if (e.Shortcut != 0 && !keys.IsDown(ShortcutLetterKey(e.Shortcut))) e.LetterUp = true;
  };
  for (Entry& e : queue_) see(e);
  see(last_);
}

ShortcutQueue::Step ShortcutQueue::Poll(const HeldKeys& keys, bool busy, std::int64_t nowMs) {
  SeeLetters(keys);
  Step step;
  if (queue_.empty()) return step;
  if (busy) {
    since_ = nowMs;
    return step;
  }
  const bool released =
      std::none_of(std::begin(kModifiers), std::end(kModifiers),
                   [&](std::uint8_t vk) { return keys.IsDown(vk); }) &&
      std::all_of(queue_.begin(), queue_.end(), [](const Entry& e) { return e.LetterUp; });
  std::vector<int>* out = nullptr;
  if (released)
    out = &step.Type;
  else if (nowMs - since_ >= kReleaseWaitMs)
    out = &step.Dropped;
  else
    return step;
  for (const Entry& e : queue_) out->push_back(e.Shortcut);
  last_ = queue_.back();
  queue_.clear();
  return step;
}

std::string ShortcutsDroppedMessage(const std::vector<int>& shortcuts) {
  std::string names;
  std::vector<int> told;
  for (int s : shortcuts) {
    if (std::find(told.begin(), told.end(), s) != told.end()) continue;
    told.push_back(s);
    if (!names.empty()) names += ", ";
    names += ShortcutName(s);
  }
  return "Nothing was typed for " + names + ": keys were still held down " +
         std::to_string(kReleaseWaitMs / 1000) +
         " seconds later.\nA shortcut key types its text once Ctrl, Alt and the letter are "
         "let go.";
}

}  // namespace ks
