#include "store/session.h"

namespace ks {

std::optional<std::string> Session::Load(const LoadContext& ctx) {
  LoadOutcome out = LoadFiles(fs_, dir_, ctx, ansi_);
  store_ = std::move(out.loaded.store);
  settings_ = out.loaded.settings;
  written_ = *store_;
  writtenSettings_ = settings_;
  readOnly_ = out.unreadable.has_value();
  if (!readOnly_) return std::nullopt;
  return "Unable to read " + *out.unreadable +
         "\nChanges made in this session will not be saved, so the file is not overwritten.";
}

void Session::Changed() {
  pending_ = true;
  if (onChanged) onChanged();
}

std::optional<std::string> Session::Save(bool atExit) {
  if (readOnly_ || (!atExit && !pending_)) return std::nullopt;
  pending_ = false;
  // A change taken back writes nothing, nor does anything that only looked like a change.
  // The exit writes whenever a save would change the files, so a file written by hand or
  // damaged leaves the run in the program's own sound form.
  if (!atExit && *store_ == written_ && settings_ == writtenSettings_) return std::nullopt;
  std::optional<std::string> err = SaveFiles(fs_, dir_, *store_, settings_, ansi_);
  if (!err) {
    written_ = *store_;
    writtenSettings_ = settings_;
    told_ = false;
    return std::nullopt;
  }
  if (told_ && !atExit) return std::nullopt;
  told_ = true;
  return err;
}

}  // namespace ks
