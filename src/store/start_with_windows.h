#pragma once
// "Start with Windows": the one value Keystrum keeps outside its folder, named Keystrum
// under the current user's Run key, holding the quoted full path of keystrum.exe and
// nothing else. A portable tool moved or copied elsewhere must not count another copy's
// value as its own: the item is checked only when the value starts this very exe.
#include <optional>
#include <string>
#include <string_view>

namespace ks {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Keystrum";

// The value under the Run key, as the system keeps it; the Windows one is in
// start_with_windows_win.
class RunValue {
 public:
  virtual ~RunValue() = default;
  // Its text; nothing when there is no such value (one that is no text reads as "").
  virtual std::optional<std::string> Read() = 0;
  virtual bool Write(const std::string& text) = 0;
  // True when the value is gone, also when there was none.
  virtual bool Remove() = 0;
};

// The value's text for `exePath`: the path in quotes, so a path with spaces starts whole.
std::string RunCommand(std::string_view exePath);

// Whether the value starts `exePath`: with or without its quotes, the letters' case
// ignored as the file system does.
bool StartsWithWindows(RunValue& value, std::string_view exePath);

// Checks or unchecks the item. Checking writes the value for `exePath`, also over one that
// starts another copy; unchecking removes it only when it starts this one. What the user is
// to be told when the registry refuses.
std::optional<std::string> SetStartWithWindows(RunValue& value, std::string_view exePath,
                                               bool on);

}  // namespace ks
