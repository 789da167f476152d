// The table of type codes is what the user's guide lists: a code added to one and not the
// other fails here.
#include "typing/codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace ks {
namespace {

// The codes of the guide's table: the backticked "{name" of each row's first column,
// upper-cased, with the blank that an argument follows or the "+" of a modifier; a range
// "`{f1}`..`{f24}`" stands for each number between.
std::set<std::string> GuideCodes() {
  std::ifstream in(KS_GUIDE);
  EXPECT_TRUE(in) << KS_GUIDE;
  std::set<std::string> codes;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("| `{", 0) != 0) continue;
    std::string rangeFrom;
    for (size_t at = 0; (at = line.find("`{", at)) != std::string::npos && at < line.find(" | ");
         ++at) {
      const size_t end = line.find_first_of(" }+", at + 2);
      const std::string name = UpperAscii(line.substr(at + 2, end - at - 2)) +
                               (line[end] == ' ' || line[end] == '+' ? line.substr(end, 1) : "");
      if (!rangeFrom.empty()) {
        const size_t digits = rangeFrom.find_first_of("0123456789");
        for (int n = std::stoi(rangeFrom.substr(digits)); n < std::stoi(name.substr(digits)); ++n)
          codes.insert(rangeFrom.substr(0, digits) + std::to_string(n));
      }
      codes.insert(name);
      rangeFrom = line.compare(end, 4, "}`..") == 0 ? name : "";
    }
  }
  return codes;
}

TEST(TypeCodes, TheGuideListsEveryCodeAndNoOther) {
  std::set<std::string> table;
  for (const TypeCode& c : kTypeCodes) table.insert(std::string(c.Name));
  EXPECT_EQ(GuideCodes(), table);
}

TEST(TypeCodes, FoundByTheirNameOrTheirNameAndArgument) {
  EXPECT_EQ(FindTypeCode("enter")->Key, vk::Return);
  EXPECT_EQ(FindTypeCode("Month")->Action, CodeAction::Month);
  EXPECT_EQ(FindTypeCode("run notepad.exe")->Action, CodeAction::Run);
  EXPECT_EQ(FindTypeCode("LIST a,b")->Action, CodeAction::List);
  for (const char* none : {"", "ENTER ", " TAB", "RUN", "LISTa", "ENTERX", "\xC3\xA9nter"})
    EXPECT_EQ(FindTypeCode(none), nullptr) << none;
  EXPECT_EQ(KeyCodeText(vk::Left), "{left}");
  EXPECT_EQ(KeyCodeText(vk::Shift), "");
}

}  // namespace
}  // namespace ks
