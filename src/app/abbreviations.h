#pragma once
// Abbreviations in the running program: the hook that watches the user's keys, kept in
// step with the store, the tray's switch, the typing runs and recording; and the editor's
// rule for the abbreviation it is given.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "abbrev/hook_win.h"
#include "bar/ports.h"
#include "bar/shortcuts.h"
#include "store/session.h"

namespace ks::app {

class Abbreviations : public AbbreviationWatcher {
 public:
  explicit Abbreviations(Session& session) : session_(session) {}
  ~Abbreviations() override { Stop(); }
  Abbreviations(const Abbreviations&) = delete;
  Abbreviations& operator=(const Abbreviations&) = delete;

  // Installs the hook, which posts what it sees to `receiver` (the bar), with the store's
  // abbreviations; false when the system refused it (then nothing is watched).
  bool Start(HWND receiver);
  // Removes the hook; at exit.
  void Stop();

  // The tray's switch, kept in the settings ("Abbreviations" in [Options]).
  bool On() const { return session_.settings().Abbreviations != 0; }
  void Switch(bool on);
  // While the editor records, nothing is watched.
  void Recording(bool on);
  // Done in the editor on `editing` with `abbreviation`: why it may not close, or nothing.
  std::optional<std::string> Refuse(ButtonRef editing, const std::string& abbreviation) const;
  // The target became a window of `program`: the abbreviations of the groups serving it
  // work, those of groups serving others do not.
  void ProgramChanged(const std::string& program);

  // ---- AbbreviationWatcher ----
  void StoreChanged(const Store& store) override;
  void Typing(bool on) override;
  bool AccentWaiting() const override { return hook_ && hook_->AccentWaiting(); }
  std::optional<bool> CapsLock() const override {
    return hook_ ? std::optional<bool>(hook_->CapsLock()) : std::nullopt;
  }
  void StandAside() override;
  void Return() override;

 private:
  Session& session_;
  std::unique_ptr<abbrev::AbbreviationHook> hook_;
  std::string program_;  // of the target
};

}  // namespace ks::app
