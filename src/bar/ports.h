#pragma once
// What the bar's commands need from the windows, as small interfaces (the button editor's
// is store/button_editor.h, which the editor implements). The Win32 windows implement
// them; the unit tests fake them. Everything here is 1-based like the store: control i
// shows button i of the active group.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/design.h"
#include "store/button_editor.h"
#include "store/store.h"
#include "typing/dialogs.h"
#include "typing/ports.h"

namespace ks {

// The button bar as the commands see it.
class BarView {
 public:
  virtual ~BarView() = default;

  // ---- the 50 button controls ----
  // Hides controls 1..count.
  virtual void HideButtons(int count) = 0;
  // Shows control i with the bar's width and template font, `color` as font colour,
  // `caption` as face text and `hint` as tooltip. Does not position it.
  virtual void CreateButton(int i, const std::string& hint, const std::string& caption,
                            const std::string& text, int32_t color) = 0;
  // Changes only what control i shows: its face text, tooltip and font colour.
  virtual void SetFace(int i, const std::string& caption, const std::string& hint,
                       int32_t color) = 0;
  // Gives every one of the 50 controls (shown or hidden) the new width.
  virtual void SetButtonWidth(int width) = 0;
  // Lays the active group's grid out and sizes the bar (see layout.h).
  virtual void Display() = 0;
  // Puts the bar back into the topmost band and shows it, without moving or sizing it.
  virtual void BringToTop() = 0;
  // Gives the keyboard focus to the hidden Dummy button.
  virtual void FocusDummy() = 0;
  // The font colour of the button-font template: a new button's starting colour.
  virtual int32_t TemplateColor() const = 0;

  // ---- the group list: sorted by the control, without regard to case ----
  // Adds a line and returns the position (from 0) where the sorted list put it.
  virtual int AddGroupName(const std::string& name) = 0;
  virtual void DeleteGroupItem(int position) = 0;
  virtual void SelectGroupItem(int position) = 0;
  // The text of the selected line; empty when nothing is selected.
  virtual std::string SelectedGroupName() const = 0;
  // The position of the selected line, -1 when none.
  virtual int SelectedGroupItem() const = 0;

  // ---- the "Copy to Group" and "Move to Group" submenus ----
  // Replaces the entries of both submenus with one entry per name, in the order given
  // (group order), so entry k stands for group k + 1.
  virtual void RebuildGroupMenus(const std::vector<std::string>& groupNames) = 0;
};

// The abbreviations' watch as the bar keeps it informed; the application provides it.
class AbbreviationWatcher : public KeyWatch {
 public:
  virtual ~AbbreviationWatcher() = default;
  // After every change of the store.
  virtual void StoreChanged(const Store& store) = 0;
  // The first typing run begins (true) or the last one ends (false): meanwhile the user's
  // keys are not watched, and one pressed stops the run.
  virtual void Typing(bool on) = 0;
  // Whether an accent key the user pressed waits for its letter in the window in front.
  virtual bool AccentWaiting() const = 0;
  // Caps Lock as the watch follows the user's keys; nothing while it does not run.
  virtual std::optional<bool> CapsLock() const = 0;
};

}  // namespace ks
