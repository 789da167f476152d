// The bar's two menus: the button menu (a right click on a button) with its Copy to Group
// and Move to Group submenus, and the group menu (a right click on the group list); and
// the font dialog the button menu opens.
#include "bar/main_win.h"

#include <commdlg.h>

#include <vector>

#include "bar/commands.h"
#include "bar/groups.h"
#include "text/codepage_win.h"
#include "win/common_dialogs.h"
#include "win/glyphs.h"
#include "win/paint.h"

namespace ks {
namespace {

enum : UINT {
  kUndoTypingItem = 2001, kNewButtonItem, kEditButtonItem, kDeleteButtonItem, kButtonFontItem,
  kButtonWidthItem, kButtonCancelItem, kNewGroupItem, kEditGroupItem, kDeleteGroupItem,
  kSetPasswordItem, kRemovePasswordItem, kGroupCancelItem, kFindItem,
  kCopyItemBase = 3000,  // + group index - 1
  kMoveItemBase = 3100,
};

constexpr WORD kFontApplyButtonId = 0x0402;  // psh3: the font dialog's Apply button

// The group menu; for a group without buttons "New Button" comes first, since no button
// menu can open there to give it its first one.
std::vector<win::MenuLine> GroupMenuLines(bool newButtonFirst) {
  using win::Glyph;
  using win::kSeparator;
  std::vector<win::MenuLine> lines;
  if (newButtonFirst) lines = {{kNewButtonItem, "New Button", Glyph::New}, kSeparator};
  lines.insert(lines.end(), {
                                {kNewGroupItem, "New Group", Glyph::NewGroup},
                                {kEditGroupItem, "Edit Group", Glyph::EditGroup},
                                {kDeleteGroupItem, "Delete Group", Glyph::DeleteGroup},
                                kSeparator,
                                {kSetPasswordItem, "Password Protect", Glyph::Lock},
                                {kRemovePasswordItem, "Remove Password", Glyph::Unlock},
                                kSeparator,
                                {kGroupCancelItem, "Cancel", Glyph::Cancel},
                            });
  return lines;
}

}  // namespace

void BarWindow::CreateMenus() {
  using win::Glyph;
  using win::kSeparator;
  copyMenu_ = CreatePopupMenu();
  moveMenu_ = CreatePopupMenu();
  buttonMenu_ = win::BuildPopupMenu({
      {kUndoTypingItem, "Undo Typing", Glyph::Undo},
      kSeparator,
      {kNewButtonItem, "New Button", Glyph::New},
      {kEditButtonItem, "Edit Button", Glyph::Edit},
      {kDeleteButtonItem, "Delete Button", Glyph::Delete},
      kSeparator,
      {0, "Copy to Group", Glyph::Copy, copyMenu_},
      {0, "Move to Group", Glyph::Move, moveMenu_},
      kSeparator,
      {kButtonFontItem, "Button Font", Glyph::Font},
      {kButtonWidthItem, "Button Width", Glyph::Width},
      kSeparator,
      {kFindItem, "Find...", Glyph::Find},
      kSeparator,
      {kButtonCancelItem, "Cancel", Glyph::Cancel},
  });
  groupMenu_ = win::BuildPopupMenu(GroupMenuLines(false));
  emptyGroupMenu_ = win::BuildPopupMenu(GroupMenuLines(true));
}

void BarWindow::RebuildGroupMenus(const std::vector<std::string>& groupNames) {
  for (HMENU m : {copyMenu_, moveMenu_})
    while (GetMenuItemCount(m) > 0) DeleteMenu(m, 0, MF_BYPOSITION);
  for (size_t k = 0; k < groupNames.size(); ++k) {
    const std::wstring name = Wide(groupNames[k]);
    AppendMenuW(copyMenu_, MF_STRING, kCopyItemBase + k, name.c_str());
    AppendMenuW(moveMenu_, MF_STRING, kMoveItemBase + k, name.c_str());
  }
}

void BarWindow::OpenButtonMenu(POINT screen) {
  if (UINT id = win::TrackMenu(buttonMenu_, hwnd_, screen)) ButtonMenuCommand(id);
}

void BarWindow::OpenGroupMenu() {
  POINT p{};
  GetCursorPos(&p);
  const bool empty = store_->Active().Buttons.empty();
  if (UINT id = win::TrackMenu(empty ? emptyGroupMenu_ : groupMenu_, hwnd_, p))
    GroupMenuCommand(id);
}

void BarWindow::ButtonMenuCommand(UINT id) {
  const int k = currentIndex_;
  if (id >= kCopyItemBase && id < kCopyItemBase + kMaxGroups) {
    CopyButtonToGroup(*store_, *this, k, static_cast<int>(id - kCopyItemBase));
    UpdateShortcuts();
    return;
  }
  if (id >= kMoveItemBase && id < kMoveItemBase + kMaxGroups) {
    MoveButtonToGroup(*store_, *this, *this, k, static_cast<int>(id - kMoveItemBase));
    UpdateShortcuts();
    return;
  }
  Editor* editor = around_.ButtonEditor;
  switch (id) {
    case kUndoTypingItem:
      UndoTyping();
      break;
    case kNewButtonItem:
      if (editor) NewButtonCommand(*store_, *this, *this, *editor, editing_);
      break;
    case kEditButtonItem:
      if (editor) EditButtonCommand(*store_, *this, *editor, k, editing_);
      break;
    case kDeleteButtonItem:
      DeleteButtonCommand(*store_, *this, *this, k);
      break;
    case kButtonFontItem:
      ChooseButtonFont();
      break;
    case kButtonWidthItem:
      ButtonWidthCommand(Values().ButtonWidth, *this, *this);
      BringToTop();
      break;
    case kFindItem:
      OpenFind();
      return;
    default:
      break;
  }
  UpdateShortcuts();
}

void BarWindow::GroupMenuCommand(UINT id) {
  switch (id) {
    case kNewButtonItem:
      if (around_.ButtonEditor)
        NewButtonCommand(*store_, *this, *this, *around_.ButtonEditor, editing_);
      break;
    case kNewGroupItem:
      NewGroupCommand(*store_, *this, *this, unlocked_);
      break;
    case kEditGroupItem:
      RenameGroupCommand(*store_, *this, *this, unlocked_);
      break;
    case kDeleteGroupItem:
      DeleteGroupCommand(*store_, *this, *this, unlocked_);
      break;
    case kSetPasswordItem:
      SetPasswordCommand(*store_, *this);
      break;
    case kRemovePasswordItem:
      RemovePasswordCommand(*store_, *this);
      break;
    default:
      break;
  }
  UpdateShortcuts();
  BringToTop();
}

// ---- the font dialog ----

UINT_PTR CALLBACK BarWindow::FontDialogHook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  return win::Guarded([&] { return FontDialogMessage(dlg, msg, wp, lp); },
                      [] { return UINT_PTR{FALSE}; });
}

