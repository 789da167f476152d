#pragma once
// The find window: the user types a few letters into its one edit, and the buttons of
// every group that answer them are listed below it, best first (find/index.h); Enter or
// a double-click chooses one. It closes at once on Esc and when it loses the activation.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "find/index.h"
#include "store/store.h"
#include "win/theme.h"
#include "win/window.h"

namespace ks::find {

class FindPopup : public ks::win::Window {
 public:
  // The one grey line of a query that finds nothing.
  static constexpr const char* kNothingFound = "Nothing found";
  // Sizes at 96 DPI.
  static constexpr int kClientWidth = 480;
  static constexpr int kVisibleLines = 10;
  static constexpr int kLineHeight = 34;  // two rows: caption and group, the text's start
  static constexpr int kEditHeight = 24;
  static constexpr int kPadding = 4;
  static constexpr int kPointerGap = 12;
  // Characters of a text prepared for a line; the line cuts it to its width.
  static constexpr std::size_t kTextChars = 160;
  static constexpr int kEditId = 100;
  static constexpr int kListId = 101;

  FindPopup() = default;
  ~FindPopup() override;

  // Creates the hidden window, owned by `owner`. Its controls are made at the first
  // opening.
  bool Create(HWND owner);

  // Shows the window at the mouse pointer, in front of every window, with the keyboard
  // focus in the edit. The edit holds the query of the last opening, selected, and the
  // list what it finds in `store`, which must stay as it is while the window is open
  // (the window closes as soon as another one is activated). `target`, the window the
  // user works in, gets the foreground back when the window closes by a key; nullptr
  // leaves the foreground to the system. The buttons of the groups serving `program`, the
  // file name of the target's program, come first among equally good ones.
  void Open(const Store& store, HWND target, const std::string& program);

  // Hides the window without a choice and without touching the foreground.
  void Close();

  // Called when the window has closed by a choice, with the group and the button chosen
  // (1-based), from the window's message loop after the key or click that chose.
  std::function<void(int group, int button)> Chosen;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  static constexpr UINT kChosenMessage = WM_APP + 1;    // wParam group, lParam button
  static constexpr UINT kRefocusMessage = WM_APP + 2;

  bool MakeControls();
  void ApplyDpi();
  void Layout();
  SIZE ClientSizeAt(int dpi) const;
  void PlaceAtPointer();
  void Refilter();
  void Choose();
  void CloseGivingBack(bool giveBack);
  void DrawLine(const DRAWITEMSTRUCT& d);
  // A found button's line: caption and group above, the start of its text below.
  void DrawHit(HDC dc, const RECT& r, const FindHit& hit, bool selected);
  void OnCommand(WPARAM wp);
  // A key pressed in the edit: true when the window took it.
  bool EditKey(UINT msg, WPARAM key);
  static LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);

  HWND edit_ = nullptr;
  HWND list_ = nullptr;
  ks::win::UniqueFont font_;       // the edit and the captions
  ks::win::UniqueFont smallFont_;  // the group names and the texts
  int dpi_ = 0;                    // of the fonts and sizes made
  ks::win::WindowTheme theme_;     // dark when the apps are

  const Store* store_ = nullptr;   // while open
  std::unique_ptr<FindIndex> index_;
  std::vector<FindHit> hits_;      // the list's lines
  HWND target_ = nullptr;
  bool open_ = false;
  bool placing_ = false;
  bool settingText_ = false;
  // The query kept from one opening to the next, for the run.
  std::wstring query_;
};

}  // namespace ks::find
