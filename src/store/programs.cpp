#include "store/programs.h"

#include <algorithm>

#include "store/ini.h"
#include "text/utf.h"

namespace ks {

namespace {

constexpr std::string_view kAround = " \t\"'";

std::string_view Trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kAround);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kAround) - first + 1);
}

// Calls take(name) for every comma-separated part of `list`, as ProgramFileName takes it.
template <class Take>
void ForEachName(std::string_view list, Take&& take) {
  for (std::size_t from = 0; from <= list.size();) {
    std::size_t comma = list.find(',', from);
    if (comma == std::string_view::npos) comma = list.size();
    if (std::string name = ProgramFileName(list.substr(from, comma - from)); !name.empty())
      take(std::move(name));
    from = comma + 1;
  }
}

}  // namespace

std::string ProgramFileName(std::string_view name) {
  name = Trimmed(name);
  if (const std::size_t slash = name.find_last_of("\\/"); slash != std::string_view::npos)
    name = Trimmed(name.substr(slash + 1));
  if (name.empty()) return {};
  std::string file(name);
  if (file.find('.') == std::string::npos) file += ".exe";
  return file;
}

bool SameProgram(std::string_view a, std::string_view b) { return SameIniName(a, b); }

ProgramList NormalizePrograms(std::string_view typed, std::size_t maxUnits) {
  ProgramList out;
  std::vector<std::string> kept;
  const std::size_t separator = std::string_view(kProgramsSeparator).size();
  ForEachName(typed, [&](std::string name) {
    if (std::any_of(kept.begin(), kept.end(),
                    [&](const std::string& k) { return SameProgram(k, name); }))
      return;
    const std::size_t units = Utf16Length(out.Programs) + (kept.empty() ? 0 : separator) +
                              Utf16Length(name);
    if (!out.LeftOut.empty() || units > maxUnits) {
      out.LeftOut.push_back(std::move(name));
      return;
    }
    if (!kept.empty()) out.Programs += kProgramsSeparator;
    out.Programs += name;
    kept.push_back(std::move(name));
  });
  return out;
}

std::vector<std::string> ProgramNames(std::string_view programs) {
  std::vector<std::string> names;
  ForEachName(programs, [&](std::string name) { names.push_back(std::move(name)); });
  return names;
}

bool Serves(const Group& group, std::string_view program) {
  if (program.empty()) return false;
  bool serves = false;
  ForEachName(group.Programs, [&](const std::string& name) {
    serves = serves || SameProgram(name, program);
  });
  return serves;
}

int FirstGroupServing(const Store& store, std::string_view program) {
  for (int g = 1; g <= store.GroupCount(); ++g)
    if (Serves(store.GroupAt(g), program)) return g;
  return 0;
}

std::vector<SharedProgram> ProgramsServedElsewhere(const Store& store, int group,
                                                   std::string_view programs) {
  std::vector<SharedProgram> shared;
  for (const std::string& name : ProgramNames(programs))
    for (int g = 1; g <= store.GroupCount(); ++g)
      if (g != group && Serves(store.GroupAt(g), name)) {
        shared.push_back(SharedProgram{name, g});
        break;
      }
  return shared;
}

}  // namespace ks
