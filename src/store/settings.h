#pragma once
// The settings file keystrum.ini and the button text file keystrum.dat, as bytes in memory.
// Every value of the settings file is declared once, with its row: its section, its key,
// its default and its limits. A setting is one line of KS_SETTINGS below, which gives its
// field of Settings too; a group's and a button's rows stand beside their fields in
// settings.cpp. Loading and saving both walk the rows, and a value the program sets takes
// the same limits as one read from the file.
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
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

// Where a window goes whose stored place is out of reach: beyond the screen's right or
// bottom edge, or (told by the windows) off every monitor.
struct ScreenPoint {
  int32_t X = 0, Y = 0;
};

// A window's outer size at 96 DPI, or its client size in pixels.
struct WindowSize {
  int32_t Width = 0, Height = 0;
};

// A window's place as the settings file keeps it: its left and top edges in screen pixels
// and, for a window the user sizes, its outer size at 96 DPI.
struct WindowPlace {
  int32_t X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const WindowPlace&) const = default;
};

// Every value of the settings file but the store's and [Pace] (Settings::Paces), in the
// order a new file holds them. Each entry is the whole declaration of one: Settings holds
// it in a field of that name, and the load and the save walk its row (ForEachSetting).
//   VALUE(type, name, row): a number, Number(section, key, IntRule), or a text,
//     Text(section, key, default); OnlyWhenSet(row) keeps it out of files that never had
//     it while it holds its default.
//   PLACE(name, Place(section, fallback point, outer size)): a window's place, its
//     XPosition and YPosition and, for a window with a size, its Height and Width. With no
//     value in the file the window is centred from its design client size (LoadContext's
//     field of the same name); one that would begin beyond the screen's far edge (less 10
//     pixels across, 20 down) goes to the fallback point.
#define KS_SETTINGS(PLACE, VALUE)                                                          \
  PLACE(Bar, Place("Window", {200, 100}))                                                  \
  VALUE(int32_t, ButtonWidth, Number("Window", "ButtonWidth", kButtonWidthRule))           \
  PLACE(Editor, Place("TypeWindow", {300, 100}, {400, 230}))                               \
  PLACE(List, Place("ListWindow", {200, 300}, {120, 140}))                                 \
  VALUE(std::string, FontName, Text("Font", "Name", kDesignFontName))                      \
  VALUE(int32_t, FontSize, Number("Font", "Size", kFontSizeRule))                          \
  /* The tray's "Abbreviations" switch, 1 on: absent is on, and so is anything but 0. */  \
  VALUE(int32_t, Abbreviations,                                                            \
        OnlyWhenSet(Number("Options", "Abbreviations", {1, 0, 1, 0, 1})))                  \
  /* The tray's "Follow Programs" switch, the same way. */                                 \
  VALUE(int32_t, FollowPrograms,                                                           \
        OnlyWhenSet(Number("Options", "FollowPrograms", {1, 0, 1, 0, 1})))

// What the loader needs to know of the running system and of the windows' designs.
struct LoadContext {
  int32_t ScreenWidth = 1024;
  int32_t ScreenHeight = 768;
  // Each window's client size as designed, under the name of its place: a window whose
  // place the file does not name is centred from it.
#define KS_PLACE(name, row) WindowSize name;
#define KS_VALUE(type, name, row)
  KS_SETTINGS(KS_PLACE, KS_VALUE)
#undef KS_PLACE
#undef KS_VALUE
  int32_t FontColor = 0;  // the default colour of a button's caption
};

// One number of the settings file: where it is and how it is taken.
struct NumberRow {
  // None for a group's and a button's: they are in the group's own section ("Commands",
  // "Commands1", ...).
  const char* Section = nullptr;
  // A button's is followed by the button's number: "Color1".
  const char* Key = nullptr;
  IntRule Rule{};
  // When loading, the running system's value stands for Rule.Default (a button's colour).
  int32_t LoadContext::*SystemDefault = nullptr;
  // Written only when it differs from its default, or when the file already has the key (a
  // change back must reach the file): files of users who never set it stay as they were,
  // byte for byte.
  bool OnlyWhenSet = false;
};

// One text of the settings file; as a number's, but one that holds nothing is the default
// that OnlyWhenSet leaves out.
struct TextRow {
  const char* Section = nullptr;
  const char* Key = nullptr;
  const char* Default = "";
  bool OnlyWhenSet = false;
};

// A window's place in its section, and where it goes without one.
struct PlaceRow {
  const char* Section = nullptr;
  ScreenPoint Fallback;
  // The outer size the window is made at and has while the file names none; 0 x 0 for a
  // window whose size follows its content, of which only the edges are kept.
  WindowSize Size;
  constexpr bool Sized() const { return Size.Width != 0 || Size.Height != 0; }
};

