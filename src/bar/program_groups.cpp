#include "bar/program_groups.h"

#include "common/design.h"
#include "store/programs.h"
#include "text/utf.h"
#include "typing/passwords.h"

namespace ks {

int ProgramGroups::TargetChanged(const Store& store, std::string_view program, bool typing) {
  if (told_ && SameProgram(program, program_)) return 0;
  told_ = true;
  program_ = std::string(program);
  waiting_ = typing;
  return typing ? 0 : Pick(store);
}

int ProgramGroups::TypingEnded(const Store& store) {
  if (!waiting_) return 0;
  waiting_ = false;
  return Pick(store);
}

int ProgramGroups::SetFollowing(const Store& store, bool on) {
  following_ = on;
  return on ? Pick(store) : 0;
}

int ProgramGroups::Pick(const Store& store) const {
  if (!following_) return 0;
  const int g = FirstGroupServing(store, program_);
  // The group shown already stays as it is: showing it again would lock it anew.
  return g == store.ActiveGroup ? 0 : g;
}

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string s;
  for (const std::string& n : names) s += (s.empty() ? "" : kProgramsSeparator) + n;
  return s;
}

// What the user is told of a list just set on `group`, or nothing.
std::string ProgramsNews(const Store& store, int group, const ProgramList& list) {
  std::string news;
  if (!list.LeftOut.empty())
    news += "The list is longer than " + std::to_string(kInputBoxMaxChars) +
            " characters; left out: " + Joined(list.LeftOut) + ".\n";
  for (const SharedProgram& s : ProgramsServedElsewhere(store, group, list.Programs)) {
    const std::string other = store.GroupAt(s.Group).Name;
    news += s.Group < group ? s.Program + " is served by the " + other +
                                  " group first: the bar shows that group for it.\n"
                            : s.Program + " is served by the " + other +
                                  " group too: this group comes first and is shown for it.\n";
  }
  if (!news.empty()) news.pop_back();
  return news;
}

}  // namespace

bool ProgramsCommand(Store& store, Dialogs& dialogs, bool& unlocked) {
  if (!store.HasGroup(store.ActiveGroup) || !CheckPassword(store, unlocked, dialogs))
    return false;
  Group& group = store.Active();
  const std::string current = group.Programs;
  const std::optional<std::string> answer = dialogs.Input(
      "Programs",
      "Programs of the " + group.Name +
          " group, separated by commas (e.g. outlook.exe, winword.exe):",
      current, true);
  if (!answer) return false;
  // A hand-edited list longer than the box takes is shown cut: OK on it keeps it whole.
  const auto boxLength = static_cast<std::size_t>(kInputBoxMaxChars);
  if (Utf16Length(current) > boxLength && *answer == Utf8Prefix(current, boxLength))
    return false;
  const ProgramList list = NormalizePrograms(*answer, boxLength);
  if (list.Programs == current) return false;
  group.Programs = list.Programs;
  if (const std::string news = ProgramsNews(store, store.ActiveGroup, list); !news.empty())
    dialogs.Message(news);
  return true;
}

}  // namespace ks
