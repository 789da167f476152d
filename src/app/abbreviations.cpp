#include "app/abbreviations.h"

#include "abbrev/store_view.h"

namespace ks::app {

bool Abbreviations::Start(HWND receiver) {
  if (hook_) return true;
  hook_ = std::make_unique<abbrev::AbbreviationHook>(receiver);
  StoreChanged(session_.store());
  if (hook_->Start()) return true;
  hook_.reset();
  return false;
}

void Abbreviations::Stop() {
  if (hook_) hook_->Stop();
  hook_.reset();
}

void Abbreviations::Switch(bool on) {
  session_.settings().Set(&Settings::Abbreviations, on ? 1 : 0);
  session_.Changed();
  StoreChanged(session_.store());
}

void Abbreviations::Recording(bool on) {
  if (hook_) hook_->SetRecording(on);
}

std::optional<std::string> Abbreviations::Refuse(ButtonRef editing,
                                                 const std::string& abbreviation) const {
  const Store& store = session_.store();
  const std::string programs = store.HasGroup(editing.Group) ? store.GroupAt(editing.Group).Programs
                                                             : std::string();
  return abbrev::RefuseAbbreviation(abbrev::ButtonAbbreviationsOf(store), editing.Group,
                                    editing.Button, abbreviation, programs);
}

void Abbreviations::ProgramChanged(const std::string& program) {
  if (program == program_) return;
  program_ = program;
  StoreChanged(session_.store());
}

void Abbreviations::StoreChanged(const Store& store) {
  // Switched off, the hook keeps no list and a key costs it next to nothing.
  if (hook_) hook_->SetAbbreviations(On() ? abbrev::AbbreviationsOf(store, program_)
                                          : std::vector<abbrev::Abbreviation>{});
}

void Abbreviations::Typing(bool on) {
  if (hook_) hook_->SetTyping(on);
}

void Abbreviations::StandAside() {
  if (hook_) hook_->StandAside();
}

void Abbreviations::Return() {
  if (hook_) hook_->Return();
}

}  // namespace ks::app
