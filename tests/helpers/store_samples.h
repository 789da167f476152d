#pragma once
// The two stores of the save tests: the pair already on disk ("old") and the pair a save
// writes over it ("new"). Shared by savetool.exe and the e2e driver, which must agree.
#include <memory>
#include <string>

#include "store/settings.h"
#include "text/codepage_win.h"

namespace ks::samples {

inline std::unique_ptr<Store> OldStore() {
  auto s = Store::MakeDefault();
  s->ButtonAt(1, 1).String = "old text{enter}";
  s->ButtonAt(1, 1).Caption = "Old";
  return s;
}

// Names are built with append, not "text" + string: GCC 12 at -O3 warns falsely on that.
inline std::string Named(const char* prefix, int n) {
  std::string s = prefix;
  s.append(std::to_string(n));
  return s;
}

inline std::unique_ptr<Store> NewStore() {
  auto s = std::make_unique<Store>();
  s->ActiveGroup = 2;
  for (int g = 1; g <= 3; ++g) {
    Group& group = s->Groups.emplace_back(Group{Named("Group ", g), g, g == 2 ? "pw" : "", {}});
    for (int i = 1; i <= 10 * g; ++i) {
      std::string text(static_cast<size_t>(200 + i), static_cast<char>('a' + i % 26));
      text.append("{enter}");
      group.Buttons.push_back(Button{Named("B", i), Named("hint ", i), text, i * 1000, i % 27});
    }
  }
  // A Greek group name and an emoji: the new pair goes to the Unicode forms, the old one
  // is ANSI, so a save cut short must not mix the forms either.
  s->GroupAt(3).Name = "\xCE\x9F\xCE\xBC\xCE\xAC\xCE\xB4\xCE\xB1 3";
  s->ButtonAt(2, 1).String = "\xF0\x9F\x98\x80{enter}";
  return s;
}

inline Settings NewSettings() {
  Settings s;
  s.ButtonWidth = 150;
  s.Bar.X = 12;
  s.Bar.Y = 34;
  s.FontName = "Arial";
  s.FontSize = 11;
  return s;
}

// The canonical bytes of a store and its settings, to tell the pairs, and a mix, apart.
inline std::string Fingerprint(const Store& store, const Settings& settings) {
  SavedFiles f = SaveSettings(store, settings, std::nullopt, WinAnsiCodePage());
  return f.ini + "|" + f.dat;
}

}  // namespace ks::samples
