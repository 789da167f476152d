// "Start with Windows" on a registry value in memory.
#include <gtest/gtest.h>

#include "store/start_with_windows.h"

namespace ks {
namespace {

struct FakeRunValue : RunValue {
  std::optional<std::string> value;
  bool refuse = false;
  int writes = 0, removes = 0;

  std::optional<std::string> Read() override { return value; }
  bool Write(const std::string& text) override {
    ++writes;
    if (refuse) return false;
    value = text;
    return true;
  }
  bool Remove() override {
    ++removes;
    if (refuse) return false;
    value.reset();
    return true;
  }
};

const std::string kExe = "C:\\Tools\\Keystrum 2\\keystrum.exe";

TEST(StartWithWindows, IsCheckedOnlyWhenTheValueStartsThisVeryExe) {
  const struct {
    std::optional<std::string> value;
    bool checked;
  } cases[] = {
      {std::nullopt, false},
      {"\"C:\\Tools\\Keystrum 2\\keystrum.exe\"", true},
      {"C:\\Tools\\Keystrum 2\\keystrum.exe", true},          // written by hand, unquoted
      {" \"c:\\tools\\KEYSTRUM 2\\Keystrum.exe\" ", true},     // the file system ignores case
      {"\"D:\\Old\\keystrum.exe\"", false},                    // another copy
      {"\"C:\\Tools\\Keystrum 2\\keystrum.exe\" /hidden", false},
      {"\"C:\\Tools\\Keystrum 2\\keystrum.exe", false},
      {"", false},                                             // no text, another type
  };
  for (const auto& c : cases) {
    FakeRunValue run;
    run.value = c.value;
    EXPECT_EQ(StartsWithWindows(run, kExe), c.checked) << c.value.value_or("(none)");
  }
  FakeRunValue any;
  any.value = "\"\"";
  EXPECT_FALSE(StartsWithWindows(any, ""));
}

TEST(StartWithWindows, CheckingWritesTheQuotedPathAndUncheckingRemovesOnlyOurOwn) {
  FakeRunValue run;
  EXPECT_EQ(SetStartWithWindows(run, kExe, true), std::nullopt);
  EXPECT_EQ(run.value, "\"C:\\Tools\\Keystrum 2\\keystrum.exe\"");
  EXPECT_TRUE(StartsWithWindows(run, kExe));
  EXPECT_EQ(SetStartWithWindows(run, kExe, false), std::nullopt);
  EXPECT_EQ(run.value, std::nullopt);

  // Another copy's value shows unchecked; checking it makes it this one's.
  run.removes = 0;
  run.value = "\"D:\\Old\\keystrum.exe\"";
  EXPECT_EQ(SetStartWithWindows(run, kExe, false), std::nullopt);
  EXPECT_EQ(run.value, "\"D:\\Old\\keystrum.exe\"");
  EXPECT_EQ(run.removes, 0);
  EXPECT_EQ(SetStartWithWindows(run, kExe, true), std::nullopt);
  EXPECT_EQ(run.value, "\"C:\\Tools\\Keystrum 2\\keystrum.exe\"");
}

TEST(StartWithWindows, ARefusalIsToldAndChangesNothing) {
  FakeRunValue run;
  run.refuse = true;
  EXPECT_EQ(SetStartWithWindows(run, kExe, true),
            "Unable to write HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
            "\\Keystrum\nKeystrum will not start with Windows.");
  EXPECT_FALSE(StartsWithWindows(run, kExe));
  run.value = RunCommand(kExe);
  EXPECT_EQ(SetStartWithWindows(run, kExe, false),
            "Unable to remove HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
            "\\Keystrum\nKeystrum still starts with Windows.");
  EXPECT_TRUE(StartsWithWindows(run, kExe));
}

}  // namespace
}  // namespace ks
