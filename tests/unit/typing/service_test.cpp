#include "typing/service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "typing/fakes.h"

namespace ks {
namespace {

using ::testing::ElementsAre;

// Every window exists and is another program's.
struct AnyWindow : WindowFacts {
  bool Exists(WindowId) const override { return true; }
  bool IsOwn(WindowId) const override { return false; }
  bool IsDesktop(WindowId) const override { return false; }
  std::string ClassName(WindowId) const override { return "Edit"; }
  std::string Title(WindowId) const override { return {}; }
  bool IsHung(WindowId) const override { return false; }
  std::optional<std::uint32_t> IntegrityLevel(WindowId) const override { return std::nullopt; }
  std::optional<std::uint32_t> OwnIntegrityLevel() const override { return std::nullopt; }
};

struct TypingServiceTest : ::testing::Test {
  TypingServiceTest() {
    typing.onTyping = [this](bool on) { told.push_back(on ? "begins" : "ends"); };
  }
  test::Journal journal;
  test::UsLayout layout;
  test::RecordingSink sink{journal};
  test::FixedClock clock;
  test::ScriptedHost host{journal};
  AnyWindow windows;
  TypingService typing{host.Ports(sink, layout, clock), windows};
  std::vector<std::string> told;
};

// The windows are told once when typing begins and once when it ends, also around a press
// that nests in a run; the target is the tracker's; a key of the user's stops the run.
TEST_F(TypingServiceTest, TypesIntoTheTrackedTargetAndTellsWhenTypingBeginsAndEnds) {
  EXPECT_FALSE(typing.Type("a"));  // no window seen yet
  typing.Tracker().ForegroundChanged(7);
  EXPECT_EQ(typing.TargetWindow(), 7u);

  told.clear();
  bool nested = false, runningInside = false;
  host.onPump = [&] {
    runningInside = typing.Running();
    if (!nested) {
      nested = true;
      typing.Type("Z");
    }
  };
  EXPECT_TRUE(typing.Type("ab"));
  EXPECT_TRUE(runningInside);
  EXPECT_FALSE(typing.Running());
  EXPECT_THAT(told, ElementsAre("begins", "ends"));

  int pumps = 0;
  host.onPump = [&] {
    if (++pumps == 2) typing.UserKey();
  };
  sink.events.clear();
  typing.Type("xyz");
  EXPECT_EQ(sink.events.size(), 4u);  // x and y, each down and up

  sink.events.clear();
  typing.Undo();
  EXPECT_EQ(sink.events.size(), 4u);  // a Backspace for each
}

}  // namespace
}  // namespace ks
