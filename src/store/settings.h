#pragma once
// The settings file keystrum.ini and the button text file keystrum.dat, as bytes in memory:
// every key, default, rule and fallback of the program's settings.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/design.h"
#include "store/store.h"
#include "text/codepage.h"

namespace ks {

// What the loader needs to know of the running system and of the windows' designs.
struct LoadContext {
  int32_t ScreenWidth = 1024;
  int32_t ScreenHeight = 768;
  // Design client sizes, from which a window without a stored place is centred.
  int32_t BarClientWidth = 0, BarClientHeight = 0;
  int32_t EditorClientWidth = 0, EditorClientHeight = 0;
  int32_t ListClientWidth = 0, ListClientHeight = 0;
  // The button-font template as it stands before loading.
  std::string FontName = kDesignFontName;
  int32_t FontSize = kDesignFontSize;
  int32_t FontColor = 0;  // the default colour of a button's caption
};

// The stored values that are not part of the button store.
struct Settings {
  int32_t ButtonWidth = 100;
  int32_t BarX = 0, BarY = 0;
  int32_t EditorX = 0, EditorY = 0, EditorHeight = 230, EditorWidth = 400;
  int32_t ListX = 0, ListY = 0, ListHeight = 140, ListWidth = 120;
  std::string FontName = kDesignFontName;
  int32_t FontSize = kDesignFontSize;
  bool operator==(const Settings&) const = default;
};

struct Loaded {
  std::unique_ptr<Store> store;
  Settings settings;
};

struct SavedFiles {
  std::string ini;
  std::string dat;
};

// Section of group g's fields: "Commands" for group 1, "Commands1" for group 2, ...
std::string GroupSection(int group);

// Loads from the two files' bytes, in any of their forms (see encoding.h), `ansi` being the
// system's code page; a missing file is std::nullopt. Counts outside the store's limits are
// clamped: NumGroups to 1..50, NumCommands to 0..50, Columns to >= 1.
Loaded LoadSettings(const std::optional<std::string>& ini, const std::optional<std::string>& dat,
                    const LoadContext& ctx, const AnsiCodePage& ansi);

// Writes the store and the settings key by key over the old settings file (kept byte for
// byte where nothing changes, with the keys of removed groups and buttons left in place) and
// builds the new button text file. "String" keys are never written. When both files fit the
// ANSI code page they are written in it (a settings file that came as UTF-8 with its mark
// stays so); else keystrum.dat goes to UTF-8 and keystrum.ini to UTF-16LE, both with marks.
SavedFiles SaveSettings(const Store& store, const Settings& settings,
                        const std::optional<std::string>& oldIni, const AnsiCodePage& ansi);

}  // namespace ks
