#pragma once
// A locked group's password, asked before one of its buttons types. The active group stays
// unlocked once its password is given, until another group becomes active; a button of
// another group asks every time.
#include "store/store.h"
#include "typing/dialogs.h"

namespace ks {

inline constexpr const char* kMsgInvalidPassword = "Invalid Password.";

// Whether `b` asks for its group's password first: its group is locked, and it is not the
// active group already unlocked.
bool AsksPassword(const Store& store, ButtonRef b, bool unlocked);

// True when `b` may type: no password is asked, or the right one was given. The password
// is asked for whatever group the button is in, naming that group, since the bar may be
// hidden; a right answer for the active group unlocks it as at a press, one for another
// group lets this request type. A wrong answer is told with "Invalid Password.".
bool AskPasswordFor(const Store& store, ButtonRef b, bool& unlocked, Dialogs& dialogs);

// The question at a left press on a button of the active group, which the user sees. True
// when the press may type: already unlocked, or the right password given (which unlocks).
// A wrong or cancelled answer shows "Invalid Password." and returns false.
bool CheckPassword(const Store& store, bool& unlocked, Dialogs& dialogs);

}  // namespace ks
