#pragma once
// The one owner of a run's store and settings and of the two files they live in. The
// windows read and change them here; every change is written a second after the last one
// and again at exit, so a crash, a forced end or a power cut loses at most that second,
// and a folder that cannot be written is found out at the first change, not at exit.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "store/backup.h"
#include "store/files.h"

namespace ks {

class Session {
 public:
  // How long after the last change the files are written.
  static constexpr int kSaveDelayMs = 1000;

  Session(FileSystem& fs, std::string dir, const AnsiCodePage& ansi)
      : fs_(fs), dir_(std::move(dir)), ansi_(ansi), store_(Store::MakeDefault()) {}

  // Loads both files; what the user is to be told at start. When one exists but cannot be
  // read, the session never writes, since saving over that file would lose what it holds.
  // When keystrum.dat is cut short, the buttons past its end have no text, and the file as
  // it was is kept as keystrum.dat.short before the first save writes over it.
  std::optional<std::string> Load(const LoadContext& ctx);

  // Today's local date, for the daily backups; without it a save keeps none.
  std::function<Date()> today;

  Store& store() { return *store_; }
  const Store& store() const { return *store_; }
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }

  // Called after every change to the store or the settings; `onChanged` (the platform's
  // timer) then calls Save() once no change has come for kSaveDelayMs.
  void Changed();
  std::function<void()> onChanged;

  // Writes both files a second after a change unless the store and the settings are as
  // they were loaded or last written, and at exit unless the files already hold what a
  // save would write: a run that only types leaves the program's own files as they are,
  // time stamps and all. What the user is to be told: a failed save once, until a
  // save succeeds again (the edits stay here, and the next change or the exit tries
  // again); at exit every failure, since nothing tries after it. A backup that cannot be
  // written is told once, and the save goes on.
  std::optional<std::string> Save(bool atExit);

 private:
  FileSystem& fs_;
  std::string dir_;
  const AnsiCodePage& ansi_;
  std::unique_ptr<Store> store_;
  Settings settings_;
  Store written_;  // the store and the settings as the files hold them
  Settings writtenSettings_;
  bool readOnly_ = false;  // a file could not be read
  bool pending_ = false;
  bool told_ = false;
  bool backupTold_ = false;
  std::optional<std::string> backupNews_;  // what this save's backup has to tell
  std::optional<std::string> shortDat_;    // keystrum.dat as loaded, until it is kept

  std::optional<std::string> BeforeWrite();
};

}  // namespace ks
