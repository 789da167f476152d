#pragma once
// The settings file keystrum.ini and the button text file keystrum.dat, as bytes in memory.
// Every value of the settings file is declared once, as a row of the tables in settings.cpp
// (of Settings, of a group, of a button): its section, its key, its default and its limits.
// Loading and saving both walk those rows, and a value the program sets takes the same
// limits as one read from the file.
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/design.h"
#include "store/store.h"
#include "text/codepage.h"

namespace ks {

// How a number of the settings is taken, alike from the file and from the program: outside
// [ValidMin, ValidMax] it counts as no value and Default stands; then it is held within
// [Min, Max].
struct IntRule {
  int32_t Default = 0;
  int32_t Min = std::numeric_limits<int32_t>::min();
  int32_t Max = std::numeric_limits<int32_t>::max();
  int32_t ValidMin = std::numeric_limits<int32_t>::min();
  int32_t ValidMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t Apply(int32_t value) const {
    if (value < ValidMin || value > ValidMax) value = Default;
    return value < Min ? Min : value > Max ? Max : value;
  }
};

// The rules that the commands setting these values share with the file.
inline constexpr int32_t kMinButtonWidth = 88;
inline constexpr int32_t kMaxButtonWidth = 200;
// A stored width of 50 to 87 is taken as the smallest one; one below 50 or above 200 as
// the default.
inline constexpr IntRule kButtonWidthRule{100, kMinButtonWidth, kMaxButtonWidth, 50,
                                          kMaxButtonWidth};
// The sizes the font dialog offers for the button font, in points. A stored size outside
// them (a hand-edited file) is taken as the nearest one: far out, turning it into a pixel
// height would overflow.
inline constexpr IntRule kFontSizeRule{kDesignFontSize, 6, 24};

// A gap the user set by hand in [Pace] of the settings file ("mstsc.exe=10"): windows whose
// process image has the file name `Program` get `Milliseconds` (1 to 1000) between two
// typed characters, for targets that lose keys sent faster. Any other value, or no number,
// is no pace.
struct Pace {
  std::string Program;  // as the key is written
  int32_t Milliseconds = 0;
  bool operator==(const Pace&) const = default;
};
inline constexpr IntRule kPaceRule{0, 0, 1000, 1, 1000};

// The outer sizes at 96 DPI that the editor and the list picker are made at, and have
// while the file names none.
inline constexpr int32_t kEditorWidth = 400, kEditorHeight = 230;
inline constexpr int32_t kListWidth = 120, kListHeight = 140;

// Where a window goes whose stored place is out of reach: beyond the screen's right or
// bottom edge, or (told by the windows) off every monitor.
struct ScreenPoint {
  int32_t X = 0, Y = 0;
};
inline constexpr ScreenPoint kBarFallback{200, 100};
inline constexpr ScreenPoint kEditorFallback{300, 100};
inline constexpr ScreenPoint kListFallback{200, 300};

// What the loader needs to know of the running system and of the windows' designs.
struct LoadContext {
  int32_t ScreenWidth = 1024;
  int32_t ScreenHeight = 768;
  // Design client sizes, from which a window without a stored place is centred.
  int32_t BarClientWidth = 0, BarClientHeight = 0;
  int32_t EditorClientWidth = 0, EditorClientHeight = 0;
  int32_t ListClientWidth = 0, ListClientHeight = 0;
  int32_t FontColor = 0;  // the default colour of a button's caption
};

// The stored values that are not part of the button store.
struct Settings {
  // Every value at its row's default.
  Settings();

  int32_t ButtonWidth{};
  int32_t BarX{}, BarY{};
  int32_t EditorX{}, EditorY{}, EditorHeight{}, EditorWidth{};
  int32_t ListX{}, ListY{}, ListHeight{}, ListWidth{};
  std::string FontName;
  int32_t FontSize{};
  // The tray's "Abbreviations" switch: 1 on, 0 off.
  int32_t Abbreviations{};
  // The paces of [Pace] as loaded, in the file's order: of a name only the first key, and
  // that only when it holds a pace. Nothing of the program sets them, so a save never
  // writes them: the section's lines stay as the user wrote them.
  std::vector<Pace> Paces;

  // Sets the number `member` as loading a file that holds `value` would: within its row's
  // rule.
  void Set(int32_t Settings::*member, int32_t value);
  bool operator==(const Settings&) const = default;
};

// A window's left or top edge: with no value in the file the window is centred on the
// screen from its design client size, and one that would begin beyond the screen's far
// edge less Margin takes Fallback.
struct EdgeRule {
  int32_t LoadContext::*Screen = nullptr;  // none: the value is no window's edge
  int32_t LoadContext::*Client = nullptr;
  int32_t Margin = 0;
  int32_t Fallback = 0;
};

// One value of the settings file, a field of the record R: Settings, a Group or a Button.
// Either Number with its Rule or Text with its default.
template <class R>
struct FieldRow {
  // Settings only: a group's fields are in its own section ("Commands", "Commands1", ...).
  const char* Section;
  // A button's is followed by the button's number: "Caption1".
  const char* Key;
  int32_t R::*Number = nullptr;
  IntRule Rule{};
  std::string R::*Text = nullptr;
  const char* TextDefault = "";
  // When loading, the running system's value stands for Rule.Default (a button's colour).
  int32_t LoadContext::*SystemDefault = nullptr;
  EdgeRule Edge{};
  // A value written only when it differs from its default (a text: when it holds
  // something), or when the file already has the key (a change back must reach the file):
  // files of users who never set it stay as they were, byte for byte.
  bool OnlyWhenSet = false;
};
using SettingRow = FieldRow<Settings>;

// The pace for windows of `program`: the file name of their process image, or a full
// path, whose file name counts. Names match as the settings file's keys do, ASCII case
// ignored. 0 when none is set.
int32_t PaceFor(const Settings& settings, std::string_view program);

// The rows of Settings, in the order their keys are written into a new file.
std::span<const SettingRow> SettingRows();

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
// system's code page; a missing file is std::nullopt. Every value is taken by its row;
// ActiveGroup outside the groups loaded is 1.
Loaded LoadSettings(const std::optional<std::string>& ini, const std::optional<std::string>& dat,
                    const LoadContext& ctx, const AnsiCodePage& ansi);

// Writes the store and the settings key by key over the old settings file (kept byte for
// byte where nothing changes, with the keys of removed groups and buttons left in place) and
// builds the new button text file. "String" keys are never written. When both files fit the
// ANSI code page they are written in it (a settings file that came as UTF-8 with its mark
// stays so; old lines the code page cannot hold do not count, and are dropped); else
// keystrum.dat goes to UTF-8 and keystrum.ini to UTF-16LE, both with marks.
SavedFiles SaveSettings(const Store& store, const Settings& settings,
                        const std::optional<std::string>& oldIni, const AnsiCodePage& ansi);

}  // namespace ks
