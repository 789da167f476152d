#include "store/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ks {
namespace {

TEST(Programs, NamesAreTakenByTheirFileNames) {
  const struct {
    const char* typed;
    const char* taken;
  } cases[] = {
      {"outlook.exe", "outlook.exe"},
      {"  WINWORD.EXE\t", "WINWORD.EXE"},
      {"\"C:\\Program Files\\Office\\winword.exe\"", "winword.exe"},
      {"'/usr/bin/notepad.exe'", "notepad.exe"},
      {"Outlook", "Outlook.exe"},
      {"app.com", "app.com"},
      {"C:\\tools\\", ""},
      {" \"\" ", ""},
      {"\xD0\xBF\xD0\xBE\xD1\x87\xD1\x82\xD0\xB0", "\xD0\xBF\xD0\xBE\xD1\x87\xD1\x82\xD0\xB0.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgramFileName(c.typed), c.taken) << c.typed;
}

TEST(Programs, AListIsKeptOnceEachAndCutAfterAWholeName) {
  const struct {
    const char* typed;
    std::size_t limit;
    const char* kept;
    std::vector<std::string> leftOut;
  } cases[] = {
      {"outlook.exe, winword.exe", 255, "outlook.exe, winword.exe", {}},
      {"outlook,,  , \"winword\" ,OUTLOOK.EXE", 255, "outlook.exe, winword.exe", {}},
      {"", 255, "", {}},
      {" , ", 255, "", {}},
      // "a.exe, b.exe" is 12 units: the third name and every one after it are left out.
      {"a, b, c.exe, d", 12, "a.exe, b.exe", {"c.exe", "d.exe"}},
      {"abcdef", 8, "", {"abcdef.exe"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const ProgramList list = NormalizePrograms(c.typed, c.limit);
    EXPECT_EQ(list.Programs, c.kept);
    EXPECT_EQ(list.LeftOut, c.leftOut);
  }
}

Store WithPrograms(const std::vector<std::string>& programs) {
  Store s;
  for (const std::string& p : programs) s.Groups.push_back(Group{"G", 1, "", {}, p});
  return s;
}

TEST(Programs, TheFirstGroupServingAProgramIsItsOwn) {
  const Store s = WithPrograms({"", "mail.exe, WORD.exe", "word.exe", "C:\\x\\tickets"});
  const struct {
    const char* program;
    int group;
  } cases[] = {
      {"mail.exe", 2}, {"MAIL.EXE", 2}, {"word.exe", 2}, {"tickets.exe", 4},
      {"notepad.exe", 0}, {"", 0},      {"mail", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstGroupServing(s, c.program), c.group) << c.program;
}

TEST(Programs, ProgramsServedByAnotherGroupAreNamedWithTheFirstOfThem) {
  const Store s = WithPrograms({"mail.exe", "word.exe, mail.exe", "word.exe"});
  const std::vector<SharedProgram> shared = ProgramsServedElsewhere(s, 3, "Word.exe, x.exe, mail");
  ASSERT_EQ(shared.size(), 2u);
  EXPECT_EQ(shared[0].Program, "Word.exe");
  EXPECT_EQ(shared[0].Group, 2);
  EXPECT_EQ(shared[1].Program, "mail.exe");
  EXPECT_EQ(shared[1].Group, 1);
  EXPECT_TRUE(ProgramsServedElsewhere(s, 1, "x.exe").empty());
}

}  // namespace
}  // namespace ks
