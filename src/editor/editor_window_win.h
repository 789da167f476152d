#pragma once
// The button editor: one window, reused for every New and Edit, that shows a button's
// name, hint, text, colour and shortcut and hands them back only when Done is pressed.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>

#include "editor/editor_layout.h"
#include "editor/memo.h"
#include "store/button_editor.h"
#include "store/places_win.h"
#include "store/settings.h"
#include "common/dpi.h"
#include "win/controls.h"
#include "win/theme.h"
#include "win/window.h"

namespace ks::editor {

class EditorWindow : public ks::win::Window {
 public:
  static constexpr const char* kInitialCaption = "Keystrum Information";
  static constexpr const char* kEditCaption = "Edit button";
  static constexpr const char* kNewCaption = "Create new button";
  static constexpr const char* kDoneHint = "Close window and Save changes";
  static constexpr const char* kRecordHint = "Record Key Strokes";
  static constexpr int kDefaultWidth = ks::kEditorWidth;
  static constexpr int kDefaultHeight = ks::kEditorHeight;
  static constexpr int kShortcutCount = ks::kNumShortcuts + 1;  // "None" and <ctrl><alt>A..Z

  // Control ids, stable so that tests can find the controls of a running editor.
  enum ControlId : int {
    kButtonNameId = 101,
    kButtonHintId = 102,
    kMemoId = 103,
    kDoneButtonId = 104,
    kRecordButtonId = 105,
    kDummyId = 106,
    kColorButtonId = 107,
    kKeyListId = 108,
    kNameLabelId = 109,
    kHintLabelId = 110,
    kShortcutLabelId = 111,
    kAbbreviationId = 112,
    kAbbreviationLabelId = 113,
  };
  // What the abbreviation's edit takes, in UTF-16 units.
  static constexpr int kAbbreviationLimit = 31;

  struct Fields {
    std::string Caption, Description, String;
    int32_t Color = 0;
    int32_t Shortcut = 0;
    std::string Abbreviation;
  };

  // What the memo's key handling gets to see. KeyDown and KeyPress may change the key
  // or character they are given, or return true to swallow it; the change handler runs
  // after every change of the memo's text, also text set by the editor itself. KeyPress
  // gets whole characters (code points): the two halves of a surrogate pair come joined.
  // Paste gets the clipboard's text (UTF-8) when there is one, and returns true when it
  // put it in itself, in place of the control's own paste.
  struct MemoEvents {
    std::function<bool(EditorWindow&, WPARAM& vk)> KeyDown;
    std::function<bool(EditorWindow&, WPARAM& ch)> KeyPress;
    std::function<void(EditorWindow&, WPARAM vk)> KeyUp;
    std::function<void(EditorWindow&)> Change;
    std::function<bool(EditorWindow&, const std::string& text)> Paste;
  };

  EditorWindow() = default;
  ~EditorWindow() override;

  // Creates the hidden editor owned by `owner`, at its default size centred on the screen.
  // Its controls come with its first use (any call below that needs them): nobody sees
  // them before a button is edited, and the program is ready sooner without them.
  bool Create(HWND owner, HICON icon);

  // Sets the caption (the mode), fills the controls from `f`, shows the editor modally
  // and, only when it was closed with Done, copies the controls back into `f`. The memo
  // shows the text with a line break after each {enter} (ks::MemoShown).
  bool ShowModal(const std::string& caption, Fields& f);

  // The font of the Color button's caption (a new button starts in the bar's font). The
  // colour stays the one the fields carry.
  void SetColorButtonFont(const LOGFONTW& font);

  // The editor's place in the settings, which it reads and writes itself.
  const ks::SettingsPlace& place() const { return place_; }
  // The user ended a move or a resize of the editor.
  std::function<void()> OnMoved;

  HWND memo() { return EnsureControls() ? memoEdit_ : nullptr; }
  HWND recordButton() { return EnsureControls() ? recordButton_ : nullptr; }
  HWND dummy() { return EnsureControls() ? dummy_ : nullptr; }

