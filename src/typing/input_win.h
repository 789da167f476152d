#pragma once
// The question window of a text's {input} codes: one small window at the mouse pointer, a
// label and a field per name, OK and Cancel.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "typing/ports.h"
#include "win/theme.h"
#include "win/window.h"

namespace ks::typing {

class InputWindow : public ks::win::Window, public InputQuestion {
 public:
  static constexpr int kFirstEditId = 200;  // the field of name i is kFirstEditId + i

  // The window is made at its first question, owned by `owner`.
  explicit InputWindow(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }

  // Shows one field per name holding its answer, the keyboard in the first, and waits:
  // the fields' texts after OK or Enter, nothing after Cancel, Esc or a close.
  std::optional<std::vector<std::string>> Ask(
      const std::vector<InputQuestionField>& fields) override;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // The labels, the fields and the buttons for `fields`, in place of the last question's,
  // and the window sized around them at the pointer.
  bool MakeControls(const std::vector<InputQuestionField>& fields);
  void PlaceAtPointer(int clientW, int clientH);
  void Activated(bool active);

  HWND owner_ = nullptr;
  std::vector<HWND> edits_;
  std::vector<HWND> controls_;
  HWND focus_ = nullptr;  // where the keyboard was when the window was left
  ks::win::UniqueFont font_;
  ks::win::WindowTheme theme_;  // dark when Windows' apps are
  int modalResult_ = 0;
};

}  // namespace ks::typing