constexpr NumberRow Number(const char* section, const char* key, IntRule rule = {}) {
  return NumberRow{.Section = section, .Key = key, .Rule = rule};
}
constexpr TextRow Text(const char* section, const char* key, const char* def = "") {
  return TextRow{.Section = section, .Key = key, .Default = def};
}
constexpr PlaceRow Place(const char* section, ScreenPoint fallback, WindowSize size = {}) {
  return PlaceRow{section, fallback, size};
}
template <class Row>
constexpr Row OnlyWhenSet(Row row) {
  row.OnlyWhenSet = true;
  return row;
}

// What a new Settings holds: each row's default; a place at 0, 0 with its size.
constexpr int32_t Initial(const NumberRow& row) { return row.Rule.Default; }
constexpr const char* Initial(const TextRow& row) { return row.Default; }
constexpr WindowPlace Initial(const PlaceRow& row) {
  return WindowPlace{0, 0, row.Size.Width, row.Size.Height};
}

// The stored values that are not part of the button store.
struct Settings {
#define KS_PLACE(name, row) WindowPlace name = Initial(row);
#define KS_VALUE(type, name, row) type name = Initial(row);
  KS_SETTINGS(KS_PLACE, KS_VALUE)
#undef KS_PLACE
#undef KS_VALUE
  // The paces of [Pace] as loaded, in the file's order: of a name only the first key, and
  // that only when it holds a pace. Nothing of the program sets them, so a save never
  // writes them: the section's lines stay as the user wrote them.
  std::vector<Pace> Paces;

  // Sets the number `member` as loading a file that holds `value` would: within its row's
  // rule.
  void Set(int32_t Settings::*member, int32_t value);
  bool operator==(const Settings&) const = default;
};

// One window's place: its row, the field of Settings that holds it and the one of
// LoadContext that holds its design client size. The windows read and write their own
// places through it (places_win.h).
struct PlaceFields {
  WindowPlace Settings::*Place;
  WindowSize LoadContext::*Client;
  PlaceRow Row;
};

inline constexpr PlaceFields kPlaces[] = {
#define KS_PLACE(name, row) {&Settings::name, &LoadContext::name, row},
#define KS_VALUE(type, name, row)
    KS_SETTINGS(KS_PLACE, KS_VALUE)
#undef KS_PLACE
#undef KS_VALUE
};

// The place that Settings holds in `place`; a field that is no place does not compile.
consteval const PlaceFields& PlaceOf(WindowPlace Settings::*place) {
  for (const PlaceFields& p : kPlaces)
    if (p.Place == place) return p;
  throw "no place";
}

inline constexpr const PlaceFields& kEditorPlace = PlaceOf(&Settings::Editor);
inline constexpr const PlaceFields& kListPlace = PlaceOf(&Settings::List);
inline constexpr ScreenPoint kBarFallback = PlaceOf(&Settings::Bar).Row.Fallback;
// The outer sizes at 96 DPI that the editor and the list picker are made at.
inline constexpr int32_t kEditorWidth = kEditorPlace.Row.Size.Width;
inline constexpr int32_t kEditorHeight = kEditorPlace.Row.Size.Height;
inline constexpr int32_t kListWidth = kListPlace.Row.Size.Width;
inline constexpr int32_t kListHeight = kListPlace.Row.Size.Height;

// Calls visit(row, member) for every setting, in the order a new file holds them: `row` a
// NumberRow, a TextRow or a window's PlaceFields, `member` the field of Settings that holds
// its value.
template <class Visit>
constexpr void ForEachSetting(Visit&& visit) {
#define KS_PLACE(name, row) visit(PlaceOf(&Settings::name), &Settings::name);
#define KS_VALUE(type, name, row) visit(row, &Settings::name);
  KS_SETTINGS(KS_PLACE, KS_VALUE)
#undef KS_PLACE
#undef KS_VALUE
}

// A visitor of one overload per kind of row: ForEachSetting(Overloaded{[](const NumberRow&,
// int32_t Settings::*) {...}, ...}).
template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;  // clang before 17 deduces no aggregate's arguments

// The pace for windows of `program`: the file name of their process image, or a full
// path, whose file name counts. Names match as the settings file's keys do, ASCII case
// ignored. 0 when none is set.
int32_t PaceFor(const Settings& settings, std::string_view program);

struct Loaded {
  std::unique_ptr<Store> store;
  Settings settings;
  // Buttons the settings count beyond the last line of keystrum.dat, cut short by another
  // program or a full disk: their texts are empty.
  int missingTexts = 0;
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
