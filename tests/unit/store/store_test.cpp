#include <gtest/gtest.h>

#include "store/store.h"

namespace ks {

TEST(Store, DefaultStoreHoldsTheExampleButton) {
  auto s = Store::MakeDefault();
  EXPECT_EQ(s->GroupCount(), 1);
  EXPECT_EQ(s->ActiveGroup, 1);
  EXPECT_EQ(s->GroupAt(1).Name, "Default");
  EXPECT_EQ(s->GroupAt(1).ButtonCount(), 1);
  EXPECT_EQ(s->GroupAt(1).Columns, 1);
  EXPECT_EQ(s->ButtonAt(1, 1), (Button{"Example", "", "This is an example button{enter}", 0, 0}));
}

TEST(Store, FindGroupIsExactFirstMatch) {
  auto s = Store::MakeDefault();
  s->Groups.resize(3);
  s->GroupAt(2).Name = "Work";
  s->GroupAt(3).Name = "Work";  // a loaded duplicate: the first wins
  EXPECT_EQ(s->FindGroup("Work"), 2);
  EXPECT_EQ(s->FindGroup("work"), 0);
  EXPECT_EQ(s->FindGroup("Default"), 1);
  EXPECT_EQ(s->FindGroup(""), 0);
}

}  // namespace ks
