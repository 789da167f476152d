#pragma once
// The program's modal boxes, as the commands and the typing service ask them; the bar's
// window owns them, the unit tests fake them.
#include <optional>
#include <string>

namespace ks {

// The program's modal boxes. Messages are titled "Keystrum".
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A plain message box with an OK button.
  virtual void Message(const std::string& text) = 0;
  // A Yes/No question; true only for Yes.
  virtual bool Confirm(const std::string& text, const std::string& title) = 0;
  // The input box: one unmasked field of at most 255 characters holding `defaultText`
  // (selected when `preselect`). nullopt when the user cancels or closes the box.
  virtual std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                           const std::string& defaultText, bool preselect) = 0;
};

}  // namespace ks
