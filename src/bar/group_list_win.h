#pragma once
// The bar's group list: a sorted drop-down list of the group names in cell 0, whose lines
// are kept (as the sorted list would keep them) until the control is made when the bar is
// first shown. Its part of the bar's view is answered here.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "bar/groups.h"
#include "bar/ports.h"
#include "store/session.h"
#include "win/controls.h"

namespace ks {

class GroupListControl : public BarView {
 public:
  // ---- BarView: the group list ----
  int AddGroupName(const std::string& name) override;
  void DeleteGroupItem(int position) override;
  void SelectGroupItem(int position) override;
  std::string SelectedGroupName() const override;
  int SelectedGroupItem() const override;

 protected:
  // The session's store names the groups the lines stand for.
  explicit GroupListControl(const Session& files) : files_(files) {}

  // Makes the control in `parent`, `width` wide, with the lines kept so far filled in
  // anew by the caller; `proc` with `self` subclasses it.
  void MakeGroupList(HWND parent, int width, int dpi, SUBCLASSPROC proc, DWORD_PTR self);
  // Empties the lines, of the control or kept.
  void ClearGroupList();
  // Sizes the list for a display of `dpi`: its font, its lines, and its closed height of
  // exactly one cell `cellHeight` high; `width` wide.
  void FitGroupList(int width, int cellHeight, int dpi);

  HWND groupList_ = nullptr;

 private:
  const Session& files_;
  GroupLines keptLines_;  // until the control is made
  win::UniqueFont listFont_;
  int fontDpi_ = 0;  // the DPI the font was made for
};

}  // namespace ks
