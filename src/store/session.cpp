#include "store/session.h"

namespace ks {

namespace {

std::string CutShort(int missing) {
  const std::string n = std::to_string(missing);
  return std::string(kDatName) + " is cut short: " + n + (missing == 1 ? " text is" : " texts are") +
         " missing.\nThe buttons have their texts as far as the file goes. A copy of the file "
         "as it is now is kept as " + kDatName + ".short before Keystrum writes over it.";
}

}  // namespace

std::optional<std::string> Session::Load(const LoadContext& ctx) {
  LoadOutcome out = LoadFiles(fs_, dir_, ctx, ansi_);
  store_ = std::move(out.loaded.store);
  settings_ = out.loaded.settings;
  written_ = *store_;
  writtenSettings_ = settings_;
  readOnly_ = out.unreadable.has_value();
  if (readOnly_)
    return "Unable to read " + *out.unreadable +
           "\nChanges made in this session will not be saved, so the file is not overwritten.";
  shortDat_ = std::move(out.shortDat);
  if (shortDat_) return CutShort(out.loaded.missingTexts);
  return std::nullopt;
}

void Session::Changed() {
  pending_ = true;
  if (onChanged) onChanged();
}

// Runs once a save is sure to write over the old files.
std::optional<std::string> Session::BeforeWrite() {
  if (shortDat_) {
    // The short file is all the user has of those texts: no save goes on without its copy.
    const std::string keep = DatPath(dir_) + ".short";
    if (!fs_.WriteDurable(keep, *shortDat_)) return "Unable to write to " + keep;
    shortDat_.reset();
  }
  if (!today) return std::nullopt;
  backupNews_ = BackUpDaily(fs_, dir_, today());
  if (!backupNews_) backupTold_ = false;  // a backup that fails again is told anew
  return std::nullopt;
}

std::optional<std::string> Session::Save(bool atExit) {
  if (readOnly_ || (!atExit && !pending_)) return std::nullopt;
  pending_ = false;
  // A change taken back writes nothing, nor does anything that only looked like a change.
  // The exit writes whenever a save would change the files, so a file written by hand or
  // damaged leaves the run in the program's own sound form.
  if (!atExit && *store_ == written_ && settings_ == writtenSettings_) return std::nullopt;
  backupNews_.reset();
  std::optional<std::string> err =
      SaveFiles(fs_, dir_, *store_, settings_, ansi_, [this] { return BeforeWrite(); });
  std::optional<std::string> backup;
  if (backupNews_ && !backupTold_) backup = backupNews_;
  if (backupNews_) backupTold_ = true;
  if (!err) {
    written_ = *store_;
    writtenSettings_ = settings_;
    told_ = false;
    return backup;
  }
  if (told_ && !atExit) return backup;
  told_ = true;
  return backup ? *err + "\n\n" + *backup : err;
}

}  // namespace ks
