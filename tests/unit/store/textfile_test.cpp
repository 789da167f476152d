#include <gtest/gtest.h>

#include "store/textfile.h"

namespace ks {
namespace {

std::vector<std::string> ReadN(std::string_view bytes, int n) {
  TextFileReader r(bytes);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(r.ReadLine());
  return out;
}

using Lines = std::vector<std::string>;

TEST(TextFileRead, LinesEndAtCrAndSkipOneFollowingLf) {
  EXPECT_EQ(ReadN("one\r\ntwo\r\n", 3), (Lines{"one", "two", ""}));
  EXPECT_EQ(ReadN("a\rb\r\n", 2), (Lines{"a", "b"}));               // a CR alone ends a line
  EXPECT_EQ(ReadN("a\nb\r\nc", 3), (Lines{"a\nb", "c", ""}));       // a lone LF is text
  EXPECT_EQ(ReadN("a\r\n\nb\r\n", 2), (Lines{"a", "\nb"}));         // only one LF is skipped
  EXPECT_EQ(ReadN("\r\n\r\nx\r\n", 3), (Lines{"", "", "x"}));       // empty texts keep places
  EXPECT_EQ(ReadN("last without end", 2), (Lines{"last without end", ""}));
}

TEST(TextFileRead, CtrlZEndsTheFileAndReadsPastTheEndAreEmpty) {
  EXPECT_EQ(ReadN("one\r\ntw\x1ao\r\nthree\r\n", 4), (Lines{"one", "tw", "", ""}));
  EXPECT_EQ(ReadN("", 2), (Lines{"", ""}));
  TextFileReader r("x\r\n");
  EXPECT_FALSE(r.AtEnd());
  r.ReadLine();
  EXPECT_TRUE(r.AtEnd());
}

TEST(TextFileWrite, EveryLineEndsInCrLfAndReadsBack) {
  TextFileWriter w;
  Lines texts = {"This is an example button{enter}", "", "tab{tab}x", "lf\ninside", "last"};
  for (const auto& t : texts) w.WriteLine(t);
  EXPECT_EQ(w.Bytes(),
            "This is an example button{enter}\r\n\r\ntab{tab}x\r\nlf\ninside\r\nlast\r\n");
  EXPECT_EQ(ReadN(w.Bytes(), 5), texts);
}

TEST(TextFileWrite, ACarriageReturnNeverReachesTheFile) {
  TextFileWriter w;
  w.WriteLine("a\r\nb\rc\r");
  w.WriteLine("next button");
  EXPECT_EQ(w.Bytes(), "a{enter}b{enter}c{enter}\r\nnext button\r\n");
  EXPECT_EQ(ReadN(w.Bytes(), 2), (Lines{"a{enter}b{enter}c{enter}", "next button"}));
}

TEST(TextFileWrite, ACtrlZNeverEndsTheFileBeforeLaterButtons) {
  TextFileWriter w;
  w.WriteLine("a\x1a" "b");
  w.WriteLine("\x1a");
  w.WriteLine("next button");
  EXPECT_EQ(ReadN(w.Bytes(), 3), (Lines{"ab", "", "next button"}));
}

}  // namespace
}  // namespace ks
