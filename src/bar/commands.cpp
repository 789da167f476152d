#include "bar/commands.h"

#include <algorithm>

#include "bar/groups.h"
#include "bar/layout.h"
#include "bar/shortcuts.h"
#include "store/ini.h"
#include "store/settings.h"
#include "typing/codes.h"

namespace ks {

namespace {

bool IsButtonOfActiveGroup(const Store& store, int k) { return store.Active().HasButton(k); }

// Destination of a submenu entry, 0 when the entry stands for no group in use.
int GroupOfEntry(const Store& store, int entry) {
  return store.HasGroup(entry + 1) ? entry + 1 : 0;
}

// Takes button k out of the active group: the later buttons move up one place, and
// the bar is refilled and laid out again.
void RemoveButton(Store& store, BarView& view, int k) {
  std::vector<Button>& buttons = store.Active().Buttons;
  view.HideButtons(static_cast<int>(buttons.size()));
  buttons.erase(buttons.begin() + (k - 1));
  FillButtons(store.Active(), view);
  view.Display();
}

// The group entry `entry` of the copy or move submenu stands for, for button k; 0 when
// there is none or it cannot take the button: the active group itself (`sameGroupMessage`
// is shown) or a full one.
int DestinationOf(const Store& store, Dialogs& dialogs, int k, int entry,
                  const char* sameGroupMessage) {
  const int d = GroupOfEntry(store, entry);
  if (d == 0 || !IsButtonOfActiveGroup(store, k)) return 0;
  if (d == store.ActiveGroup) {
    dialogs.Message(sameGroupMessage);
    return 0;
  }
  if (store.GroupAt(d).ButtonCount() >= kMaxButtons) {
    dialogs.Message(kMsgDestinationFull);
    return 0;
  }
  return d;
}

void AppendButton(Store& store, int group, Button b) {
  store.GroupAt(group).Buttons.push_back(std::move(b));
}

}  // namespace

std::string CleanLineText(std::string_view text) { return OneLine(text); }

Button ButtonFromEditor(const EditorFields& f) {
  return Button{CleanLineText(f.Caption), CleanLineText(f.Description), CleanButtonText(f.String),
                f.Color, f.Shortcut, CleanLineText(f.Abbreviation)};
}

void NewButtonCommand(Store& store, BarView& view, Dialogs& dialogs, Editor& editor,
                  ButtonRef& editing) {
  const int a = store.ActiveGroup;
  if (store.Active().ButtonCount() >= kMaxButtons) {
    dialogs.Message(kMsgGroupFull);
    view.BringToTop();
    return;
  }
  EditorFields f;
  f.Color = view.TemplateColor();
  editing = ButtonRef{a, 0};
  if (editor.ShowModal(kCaptionCreate, f) && !f.Caption.empty()) {
    const Button b = ButtonFromEditor(f);
    AppendButton(store, a, b);
    view.CreateButton(store.Active().ButtonCount(), b.Description, b.Caption, b.String, b.Color);
  }
  view.Display();
  view.BringToTop();
}

void EditButtonCommand(Store& store, BarView& view, Editor& editor, int k, ButtonRef& editing) {
  view.FocusDummy();
  if (!IsButtonOfActiveGroup(store, k)) return;
  EditorFields f = store.Active().ButtonAt(k);
  editing = ButtonRef{store.ActiveGroup, k};
  // Asked again after the editor: a message it let through may have changed the group.
  if (editor.ShowModal(kCaptionEdit, f) && IsButtonOfActiveGroup(store, k)) {
    const Button b = ButtonFromEditor(f);
    store.Active().ButtonAt(k) = b;
    view.SetFace(k, b.Caption, b.Description, b.Color);
  }
  view.BringToTop();
}

void DeleteButtonCommand(Store& store, BarView& view, Dialogs& dialogs, int k) {
  if (!IsButtonOfActiveGroup(store, k)) return;
  if (store.Active().ButtonCount() <= 1) {
    dialogs.Message(kMsgDeleteLast);
    return;
  }
  // The control always shows the store's caption: every change of a caption goes
  // through CreateButton or SetFace.
  const std::string& caption = store.Active().ButtonAt(k).Caption;
  if (!dialogs.Confirm("Are you sure you want to delete the " + caption + " button?", "Confirm"))
    return;
  RemoveButton(store, view, k);
}

void CopyButtonToGroup(Store& store, Dialogs& dialogs, int k, int entry) {
  const int d = DestinationOf(store, dialogs, k, entry, kMsgCopySameGroup);
  if (d == 0) return;
  Button copy = store.Active().ButtonAt(k);
  // One key, and one abbreviation, can type only one button: the original keeps them.
  const int32_t shortcut = copy.Shortcut;
  if (IsShortcut(shortcut)) copy.Shortcut = 0;
  const std::string abbreviation = std::move(copy.Abbreviation);
  copy.Abbreviation.clear();
  AppendButton(store, d, copy);
  const ButtonRef original{store.ActiveGroup, k};
  std::string told;
  if (IsShortcut(shortcut)) told = ShortcutNotCopiedMessage(store, shortcut, original, d);
  if (!abbreviation.empty())
    told += (told.empty() ? "" : "\n") + AbbreviationNotCopiedMessage(store, abbreviation, original, d);
  if (!told.empty()) dialogs.Message(told);
}

void MoveButtonToGroup(Store& store, BarView& view, Dialogs& dialogs, int k, int entry) {
  const int d = DestinationOf(store, dialogs, k, entry, kMsgMoveSameGroup);
  if (d == 0) return;
  if (store.Active().ButtonCount() <= 1) {
    dialogs.Message(kMsgMoveLast);
    return;
  }
  AppendButton(store, d, store.Active().ButtonAt(k));
  RemoveButton(store, view, k);
}

std::optional<int> ParseButtonWidth(std::string_view answer) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!answer.empty() && blank(answer.front())) answer.remove_prefix(1);
  while (!answer.empty() && blank(answer.back())) answer.remove_suffix(1);
  if (answer.empty()) return std::nullopt;
  int value = 0;
  for (char c : answer) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    // Past the range already: stop before a long answer could overflow.
    if (value > kMaxButtonWidth) return std::nullopt;
  }
  if (value < kMinButtonWidth) return std::nullopt;
  return value;
}

void ButtonWidthCommand(int32_t& buttonWidth, BarView& view, Dialogs& dialogs) {
  const std::optional<std::string> answer =
      dialogs.Input("Button Width", "How wide would you like the buttons to be?",
                    std::to_string(buttonWidth), true);
  if (!answer) return;
  const std::optional<int> width = ParseButtonWidth(*answer);
  if (!width) {
    dialogs.Message(kMsgButtonWidth);
    return;
  }
  buttonWidth = kButtonWidthRule.Apply(*width);
  view.SetButtonWidth(buttonWidth);
  view.Display();
}

}  // namespace ks
