#pragma once
// The notification-area icon's property rules, apart from the shell call itself, so the
// setter rules can be checked without a taskbar.
#include <cstdint>
#include <string>

namespace ks {

// Characters (code points): even 62 that each take a surrogate pair fit the shell's field
// of 128 UTF-16 units.
inline constexpr size_t kTrayTipMax = 62;
// The shell's tip field, in UTF-16 units with its terminating zero.
inline constexpr size_t kTrayTipField = 128;

// A tip longer than the shell's field is cut with an ellipsis so the user sees it was cut,
// never inside a character.
std::string CutTrayTip(const std::string& tip);

class TrayIconState {
 public:
  enum class Op { Add = 0, Modify = 1, Delete = 2 };
  // What the shell is told: the record as filled just before the call.
  struct Record {
    uintptr_t icon = 0;
    std::string tip;
  };
  class Shell {
   public:
    virtual ~Shell() = default;
    virtual bool Notify(Op op, const Record& r) = 0;
    // Asks for the tip to be passed through the setter again once the message queue runs.
    virtual void PostTipRefresh() = 0;
  };

  explicit TrayIconState(Shell& shell) : shell_(shell) {}

  bool active() const { return active_; }
  uintptr_t icon() const { return icon_; }
  const std::string& tip() const { return tip_; }
  const Record& record() const { return record_; }

  void SetActive(bool on);
  void SetIcon(uintptr_t icon);
  void SetToolTip(const std::string& tip);
  // Re-registers after the taskbar was recreated (Explorer restarted).
  bool ReAdd();
  // Removes the icon at destruction when it is shown.
  void Destroy();

 private:
  bool AddIcon();
  bool ModifyIcon();
  bool DeleteIcon();
  void Fill() { record_ = Record{icon_, tip_}; }

  Shell& shell_;
  bool active_ = false;
  uintptr_t icon_ = 0;
  std::string tip_;
  Record record_;
};

}  // namespace ks
