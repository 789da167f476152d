#pragma once
// The bar's two menus: the button menu (a right click on a button) with its Copy to Group
// and Move to Group submenus, and the group menu (a right click on the group list); and
// the font dialog the button menu opens. Their commands act on the store through the
// bar's view and boxes, and every one of them is noted as a change.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "bar/ports.h"
#include "bar/shortcuts.h"
#include "store/session.h"

namespace ks {

// The button-font template as a whole font, its height at the system DPI: the font
// dialog and the editor reckon in points there, whatever display the bar is on.
LOGFONTW TemplateFont(const Settings& settings);

class BarMenus {
 public:
  // What the commands act on; every reference outlives the menus.
  struct Wiring {
    const HWND& owner;  // the bar, read at every menu: it may be made after this
    Session& files;
    BarView& view;
    Dialogs& dialogs;
    Editor* editor;
    bool& unlocked;  // the active group's lock
    std::function<void()> openFind;  // "Find..."
    std::function<void()> undo;       // "Undo Typing"
    std::function<void()> changed;    // after every command that may change the store
    std::function<void()> fontTaken;  // the button font was chosen or applied
  };
  explicit BarMenus(Wiring wiring) : w_(std::move(wiring)) {}
  ~BarMenus();
  BarMenus(const BarMenus&) = delete;
  BarMenus& operator=(const BarMenus&) = delete;

  void Create();
  // Replaces the entries of both submenus with one entry per name, in group order.
  void RebuildGroupMenus(const std::vector<std::string>& groupNames);
  // The button menu at `screen`, for button `index` of the active group.
  void OpenButtonMenu(POINT screen, int index);
  // The group menu at the pointer.
  void OpenGroupMenu();
  // The button the editor is open on (Button 0: a new one in that group).
  ButtonRef Editing() const { return editing_; }

 private:
  static UINT_PTR CALLBACK FontDialogHook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  static UINT_PTR FontDialogMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
  void ButtonMenuCommand(UINT id, int k);
  void GroupMenuCommand(UINT id);
  void ChooseButtonFont();
  // Takes the face and size of the font dialog's choice; every button keeps its colour.
  void TakeButtonFont(const LOGFONTW& lf);

  Wiring w_;
  HMENU buttonMenu_ = nullptr;
  HMENU groupMenu_ = nullptr;
  // The group menu with "New Button" first, for a group without buttons: no button menu
  // can open there to give it its first one.
  HMENU emptyGroupMenu_ = nullptr;
  HMENU copyMenu_ = nullptr;
  HMENU moveMenu_ = nullptr;
  ButtonRef editing_;
};

}  // namespace ks
