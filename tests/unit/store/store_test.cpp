#include <gtest/gtest.h>

#include "store/store.h"

namespace ks {

TEST(Store, DefaultStoreHoldsTheExampleButton) {
  auto s = Store::MakeDefault();
  EXPECT_EQ(s->NumGroups, 1);
  EXPECT_EQ(s->ActiveGroup, 1);
  EXPECT_EQ(s->Groups[1].GroupName, "Default");
  EXPECT_EQ(s->Groups[1].NumCommands, 1);
  EXPECT_EQ(s->Groups[1].Columns, 1);
  EXPECT_EQ(s->GetButton(1, 1), (Button{"Example", "", "This is an example button{enter}", 0, 0}));
}

TEST(Store, FindGroupIsExactFirstMatchWithinUse) {
  auto s = Store::MakeDefault();
  s->NumGroups = 3;
  s->Groups[2].GroupName = "Work";
  s->Groups[3].GroupName = "Work";  // a loaded duplicate: the first wins
  s->Groups[4].GroupName = "Stale";  // beyond NumGroups: never found
  EXPECT_EQ(s->FindGroup("Work"), 2);
  EXPECT_EQ(s->FindGroup("work"), 0);
  EXPECT_EQ(s->FindGroup("Stale"), 0);
  EXPECT_EQ(s->FindGroup(""), 0);
}

}  // namespace ks
