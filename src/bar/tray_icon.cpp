#include "bar/tray_icon.h"

namespace ks {

std::string CutTrayTip(const std::string& tip) {
  if (tip.size() <= kTrayTipMax) return tip;
  return tip.substr(0, kTrayTipMax - 3) + "...";
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
