#include "bar/tray_icon.h"

#include "text/utf.h"

namespace ks {

namespace {
// Where the character after the first `count` characters of `s` starts; s.size() when
// `s` has no more.
size_t CharactersEnd(const std::string& s, size_t count) {
  size_t pos = 0;
  for (size_t n = 0; n < count && pos < s.size(); ++n) NextCodePoint(s, pos);
  return pos;
}
}  // namespace

std::string CutTrayTip(const std::string& tip) {
  if (CharactersEnd(tip, kTrayTipMax) == tip.size()) return tip;
  return tip.substr(0, CharactersEnd(tip, kTrayTipMax - 3)) + "...";
}

void TrayIconState::SetActive(bool on) {
  if (on == active_) return;
  active_ = on;
  if (on)
    AddIcon();
  else
    DeleteIcon();
}

void TrayIconState::SetIcon(uintptr_t icon) {
  if (icon == icon_) return;
  icon_ = icon;
  ModifyIcon();
}

void TrayIconState::SetToolTip(const std::string& tip) {
  tip_ = CutTrayTip(tip);
  ModifyIcon();
}

bool TrayIconState::ReAdd() { return active_ && AddIcon(); }

void TrayIconState::Destroy() {
  if (active_) DeleteIcon();
  active_ = false;
}

bool TrayIconState::AddIcon() {
  Fill();
  bool ok = shell_.Notify(Op::Add, record_);
  // Some shells show no tip when the icon arrives without one; refresh it once the queue runs.
  if (tip_.empty()) shell_.PostTipRefresh();
  return ok;
}

bool TrayIconState::ModifyIcon() {
  Fill();
  if (!active_) return true;
  return shell_.Notify(Op::Modify, record_);
}

bool TrayIconState::DeleteIcon() { return shell_.Notify(Op::Delete, record_); }

}  // namespace ks
