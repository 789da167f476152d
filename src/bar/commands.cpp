#include "bar/commands.h"

#include <algorithm>

#include "bar/layout.h"
#include "bar/shortcuts.h"
#include "store/ini.h"
#include "typing/codes.h"

namespace ks {

namespace {

bool IsButtonOfActiveGroup(const Store& store, int k) {
  return k >= 1 && k <= store.ButtonsIn(store.ActiveGroup);
}

// Destination of a submenu entry, 0 when the entry stands for no group in use.
int GroupOfEntry(const Store& store, int entry) {
  const int d = entry + 1;
  return d >= 1 && d <= store.GroupsInUse() ? d : 0;
}

void FillControls(const Store& store, BarView& view) {
  const int a = store.ActiveGroup;
  const DataRec& d = store.Data[a];
  for (int i = 1; i <= store.ButtonsIn(a); ++i)
    view.CreateButton(i, d.Description[i], d.Caption[i], d.String[i], d.Color[i]);
}

// Takes button k out of the active group: the later buttons move up one place, and
// the bar is refilled and laid out again.
void RemoveButton(Store& store, BarView& view, int k) {
  const int a = store.ActiveGroup;
  const int n = store.ButtonsIn(a);
  for (int i = k + 1; i <= n; ++i) store.SetButton(a, i - 1, store.GetButton(a, i));
  view.HideButtons(n);
  store.Groups[a].NumCommands = n - 1;
  FillControls(store, view);
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
  if (store.ButtonsIn(d) >= kMaxButtons) {
    dialogs.Message(kMsgDestinationFull);
    return 0;
  }
  return d;
}

void AppendButton(Store& store, int group, const Button& b) {
  const int n = store.ButtonsIn(group) + 1;
  store.Groups[group].NumCommands = n;
  store.SetButton(group, n, b);
}

}  // namespace

int32_t ClampFontSize(int32_t points) { return std::clamp(points, kMinFontSize, kMaxFontSize); }

std::string CleanLineText(std::string_view text) { return OneLine(text); }

Button ButtonFromEditor(const EditorFields& f) {
  return Button{CleanLineText(f.Caption), CleanLineText(f.Description), CleanButtonText(f.String),
                f.Color, f.Shortcut};
}

void NewMenuClick(Store& store, BarView& view, Dialogs& dialogs, Editor& editor) {
  const int a = store.ActiveGroup;
  if (store.ButtonsIn(a) >= kMaxButtons) {
    dialogs.Message(kMsgGroupFull);
    view.BringToTop();
    return;
  }
  EditorFields f;
  f.Color = view.TemplateColor();
  if (editor.ShowModal(kCaptionCreate, f) && !f.Caption.empty()) {
    const Button b = ButtonFromEditor(f);
    AppendButton(store, a, b);
    const int n = store.ButtonsIn(a);
    view.CreateButton(n, b.Description, b.Caption, b.String, b.Color);
  }
  view.Display();
  view.BringToTop();
}

void EditMenuClick(Store& store, BarView& view, Editor& editor, int k) {
  view.FocusDummy();
  if (!IsButtonOfActiveGroup(store, k)) return;
  const int a = store.ActiveGroup;
  EditorFields f = store.GetButton(a, k);
  if (editor.ShowModal(kCaptionEdit, f)) {
    const Button b = ButtonFromEditor(f);
    store.SetButton(a, k, b);
    view.SetFace(k, b.Caption, b.Description, b.Color);
  }
  view.BringToTop();
}

void DeleteMenuClick(Store& store, BarView& view, Dialogs& dialogs, int k) {
  if (!IsButtonOfActiveGroup(store, k)) return;
  if (store.ButtonsIn(store.ActiveGroup) <= 1) {
    dialogs.Message(kMsgDeleteLast);
    return;
  }
  // The control always shows the store's caption: every change of a caption goes
  // through CreateButton or SetFace.
  const std::string& caption = store.ActiveData().Caption[k];
  if (!dialogs.Confirm("Are you sure you want to delete the " + caption + " button?", "Confirm"))
    return;
  RemoveButton(store, view, k);
}

void MenuCopyToGroupClick(Store& store, Dialogs& dialogs, int k, int entry) {
  const int d = DestinationOf(store, dialogs, k, entry, kMsgCopySameGroup);
  if (d == 0) return;
  Button copy = store.GetButton(store.ActiveGroup, k);
  // One key can type only one button: the original keeps it.
  const int32_t shortcut = copy.Shortcut;
  if (IsShortcut(shortcut)) copy.Shortcut = 0;
  AppendButton(store, d, copy);
  if (IsShortcut(shortcut))
    dialogs.Message(ShortcutNotCopiedMessage(store, shortcut, ButtonRef{store.ActiveGroup, k}, d));
}

void MenuMoveToGroupClick(Store& store, BarView& view, Dialogs& dialogs, int k, int entry) {
  const int d = DestinationOf(store, dialogs, k, entry, kMsgMoveSameGroup);
  if (d == 0) return;
  if (store.ButtonsIn(store.ActiveGroup) <= 1) {
    dialogs.Message(kMsgMoveLast);
    return;
  }
  AppendButton(store, d, store.GetButton(store.ActiveGroup, k));
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

void SetButtonWidthClick(int32_t& buttonWidth, BarView& view, Dialogs& dialogs) {
  const std::optional<std::string> answer =
      dialogs.Input("Button Width", "How wide would you like the buttons to be?",
                    std::to_string(buttonWidth), true);
  if (!answer) return;
  const std::optional<int> width = ParseButtonWidth(*answer);
  if (!width) {
    dialogs.Message(kMsgButtonWidth);
    return;
  }
  buttonWidth = *width;
  view.SetButtonWidth(buttonWidth);
  view.Display();
}

}  // namespace ks
