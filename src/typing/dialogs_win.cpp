#include "typing/dialogs_win.h"

#include <optional>

#include "win/dialogs.h"

namespace ks {

void WinDialogs::Message(const std::string& text) {
  std::optional<TargetHold> hold;
  if (typing_.Running()) hold.emplace(&typing_.Tracker());
  win::ShowMessage(owner_, text);
}

bool WinDialogs::Confirm(const std::string& text, const std::string& title) {
  return win::Confirm(owner_, text, title);
}

std::optional<std::string> WinDialogs::Input(const std::string& caption, const std::string& prompt,
                                             const std::string& defaultText, bool preselect) {
  return win::InputQuery(owner_, caption, prompt, defaultText, preselect);
}

}  // namespace ks
