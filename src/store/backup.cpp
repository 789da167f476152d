#include "store/backup.h"

#include <cstdio>
#include <set>
#include <vector>

#include "store/ini.h"

namespace ks {

namespace {

constexpr std::string_view kPrefix = "keystrum-";

std::string CannotWrite(const std::string& path) {
  return "Unable to write the daily backup " + path +
         "\nYour changes are saved all the same; the backup is tried again at the next save.";
}

// The digits of `text` as a number, or -1 when it holds anything else.
int Digits(std::string_view text) {
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return text.empty() ? -1 : n;
}

// Drops every day of the folder but today and the newest others, up to kBackupDays days.
void Prune(FileSystem& fs, const std::string& folder, Date today) {
  std::set<Date> days;
  const std::vector<std::string> names = fs.FileNames(folder);
  for (const std::string& name : names)
    if (std::optional<Date> day = BackupDay(name); day && *day != today) days.insert(*day);
  if (static_cast<int>(days.size()) < kBackupDays) return;
  std::set<Date> kept;
  for (auto it = days.rbegin(); it != days.rend() && static_cast<int>(kept.size()) < kBackupDays - 1;
       ++it)
    kept.insert(*it);
  for (const std::string& name : names)
    if (std::optional<Date> day = BackupDay(name); day && *day != today && !kept.count(*day))
      fs.Remove(JoinPath(folder, name));  // one left behind is only one day more
}

}  // namespace

std::string BackupName(Date day, std::string_view extension) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.Year, day.Month, day.Day);
  return std::string(kPrefix) + text + std::string(extension);
}

std::optional<Date> BackupDay(std::string_view name) {
  // keystrum-YYYY-MM-DD.ini: 9 + 10 + 4 characters.
  if (name.size() != 23 || !SameIniName(name.substr(0, 9), kPrefix) || name[13] != '-' ||
      name[16] != '-')
    return std::nullopt;
  const std::string_view ext = name.substr(19);
  if (!SameIniName(ext, ".ini") && !SameIniName(ext, ".dat")) return std::nullopt;
  const Date day{Digits(name.substr(9, 4)), Digits(name.substr(14, 2)), Digits(name.substr(17, 2))};
  if (day.Year < 0 || day.Month < 1 || day.Month > 12 || day.Day < 1 || day.Day > 31)
    return std::nullopt;
  return day;
}

std::optional<std::string> BackUpDaily(FileSystem& fs, std::string_view dir, Date today) {
  const std::string folder = JoinPath(dir, kBackupFolder);
  const std::string copies[] = {JoinPath(folder, BackupName(today, ".ini")),
                                JoinPath(folder, BackupName(today, ".dat"))};
  if (fs.Exists(copies[0]) || fs.Exists(copies[1])) return std::nullopt;
  const std::string originals[] = {IniPath(dir), DatPath(dir)};
  FileSystem::ReadResult read[2];
  for (int i = 0; i < 2; ++i) {
    read[i] = fs.ReadAll(originals[i]);
    if (read[i].status == FileSystem::ReadStatus::Failed) return CannotWrite(copies[i]);
  }
  // A first run has nothing to keep yet.
  if (read[0].status != FileSystem::ReadStatus::Ok && read[1].status != FileSystem::ReadStatus::Ok)
    return std::nullopt;
  if (!fs.MakeFolder(folder)) return CannotWrite(folder);
  for (int i = 0; i < 2; ++i) {
    if (read[i].status != FileSystem::ReadStatus::Ok) continue;
    if (!fs.WriteDurable(copies[i], read[i].bytes)) {
      for (const std::string& copy : copies) fs.Remove(copy);
      return CannotWrite(copies[i]);
    }
  }
  Prune(fs, folder, today);
  return std::nullopt;
}

}  // namespace ks
