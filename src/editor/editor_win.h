#pragma once
// The button editor as the button commands use it: the editor window with the memo's key
// handling and keystroke recording wired in.
#include <windows.h>

#include <functional>
#include <string>

#include "editor/keyhook_win.h"
#include "editor/editor_window_win.h"
#include "editor/memo.h"
#include "store/button_editor.h"

namespace ks::editor {

class ButtonEditor : public ks::Editor {
 public:
  ButtonEditor(EditorWindow& window, KeyHookLibrary& hook);
  // Stops a recording and takes the editor's handlers back: the editor window outlives
  // this object at exit, and its destruction must not call into it.
  ~ButtonEditor() override;
  ButtonEditor(const ButtonEditor&) = delete;
  ButtonEditor& operator=(const ButtonEditor&) = delete;

  bool ShowModal(const std::string& caption, EditorFields& fields) override;

  // The Record/Stop toggle.
  void ToggleRecording();
  bool Recording() const { return recording_; }

  // The bar's button-font template: a new button's Color caption starts in it.
  std::function<LOGFONTW()> TemplateFont;
  // Recording starts (true) or stops (false): the abbreviations' watch rests meanwhile.
  std::function<void(bool)> OnRecording;

 private:
  MemoText ReadMemo() const;
  void WriteMemo(const MemoText& m);

  EditorWindow& window_;
  KeyHookLibrary& hook_;
  MemoKeys keys_;
  bool recording_ = false;
  std::string savedCaption_;
};

}  // namespace ks::editor
