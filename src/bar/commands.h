#pragma once
// The button commands of the bar's button menu and the width setting. Each acts on the
// active group and on button k, the control the menu was opened on (CurrentIndex).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bar/ports.h"
#include "bar/shortcuts.h"
#include "store/store.h"

namespace ks {

// Messages and questions, as the user sees them.
inline constexpr const char* kMsgGroupFull = "You have reached the 50 button limit for this group.";
inline constexpr const char* kMsgDeleteLast =
    "You can not delete the last button in a Group.\nPlease use the Delete Group option or\n"
    "the Edit button option to change the button.";
inline constexpr const char* kMsgCopySameGroup = "You can not copy a button within the same group.";
inline constexpr const char* kMsgMoveSameGroup = "You can not move a button to the same group.";
inline constexpr const char* kMsgDestinationFull =
    "You have reached the 50 button limit for the destination group.";
// A group left without buttons has no button to open the button menu on, so it could
// never get a new one: moving its last button away is refused like deleting it.
inline constexpr const char* kMsgMoveLast =
    "You can not move the last button out of a Group.\nPlease use the Copy to Group option "
    "instead.";
inline constexpr const char* kMsgButtonWidth =
    "Please select a button width between 88 and 200 pixels.";
inline constexpr const char* kCaptionEdit = "Edit button";
inline constexpr const char* kCaptionCreate = "Create new button";

// A caption or hint as it may enter the store: they are single-line values of the
// settings file, so a line break becomes a blank.
std::string CleanLineText(std::string_view text);
// The editor's values as they enter the store; the text through CleanButtonText
// (typing/codes.h).
Button ButtonFromEditor(const EditorFields& f);

// "New Button": asks the editor for a new button and appends it to the active group.
// Both commands set `editing` to the button the editor is open on (Button 0: the new one)
// before it shows, since its check of a shortcut key skips that button: from whichever
// menu they come, a stale one would let two buttons share a key.
void NewButtonCommand(Store& store, BarView& view, Dialogs& dialogs, Editor& editor,
                  ButtonRef& editing);
// "Edit Button" on button k.
void EditButtonCommand(Store& store, BarView& view, Editor& editor, int k, ButtonRef& editing);
// "Delete Button" on button k, after a Yes to the question titled "Confirm".
void DeleteButtonCommand(Store& store, BarView& view, Dialogs& dialogs, int k);
// An entry of "Copy to Group" / "Move to Group": `entry` is its position from 0 and
// stands for group entry + 1. The copy carries the button's fields except its shortcut
// key, which stays with the original (the user is told).
void CopyButtonToGroup(Store& store, Dialogs& dialogs, int k, int entry);
void MoveButtonToGroup(Store& store, BarView& view, Dialogs& dialogs, int k, int entry);

// The width answer: a whole decimal number 88..200 (kMinButtonWidth..kMaxButtonWidth of
// store/settings.h). Blanks (spaces, tabs) around the
// digits are forgiven, since they are invisible in the input box; signs, other
// notations and anything else are refused.
std::optional<int> ParseButtonWidth(std::string_view answer);
// "Button Width": asks for the width of every button and sets `buttonWidth`, by the
// settings' rule for it.
void ButtonWidthCommand(int32_t& buttonWidth, BarView& view, Dialogs& dialogs);

}  // namespace ks
