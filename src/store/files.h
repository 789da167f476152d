#pragma once
// Keeps keystrum.ini and keystrum.dat in step on disk. Both are written in full to
// temporary files beside them and flushed; a commit marker is then written, and only after
// it the old files are replaced by rename, in a fixed order. A save cut short anywhere
// leaves either the old pair or, once the marker exists, the new pair, and Recover() at
// the next start removes what is left of the first or finishes the second.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/settings.h"

namespace ks {

inline constexpr const char* kIniName = "keystrum.ini";
inline constexpr const char* kDatName = "keystrum.dat";

// What the saver needs of the file system; the Windows implementation is in files_win.
class FileSystem {
 public:
  enum class ReadStatus { Ok, Missing, Failed };
  struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
  };

  virtual ~FileSystem() = default;
  virtual ReadResult ReadAll(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Creates or truncates `path`, writes `bytes` and flushes them to the disk.
  virtual bool WriteDurable(const std::string& path, std::string_view bytes) = 0;
  // Puts `from` in the place of `to` with one rename that reaches the disk before returning.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  // True when the file is gone, also when there was none.
  virtual bool Remove(const std::string& path) = 0;
  // Whether an existing file may be written and replaced (not read-only, not locked by
  // another program); true for a file that does not exist.
  virtual bool CanReplace(const std::string& path) = 0;
  // Makes the folder `path` unless it is there; false when it cannot be made, also when a
  // file has its name.
  virtual bool MakeFolder(const std::string& path) = 0;
  // The names of the files (not folders) in the folder `path`; none when there is no such
  // folder.
  virtual std::vector<std::string> FileNames(const std::string& path) = 0;
};

// `name` in the folder `dir` (the folder of the program, with or without a final separator).
std::string JoinPath(std::string_view dir, std::string_view name);
std::string IniPath(std::string_view dir);
std::string DatPath(std::string_view dir);

struct StorePaths {
  explicit StorePaths(std::string_view dir);
  std::string ini, dat;
  std::string iniNew, datNew;  // the new files until they replace the old ones
  std::string marker;          // exists, with its fixed content, once the new pair is complete
};

// Finishes or undoes a save that was cut short. Returns the path of a file it could not
// replace or remove, or nothing when the folder is in order.
std::optional<std::string> Recover(FileSystem& fs, std::string_view dir);

struct LoadOutcome {
  Loaded loaded;
  // Set when a file exists but could not be read: its path. The store then holds defaults
  // where that file's data would be, and saving over it would lose that data.
  std::optional<std::string> unreadable;
  // The bytes of keystrum.dat when it holds fewer lines than the settings count buttons.
  std::optional<std::string> shortDat;
};

// Recover(), then load both files. If a committed save could not be finished, the new pair
// is read from its temporary files, so the two never mix.
LoadOutcome LoadFiles(FileSystem& fs, std::string_view dir, const LoadContext& ctx,
                      const AnsiCodePage& ansi);

// Called once a save is sure to write, before anything is written: the old files are still
// as they were. What it returns stops the save, which returns it.
using BeforeWrite = std::function<std::optional<std::string>()>;

// Saves both files safely. On failure returns "Unable to write to " + the full path of the
// file that was refused; the old files are then as they were (or, if the refusal came while
// replacing them, the next Recover() completes the new pair).
std::optional<std::string> SaveFiles(FileSystem& fs, std::string_view dir, const Store& store,
                                     const Settings& settings, const AnsiCodePage& ansi,
                                     const BeforeWrite& beforeWrite = nullptr);

}  // namespace ks
