#pragma once
// Fakes of the shortcut ports: a system whose hot keys other programs may hold, a
// keyboard layout whose Ctrl+Alt letters may type characters, and the keys held now.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "bar/shortcut_wait.h"
#include "bar/shortcuts.h"

namespace ks::test {

class FakeHotKeys : public HotKeyRegistry {
 public:
  std::set<int> HeldByOthers;  // keys another program holds
  std::set<int> Ours;          // keys this program holds now
  std::vector<std::string> Calls;

  bool Register(int s) override {
    Calls.push_back("+" + ShortcutName(s));
    EXPECT_FALSE(Ours.count(s)) << "registered twice: " << ShortcutName(s);
    if (HeldByOthers.count(s)) return false;
    Ours.insert(s);
    return true;
  }
  void Unregister(int s) override {
    Calls.push_back("-" + ShortcutName(s));
    EXPECT_TRUE(Ours.count(s)) << "not held: " << ShortcutName(s);
    Ours.erase(s);
  }
};

// Letters as shortcut numbers: 'E' is 5.
inline int Key(char letter) { return letter - 'A' + 1; }

class FakeShortcutLayout : public ShortcutLayout {
 public:
  std::set<int> Characters;  // shortcuts that type a character (AltGr)
  bool MakesCharacter(int s) const override { return Characters.count(s) > 0; }
};

class FakeHeldKeys : public HeldKeys {
 public:
  std::set<int> Down;
  bool IsDown(std::uint8_t vk) const override { return Down.count(vk) > 0; }
};

}  // namespace ks::test
