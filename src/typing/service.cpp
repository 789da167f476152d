#include "typing/service.h"

#include "typing/keys.h"

namespace ks {

bool TypingService::Type(const std::string& text, Erase erase) {
  if (runs_++ == 0 && onTyping) onTyping(true);
  const bool typed = typist_.SendString(target_, text, erase);
  if (--runs_ == 0 && onTyping) onTyping(false);
  return typed;
}

void TypingService::ReleaseCtrlAlt() {
  typist_.SimulateKeyUp(vk::Control);
  typist_.SimulateKeyUp(vk::Menu);
}

}  // namespace ks
