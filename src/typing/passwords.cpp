#include "typing/passwords.h"

namespace ks {

bool AsksPassword(const Store& store, ButtonRef b, bool unlocked) {
  if (!HasButton(store, b) || (b.Group == store.ActiveGroup && unlocked)) return false;
  return !store.GroupAt(b.Group).Password.empty();
}

bool AskPasswordFor(const Store& store, ButtonRef b, bool& unlocked, Dialogs& dialogs) {
  if (!HasButton(store, b)) return false;
  const bool active = b.Group == store.ActiveGroup;
  if (AsksPassword(store, b, unlocked)) {
    const std::optional<std::string> answer =
        dialogs.Input("Group Password",
                      "Please type the password for the " + store.GroupAt(b.Group).Name +
                          " group:",
                      "", false);
    if (answer.value_or("") != store.GroupAt(b.Group).Password) {
      dialogs.Message(kMsgInvalidPassword);
      return false;
    }
  }
  if (active) unlocked = true;
  return true;
}

bool CheckPassword(const Store& store, bool& unlocked, Dialogs& dialogs) {
  if (unlocked) return true;
  // Cancel counts as the empty answer.
  const std::string answer =
      dialogs.Input("Group Password", "Please type the password for this group:", "", false)
          .value_or("");
  if (answer != store.Active().Password) {
    dialogs.Message(kMsgInvalidPassword);
    return false;
  }
  unlocked = true;
  return true;
}

}  // namespace ks