UINT_PTR BarWindow::FontDialogMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dlg, GWLP_USERDATA, reinterpret_cast<CHOOSEFONTW*>(lp)->lCustData);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wp) == kFontApplyButtonId) {
    LOGFONTW lf{};
    SendMessageW(dlg, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&lf));
    if (auto* bar = reinterpret_cast<BarWindow*>(GetWindowLongPtrW(dlg, GWLP_USERDATA)))
      bar->TakeButtonFont(lf);
    return TRUE;
  }
  return FALSE;
}

void BarWindow::ChooseButtonFont() {
  LOGFONTW lf = TemplateFont();
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = hwnd_;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_APPLY | CF_ENABLEHOOK;
  cf.nSizeMin = kFontSizeRule.Min;
  cf.nSizeMax = kFontSizeRule.Max;
  cf.rgbColors = win::ColorToRgb(templateColor_);
  cf.lpfnHook = &BarWindow::FontDialogHook;
  cf.lCustData = reinterpret_cast<LPARAM>(this);
  if (win::PickFont(cf)) TakeButtonFont(lf);
  BringToTop();
}

void BarWindow::TakeButtonFont(const LOGFONTW& lf) {
  int points = win::HeightToPoints(lf.lfHeight);
  Values().FontName = Utf8(lf.lfFaceName);
  if (points > 0) Values().Set(&Settings::FontSize, points);
  ApplyButtonFont();
}

}  // namespace ks
