#include "typing/service.h"

#include "typing/keys.h"
#include "typing/passwords.h"

namespace ks {

bool TypingService::Type(const std::string& text, Erase erase) {
  if (runs_++ == 0 && onTyping) onTyping(true);
  const bool typed = typist_.SendString(target_, text, erase);
  if (--runs_ == 0 && onTyping) onTyping(false);
  return typed;
}

bool TypingService::MayType(const Store& store, ButtonRef b, From from) {
  if (!HasButton(store, b)) return false;
  TargetHold hold(&tracker_);
  ++questions_;
  const bool mayType = from == From::Bar ? CheckPassword(store, unlocked_, boxes_)
                                         : AskPasswordFor(store, b, unlocked_, boxes_);
  --questions_;
  // The store may have changed while the box was open.
  return mayType && HasButton(store, b);
}

bool TypingService::TypeButton(const Store& store, ButtonRef b, From from, Erase erase) {
  return MayType(store, b, from) && Type(store.ButtonAt(b.Group, b.Button).String, erase);
}

void TypingService::Tell(const std::string& text) {
  ++questions_;
  boxes_.Message(text);
  --questions_;
}

void TypingService::ReleaseCtrlAlt() {
  typist_.SimulateKeyUp(vk::Control);
  typist_.SimulateKeyUp(vk::Menu);
}

}  // namespace ks
