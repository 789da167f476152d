#include "bar/shortcuts.h"

#include "bar/groups.h"

namespace ks {

namespace {

// Lines of the start message beyond this many are counted, not listed: a hand-edited
// file can give hundreds of buttons one key, and the box must still fit the screen.
constexpr int kMaxListedButtons = 20;


std::string Describe(const Store& store, ButtonRef b) {
  return "the " + store.ButtonAt(b.Group, b.Button).Caption + " button in the " +
         store.GroupAt(b.Group).Name + " group";
}

// Calls f(ref, shortcut) for every button that carries a key, in store order.
template <class F>
void ForEachShortcut(const Store& store, F f) {
  for (int g = 1; g <= store.GroupCount(); ++g)
    for (int i = 1; i <= store.GroupAt(g).ButtonCount(); ++i)
      if (const int32_t s = store.ButtonAt(g, i).Shortcut; IsShortcut(s)) f(ButtonRef{g, i}, s);
}

}  // namespace

std::string ShortcutName(int shortcut) {
  return std::string("Ctrl+Alt+") + static_cast<char>('A' + shortcut - 1);
}

std::uint8_t ShortcutLetterKey(int shortcut) {
  return static_cast<std::uint8_t>('A' + shortcut - 1);
}

ButtonRef ShortcutOwner(const Store& store, int shortcut) {
  return OtherButtonWith(store, shortcut, ButtonRef{});
}

ButtonRef OtherButtonWith(const Store& store, int shortcut, ButtonRef self) {
  if (!IsShortcut(shortcut)) return {};
  for (int g = 1; g <= store.GroupCount(); ++g)
    for (int i = 1; i <= store.GroupAt(g).ButtonCount(); ++i)
      if (store.ButtonAt(g, i).Shortcut == shortcut && !(ButtonRef{g, i} == self))
        return ButtonRef{g, i};
  return {};
}

ShortcutSet WantedShortcuts(const Store& store) {
  ShortcutSet wanted;
  ForEachShortcut(store, [&](ButtonRef, int s) { wanted[s] = true; });
  return wanted;
}

RegistrationPlan PlanRegistrations(const ShortcutSet& wanted, const ShortcutSet& held) {
  RegistrationPlan plan;
  for (int s = 1; s <= kNumShortcuts; ++s) {
    if (wanted[s] && !held[s]) plan.Register.push_back(s);
    if (held[s] && !wanted[s]) plan.Unregister.push_back(s);
  }
  return plan;
}

std::string ShortcutTakenMessage(const Store& store, int shortcut, ButtonRef other) {
  return ShortcutName(shortcut) + " is already the shortcut key of " + Describe(store, other) +
         ".\nPlease choose another key, or None.";
}

std::string ShortcutCharacterMessage(int shortcut) {
  return "On your keyboard layout " + ShortcutName(shortcut) +
         " types a character, which a shortcut key would take from you.\nPlease choose "
         "another key, or None.";
}

std::string ShortcutHeldMessage(int shortcut) {
  return "Another program already uses " + ShortcutName(shortcut) +
         ", so this key will not type the button while that program holds it.";
}

std::string ShortcutNotCopiedMessage(const Store& store, int shortcut, ButtonRef original,
                                     int destination) {
  return "The copy in the " + store.GroupAt(destination).Name +
         " group has no shortcut key: " + ShortcutName(shortcut) + " stays with " +
         Describe(store, original) + ".";
}

std::string AbbreviationNotCopiedMessage(const Store& store, const std::string& abbreviation,
                                         ButtonRef original, int destination) {
  return "The copy in the " + store.GroupAt(destination).Name +
         " group has no abbreviation: " + abbreviation + " stays with " +
         Describe(store, original) + ".";
}

ShortcutKeys::ShortcutKeys(HotKeyRegistry& registry, const ShortcutLayout& layout)
    : registry_(registry), layout_(layout) {}

std::string ShortcutKeys::Start(const Store& store) {
  Update(store);
  std::vector<std::string> lines;
  int unlisted = 0;
  ForEachShortcut(store, [&](ButtonRef b, int s) {
    std::string why;
    const ButtonRef owner = ShortcutOwner(store, s);
    if (!(owner == b))
      why = Describe(store, owner) + " has it too";
    else if (!held_[s])
      why = "another program uses this key";
    else
      return;
    if (static_cast<int>(lines.size()) == kMaxListedButtons) {
      ++unlisted;
      return;
    }
    lines.push_back(ShortcutName(s) + " (" + Describe(store, b) + "): " + why + ".");
  });
  if (lines.empty()) return "";
  std::string text = "Some shortcut keys do not type their buttons:\n";
  for (const std::string& line : lines) text += "\n" + line;
  if (unlisted > 0) text += "\n... and " + std::to_string(unlisted) + " more.";
  text += "\n\nThese buttons type when clicked; the button editor gives them another key.";
  return text;
}

void ShortcutKeys::Update(const Store& store) {
  const RegistrationPlan plan = PlanRegistrations(WantedShortcuts(store), held_);
  for (int s : plan.Unregister) {
    registry_.Unregister(s);
    held_[s] = false;
  }
  for (int s : plan.Register) held_[s] = registry_.Register(s);
}

bool ShortcutKeys::LetThrough(int shortcut) {
  if (!Holds(shortcut) || !layout_.MakesCharacter(shortcut)) return false;
  registry_.Unregister(shortcut);
  held_[shortcut] = false;
  return true;
}

void ShortcutKeys::Stop() {
  for (int s = 1; s <= kNumShortcuts; ++s)
    if (held_[s]) registry_.Unregister(s);
  held_.reset();
}

bool ShortcutKeys::HeldElsewhere(int shortcut) {
  if (held_[shortcut]) return false;
  if (!registry_.Register(shortcut)) return true;
  registry_.Unregister(shortcut);
  return false;
}

ShortcutChoice ShortcutKeys::Chosen(int32_t shortcut) {
  if (!IsShortcut(shortcut)) return {};
  if (layout_.MakesCharacter(shortcut)) return {true, ShortcutCharacterMessage(shortcut)};
  if (HeldElsewhere(shortcut)) return {false, ShortcutHeldMessage(shortcut)};
  return {};
}

std::optional<std::string> ShortcutKeys::RefuseDone(const Store& store, ButtonRef self,
                                                    int32_t shortcut) const {
  if (!IsShortcut(shortcut)) return std::nullopt;
  if (const ButtonRef other = OtherButtonWith(store, shortcut, self))
    return ShortcutTakenMessage(store, shortcut, other);
  if (layout_.MakesCharacter(shortcut)) return ShortcutCharacterMessage(shortcut);
  return std::nullopt;
}

bool ShortcutAsksPassword(const Store& store, int shortcut, bool unlocked) {
  return AsksPassword(store, ShortcutOwner(store, shortcut), unlocked);
}

}  // namespace ks