  // The memo's text as it shows it, breaks after {enter} included.
  std::string MemoText();
  // Replaces the memo's text and runs the change handler, as a user's edit would.
  void SetMemoText(const std::string& text);
  int32_t color() const { return color_; }
  void SetColor(int32_t color);
  int32_t shortcut();
  void SetShortcut(int32_t index);
  void SetHint(HWND control, const std::string& hint) {
    if (EnsureControls()) tips_.Update(control, hint);
  }

  // Hooks for the memo's key handling and for recording.
  void SetMemoEvents(MemoEvents events) { memoEvents_ = std::move(events); }
  std::function<void(EditorWindow&)> OnRecordToggled;
  // Runs when the editor stops being the active window of this program, including the
  // end of every modal showing, and when it is destroyed.
  std::function<void(EditorWindow&)> OnDeactivate;
  std::function<void(EditorWindow&)> OnDestroy;
  // A key picked in the shortcut list: what to tell, and whether the list goes back.
  std::function<ks::ShortcutChoice(int32_t shortcut)> OnShortcutChosen;
  // Done with the key the list shows: the reason it may not close, or nothing.
  std::function<std::optional<std::string>(int32_t shortcut)> OnDoneRefusal;
  // Done with the abbreviation the edit shows: the reason it may not close, or nothing.
  std::function<std::optional<std::string>(const std::string& abbreviation)>
      OnAbbreviationRefusal;

  // The colour dialog; separate so that a caller can preset and run it the same way.
  void PickCaptionColor();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void FillShortcutList();
  void DecorateButtons();
  void OnActivate(WPARAM wp, LPARAM lp);
  void OnCommand(WPARAM wp);
  static LRESULT CALLBACK MemoProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMemoMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp);
  // Makes the controls once; false when they could not be made.
  bool EnsureControls();
  // The controls and what they need besides (editor_controls_win.cpp): made in their creation
  // order at their design places, then their limits, list, tab order and subclasses.
  void CreateControls();
  void CreateAtDesignPlaces(HFONT font);
  void PrepareControls();
  // The DPI of the display the editor is on; fonts, labels and pictures made for it.
  int Dpi() const;
  void ApplyDpi();
  void ScaleColorFont(int dpi);
  void FitToSize(int cw, int ch);
  void TakeActivation();
  void LoseActivation();
  void DrawColorButton(const DRAWITEMSTRUCT& d);
  void RunChange();
  void ShortcutPicked();
  void FinishEditing();
  void SelectShortcut(int32_t index);

  HWND nameLabel_ = nullptr, hintLabel_ = nullptr, shortcutLabel_ = nullptr, dummy_ = nullptr, doneButton_ = nullptr,
       buttonName_ = nullptr, buttonHint_ = nullptr, recordButton_ = nullptr,
       memoEdit_ = nullptr, colorButton_ = nullptr, keyList_ = nullptr,
       abbreviationLabel_ = nullptr, abbreviation_ = nullptr;
  HWND lastFocus_ = nullptr;
  WNDPROC memoProc_ = nullptr;
  ks::Utf16Joiner memoChars_;
  ks::win::UniqueFont font_;
  ks::win::UniqueFont colorFont_;
  ks::win::WindowTheme theme_;  // dark when the apps are
  int colorFontDpi_ = ks::kBaseDpi;  // the DPI colorFont_ was made for
  struct IconDestroyer {
    void operator()(HICON i) const {
      if (i) DestroyIcon(i);
    }
  };
  std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer> doneGlyph_, recordGlyph_;
  ks::win::Tooltips tips_;
  int32_t color_ = 0;
  int32_t shortcutIn_ = 0;
  int32_t shortcutShown_ = 0;  // the key the list showed before the user's pick
  int modalResult_ = 0;
  bool controlsTried_ = false;
  bool activeInApp_ = false;
  bool changeSeen_ = false;
  MemoEvents memoEvents_;
  ks::SettingsPlace place_{ks::kEditorPlace, hwnd_};
};

}  // namespace ks::editor
