#pragma once
// The program's standard questions: message boxes, Yes/No questions and the input box.
#include <windows.h>

#include <optional>
#include <string>

#include "common/design.h"
#include "contract.h"

namespace ks::win {

// A message with an OK button, titled "Keystrum". Modal for the whole program.
void ShowMessage(HWND owner, const std::string& text);

// A Yes/No question with the question icon; true only when the answer is Yes.
bool Confirm(HWND owner, const std::string& text, const std::string& title = contract::kTitle);

// Control ids of the input box; OK and Cancel carry the standard IDOK and IDCANCEL.
inline constexpr int kInputPromptId = 100;
inline constexpr int kInputEditId = 101;

// A modal dialog titled `caption` with `prompt`, one unmasked edit of at most 255
// characters holding `value`, and OK / Cancel. Returns the edit's text on OK, nothing
// on Cancel or when the dialog is closed. `preselect` selects the given text so that
// typing replaces it; otherwise the caret goes after it.
std::optional<std::string> InputQuery(HWND owner, const std::string& caption,
                                      const std::string& prompt, const std::string& value = {},
                                      bool preselect = false);

}  // namespace ks::win
