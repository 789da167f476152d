#include "typing/service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar/fakes.h"
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
  test::FakeDialogs boxes;
  TypingService typing{host.Ports(sink, layout, clock), windows, boxes};
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

// A button asks its locked group's password before it types: a press on the bar for the
// group the user sees, until it is given; a request from elsewhere names the group, and
// another group than the active one asks every time.
TEST_F(TypingServiceTest, AButtonOfALockedGroupTypesOnceItsPasswordIsGiven) {
  auto store = test::MakeStore({"Work", "Home"}, 2);
  store->GroupAt(1).Password = "w";
  store->GroupAt(2).Password = "h";
  typing.ActiveUnlocked() = false;
  typing.Tracker().ForegroundChanged(7);
  using From = TypingService::From;
  struct Step {
    From from;
    ButtonRef button;
    std::optional<std::string> answer;  // none: no question expected
    bool typed;
    const char* prompt;
  };
  const Step steps[] = {
      {From::Bar, {1, 1}, "W", false, "Please type the password for this group:"},
      {From::Bar, {1, 1}, "w", true, "Please type the password for this group:"},
      {From::Bar, {1, 2}, std::nullopt, true, nullptr},        // the active group stays open
      {From::Elsewhere, {1, 2}, std::nullopt, true, nullptr},  // also from elsewhere
      {From::Elsewhere, {2, 1}, "h", true, "Please type the password for the Home group:"},
      {From::Elsewhere, {2, 1}, "x", false, "Please type the password for the Home group:"},
      {From::Elsewhere, {2, 9}, std::nullopt, false, nullptr},  // no such button
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.prompt ? step.prompt : "no question");
    boxes.Inputs.clear();
    boxes.Messages.clear();
    if (step.answer) boxes.InputAnswers = {*step.answer};
    sink.events.clear();
    EXPECT_EQ(typing.TypeButton(*store, step.button, step.from), step.typed);
    EXPECT_EQ(!sink.events.empty(), step.typed);
    ASSERT_EQ(boxes.Inputs.size(), step.prompt ? 1u : 0u);
    if (step.prompt) {
      EXPECT_EQ(boxes.Inputs[0].Prompt, step.prompt);
    }
    EXPECT_EQ(boxes.Messages.size(), step.answer && !step.typed ? 1u : 0u);
  }
  EXPECT_TRUE(typing.ActiveUnlocked());
  EXPECT_FALSE(typing.Busy());
}

}  // namespace
}  // namespace ks
