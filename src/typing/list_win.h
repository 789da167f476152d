#pragma once
// The list picker: a small window in which the user double-clicks one entry of a LIST
// type code.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/places_win.h"
#include "store/settings.h"
#include "typing/ports.h"
#include "win/controls.h"
#include "win/theme.h"
#include "win/window.h"

namespace ks::typing {

class ListPickerWindow : public ks::win::Window, public ListPicker {
 public:
  static constexpr const char* kCaption = "Select";
  static constexpr int kListId = 100;
  // Sizes at 96 DPI.
  static constexpr int kItemHeight = 16;
  static constexpr int kDefaultWidth = ks::kListWidth;
  static constexpr int kDefaultHeight = ks::kListHeight;

  // Creates the hidden picker, owned by `owner`, centred on the screen. Its list is made
  // at the first pick: the program is ready sooner without it.
  bool Create(HWND owner, HICON icon);

  // Shows `entries` in their order and waits. Returns the double-clicked entry, or
  // nothing when the window was closed without a pick.
  std::optional<std::string> Pick(const std::vector<std::string>& entries) override;

  // The picker's place in the settings, which it reads and writes itself.
  const ks::SettingsPlace& place() const { return place_; }
  // The user ended a move or a resize of the picker.
  std::function<void()> OnMoved;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool MakeList();
  void TakeDoubleClickedLine();
  void TakeActivation();
  // The font and the line height for the DPI of the display the picker is on.
  void ApplyDpi();

  HWND list_ = nullptr;
  ks::win::UniqueFont font_;
  ks::win::WindowTheme theme_;  // dark when the apps are
  int modalResult_ = 0;
  std::wstring selection_;
  ks::SettingsPlace place_{ks::kListPlace, hwnd_};
};

}  // namespace ks::typing
