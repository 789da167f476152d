#include "bar/group_list_win.h"

#include "common/dpi.h"
#include "contract.h"
#include "text/codepage_win.h"
#include "win/dpi.h"

namespace ks {
namespace {

// The group list's height when dropped down and of its lines, at 96 DPI.
constexpr int kGroupListDropHeight = 300;
constexpr int kGroupListLineHeight = 16;

}  // namespace

void GroupListControl::MakeGroupList(HWND parent, int width, int dpi, SUBCLASSPROC proc,
                                     DWORD_PTR self) {
  groupList_ = CreateWindowExW(
      0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT, 0, 0,
      width, ScaleToDpi(kGroupListDropHeight, dpi), parent,
      reinterpret_cast<HMENU>(contract::kBarGroupListId), GetModuleHandleW(nullptr), nullptr);
  SetWindowSubclass(groupList_, proc, contract::kBarGroupListId, self);
  // The list sorts the lines itself.
  keptLines_ = {};
}

void GroupListControl::ClearGroupList() {
  if (groupList_)
    SendMessageW(groupList_, CB_RESETCONTENT, 0, 0);
  else
    keptLines_ = {};
}

void GroupListControl::FitGroupList(int width, int cellHeight, int dpi) {
  if (!groupList_) return;
  if (dpi != fontDpi_) {
    // A control lets go of its old font only when it has the new one.
    win::UniqueFont font = win::MakeDesignFont(dpi, win::kFormFontHeight);
    SendMessageW(groupList_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    listFont_ = std::move(font);
    fontDpi_ = dpi;
    SendMessageW(groupList_, CB_SETITEMHEIGHT, 0, ScaleToDpi(kGroupListLineHeight, dpi));
  }
  SetWindowPos(groupList_, nullptr, 0, 0, width, ScaleToDpi(kGroupListDropHeight, dpi),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The closed list fills exactly one cell. Its frame is what the closed list has beyond
  // its field, known only once the list has its font; and a list may give its field a little
  // more than asked. So the height asked for follows what comes out, until the list fits.
  int field = static_cast<int>(SendMessageW(groupList_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  for (int i = 0; i < 3; ++i) {
    RECT wr{};
    GetWindowRect(groupList_, &wr);
    const int off = cellHeight - (wr.bottom - wr.top);
    if (off == 0) break;
    field += off;
    SendMessageW(groupList_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

int GroupListControl::AddGroupName(const std::string& name) {
  if (!groupList_) return keptLines_.Add(name);
  const std::wstring shown = Wide(name);
  return static_cast<int>(
      SendMessageW(groupList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str())));
}

void GroupListControl::DeleteGroupItem(int position) {
  if (!groupList_) return keptLines_.Delete(position);
  SendMessageW(groupList_, CB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

void GroupListControl::SelectGroupItem(int position) {
  if (!groupList_) return keptLines_.Select(position);
  SendMessageW(groupList_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::string GroupListControl::SelectedGroupName() const {
  if (!groupList_) return keptLines_.SelectedName();
  int pos = SelectedGroupItem();
  if (pos < 0) return {};
  LRESULT n = SendMessageW(groupList_, CB_GETLBTEXTLEN, static_cast<WPARAM>(pos), 0);
  if (n == CB_ERR) return {};
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(groupList_, CB_GETLBTEXT, static_cast<WPARAM>(pos), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n > 0 ? n : 0));
  // The line stands for the group whose name it shows exactly, with its case: the group's
  // own bytes come back, also where the list could not hold them as they are.
  for (const Group& g : files_.store().Groups)
    if (Wide(g.Name) == s) return g.Name;
  return Utf8(s);
}

int GroupListControl::SelectedGroupItem() const {
  if (!groupList_) return keptLines_.Selected;
  return static_cast<int>(SendMessageW(groupList_, CB_GETCURSEL, 0, 0));
}

}  // namespace ks
