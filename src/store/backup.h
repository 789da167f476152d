#pragma once
// The daily backups: the first save of a day copies both files, as they were before it,
// into the folder "backup" beside them as keystrum-YYYY-MM-DD.ini and .dat, and the folder
// keeps the newest kBackupDays days. A user who broke a group, or whose files another
// program damaged, can go back a day by copying one pair over the files.
#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "store/files.h"

namespace ks {

inline constexpr int kBackupDays = 14;
inline constexpr const char* kBackupFolder = "backup";

// A day of the local calendar.
struct Date {
  int Year = 0, Month = 0, Day = 0;
  auto operator<=>(const Date&) const = default;
};

// "keystrum-2026-03-09" + extension (".ini" or ".dat").
std::string BackupName(Date day, std::string_view extension);
// The day of a backup's file name, or nothing for a name the backups never take.
std::optional<Date> BackupDay(std::string_view fileName);

// Writes the day's backup of the files in `dir` unless it exists, then drops the oldest
// days beyond kBackupDays. Today's backup is always among those kept, so a clock set back
// (or a backup folder brought from another computer) never has a save write a backup that
// the same save drops. What the user is to be told when the backup cannot be written: the
// save goes on without it, and whatever part of the day's backup was written is taken away
// again, so the next save tries anew.
std::optional<std::string> BackUpDaily(FileSystem& fs, std::string_view dir, Date today);

}  // namespace ks
