#pragma once
// The programs a group serves (Group::Programs): the file names of their process images,
// as the user names them in the "Programs" box and as the running program matches them
// against the window typed into. Names match with ASCII case ignored, as the settings
// file's keys and [Pace] do; the store keeps them as the user wrote them.
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace ks {

inline constexpr const char* kProgramsSeparator = ", ";

// One name as the user gave it, taken as a file name: blanks and quotes around it go, a
// path gives its last part, and a name without any extension gets ".exe" ("Outlook" is
// outlook.exe; "app.com" stays). Empty when nothing is left.
std::string ProgramFileName(std::string_view name);

// A list the user typed, as the store keeps it.
struct ProgramList {
  std::string Programs;              // the names separated by ", "
  std::vector<std::string> LeftOut;  // names beyond `maxUnits`
};

// The names of `typed`, separated by commas, each by ProgramFileName, blank ones and
// repeats (case ignored) dropped, joined by ", " and cut after the last whole name that
// fits `maxUnits` UTF-16 units (the input box's limit: a name's ".exe" may have made the
// list longer than the box took).
ProgramList NormalizePrograms(std::string_view typed, std::size_t maxUnits);

// The names of a stored list (as NormalizePrograms splits them, for a hand-edited file).
std::vector<std::string> ProgramNames(std::string_view programs);

// Whether `a` and `b` name the same program: ASCII case ignored.
bool SameProgram(std::string_view a, std::string_view b);

// Whether `group` serves `program`, a process image's file name; never for an empty one.
bool Serves(const Group& group, std::string_view program);

// The first group of `store` that serves `program`, the one the bar shows for it; 0 when
// none does.
int FirstGroupServing(const Store& store, std::string_view program);

// A program that `programs` names and that another group than `group` serves too, with
// that group's number: what the user is told when setting a group's programs.
struct SharedProgram {
  std::string Program;
  int Group = 0;
};
std::vector<SharedProgram> ProgramsServedElsewhere(const Store& store, int group,
                                                   std::string_view programs);

}  // namespace ks
