#pragma once
// The program's boxes, owned by one window (the bar). A box that opens in the middle of a
// typing run ("Unable to start ...", a password) holds the run's window: the rest of the
// text belongs there, whatever the user brings to the front meanwhile.
#include <windows.h>

#include "typing/dialogs.h"
#include "typing/service.h"

namespace ks {

class WinDialogs : public Dialogs {
 public:
  // `owner` is read at every box: the window may be made after this.
  WinDialogs(const HWND& owner, TypingService& typing) : owner_(owner), typing_(typing) {}

  void Message(const std::string& text) override;
  bool Confirm(const std::string& text, const std::string& title) override;
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, bool preselect) override;

 private:
  const HWND& owner_;
  TypingService& typing_;
};

}  // namespace ks
