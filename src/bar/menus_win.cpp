#include "bar/menus_win.h"

#include <commdlg.h>

#include <vector>

#include "bar/commands.h"
#include "bar/groups.h"
#include "bar/program_groups.h"
#include "text/codepage_win.h"
#include "win/common_dialogs.h"
#include "win/controls.h"
#include "win/dpi.h"
#include "win/glyphs.h"
#include "win/paint.h"

namespace ks {
namespace {

enum : UINT {
  kUndoTypingItem = 2001, kNewButtonItem, kEditButtonItem, kDeleteButtonItem, kButtonFontItem,
  kButtonWidthItem, kButtonCancelItem, kNewGroupItem, kEditGroupItem, kDeleteGroupItem,
  kSetPasswordItem, kRemovePasswordItem, kGroupCancelItem, kFindItem, kProgramsItem,
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
                                {kProgramsItem, "Programs...", Glyph::EditGroup},
                                kSeparator,
                                {kGroupCancelItem, "Cancel", Glyph::Cancel},
                            });
  return lines;
}

}  // namespace

LOGFONTW TemplateFont(const Settings& settings) {
  win::UniqueFont font = win::MakePointFontAt(settings.FontName.c_str(), settings.FontSize,
                                              USER_DEFAULT_SCREEN_DPI);
  LOGFONTW lf{};
  GetObjectW(font.get(), sizeof lf, &lf);
  lf.lfHeight = win::PointsToHeight(settings.FontSize);
  return lf;
}

BarMenus::~BarMenus() {
  // The submenus go with the button menu that holds them.
  for (HMENU m : {buttonMenu_, groupMenu_, emptyGroupMenu_})
    if (m) DestroyMenu(m);
}

void BarMenus::Create() {
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

void BarMenus::RebuildGroupMenus(const std::vector<std::string>& groupNames) {
  for (HMENU m : {copyMenu_, moveMenu_})
    while (GetMenuItemCount(m) > 0) DeleteMenu(m, 0, MF_BYPOSITION);
  for (size_t k = 0; k < groupNames.size(); ++k) {
    const std::wstring name = Wide(groupNames[k]);
    AppendMenuW(copyMenu_, MF_STRING, kCopyItemBase + k, name.c_str());
    AppendMenuW(moveMenu_, MF_STRING, kMoveItemBase + k, name.c_str());
  }
}

void BarMenus::OpenButtonMenu(POINT screen, int index) {
  if (UINT id = win::TrackMenu(buttonMenu_, w_.owner, screen)) ButtonMenuCommand(id, index);
}

void BarMenus::OpenGroupMenu() {
  POINT p{};
  GetCursorPos(&p);
  const bool empty = w_.files.store().Active().Buttons.empty();
  if (UINT id = win::TrackMenu(empty ? emptyGroupMenu_ : groupMenu_, w_.owner, p))
    GroupMenuCommand(id);
}

void BarMenus::ButtonMenuCommand(UINT id, int k) {
  Store& store = w_.files.store();
  if (id >= kCopyItemBase && id < kCopyItemBase + kMaxGroups) {
    CopyButtonToGroup(store, w_.dialogs, k, static_cast<int>(id - kCopyItemBase));
    w_.changed();
    return;
  }
  if (id >= kMoveItemBase && id < kMoveItemBase + kMaxGroups) {
    MoveButtonToGroup(store, w_.view, w_.dialogs, k, static_cast<int>(id - kMoveItemBase));
    w_.changed();
    return;
  }
  Editor* editor = w_.editor;
  switch (id) {
    case kUndoTypingItem:
      w_.undo();
      break;
    case kNewButtonItem:
      if (editor) NewButtonCommand(store, w_.view, w_.dialogs, *editor, editing_);
      break;
    case kEditButtonItem:
      if (editor) EditButtonCommand(store, w_.view, *editor, k, editing_);
      break;
    case kDeleteButtonItem:
      DeleteButtonCommand(store, w_.view, w_.dialogs, k);
      break;
    case kButtonFontItem:
      ChooseButtonFont();
      break;
    case kButtonWidthItem:
      ButtonWidthCommand(w_.files.settings().ButtonWidth, w_.view, w_.dialogs);
      w_.view.BringToTop();
      break;
    case kFindItem:
      if (w_.openFind) w_.openFind();
      return;
    default:
      break;
  }
  w_.changed();
}

void BarMenus::GroupMenuCommand(UINT id) {
  Store& store = w_.files.store();
  switch (id) {
    case kNewButtonItem:
      if (w_.editor) NewButtonCommand(store, w_.view, w_.dialogs, *w_.editor, editing_);
      break;
    case kNewGroupItem:
      NewGroupCommand(store, w_.view, w_.dialogs, w_.unlocked);
      break;
    case kEditGroupItem:
      RenameGroupCommand(store, w_.view, w_.dialogs, w_.unlocked);
      break;
    case kDeleteGroupItem:
      DeleteGroupCommand(store, w_.view, w_.dialogs, w_.unlocked);
      break;
    case kSetPasswordItem:
      SetPasswordCommand(store, w_.dialogs);
      break;
    case kRemovePasswordItem:
      RemovePasswordCommand(store, w_.dialogs);
      break;
    case kProgramsItem:
      ProgramsCommand(store, w_.dialogs, w_.unlocked);
      break;
    default:
      break;
  }
  w_.changed();
  w_.view.BringToTop();
}

// ---- the font dialog ----

UINT_PTR CALLBACK BarMenus::FontDialogHook(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  return win::Guarded([&] { return FontDialogMessage(dlg, msg, wp, lp); },
                      [] { return UINT_PTR{FALSE}; });
}

UINT_PTR BarMenus::FontDialogMessage(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dlg, GWLP_USERDATA, reinterpret_cast<CHOOSEFONTW*>(lp)->lCustData);
    return TRUE;
  }
  if (msg == WM_COMMAND && LOWORD(wp) == kFontApplyButtonId) {
    LOGFONTW lf{};
    SendMessageW(dlg, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&lf));
    if (auto* menus = reinterpret_cast<BarMenus*>(GetWindowLongPtrW(dlg, GWLP_USERDATA)))
      menus->TakeButtonFont(lf);
    return TRUE;
  }
  return FALSE;
}

void BarMenus::ChooseButtonFont() {
  LOGFONTW lf = TemplateFont(w_.files.settings());
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = w_.owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_APPLY | CF_ENABLEHOOK;
  cf.nSizeMin = kFontSizeRule.Min;
  cf.nSizeMax = kFontSizeRule.Max;
  cf.rgbColors = win::ColorToRgb(w_.view.TemplateColor());
  cf.lpfnHook = &BarMenus::FontDialogHook;
  cf.lCustData = reinterpret_cast<LPARAM>(this);
  if (win::PickFont(cf)) TakeButtonFont(lf);
  w_.view.BringToTop();
}

void BarMenus::TakeButtonFont(const LOGFONTW& lf) {
  int points = win::HeightToPoints(lf.lfHeight);
  w_.files.settings().FontName = Utf8(lf.lfFaceName);
  if (points > 0) w_.files.settings().Set(&Settings::FontSize, points);
  w_.fontTaken();
}

}  // namespace ks
