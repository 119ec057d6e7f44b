#include "input/joystick.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

constexpr uint32_t kMax = FakeJoystickApi::kAxisMax;
constexpr uint32_t kCentre = FakeJoystickApi::kAxisCentre;

struct ZoneCase {
  const char* name;
  uint32_t position, min, max, zone;
};

const ZoneCase kZoneCases[] = {
    {"JustBelowAThird", 99, 0, 300, 0},
    {"AtAThird", 100, 0, 300, 1},
    {"JustBelowTwoThirds", 199, 0, 300, 1},
    {"AtTwoThirds", 200, 0, 300, 2},
    {"Maximum", 300, 0, 300, 3},
    {"RangeNotFromZero", 150, 100, 200, 1},
    {"BelowTheRange", 5, 100, 200, 0},
    {"AboveTheRange", 900, 100, 200, 3},
    {"ReversedRange", 190, 200, 100, 2},
    {"EmptyRange", 100, 100, 100, 0},
    {"WholeRangeWithoutOverflow", 0xFFFFFFFF, 0, 0xFFFFFFFF, 3},
};

class AxisZoneTest : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(AxisZoneTest, CutsTheRangeIntoThirds) {
  const ZoneCase& c = GetParam();
  EXPECT_EQ(AxisZone(c.position, c.min, c.max, 3), c.zone);
}

INSTANTIATE_TEST_SUITE_P(Positions, AxisZoneTest, ::testing::ValuesIn(kZoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PositionFlagsTest, AsksForTheAxesTheJoystickHas) {
  EXPECT_EQ(PositionFlags(0), kJoyReturnBase);
  EXPECT_EQ(PositionFlags(0x1F), kJoyReturnBase | 0x7C);  // Z R U V POV
  EXPECT_EQ(PositionFlags(0x20), kJoyReturnBase);         // JOYCAPS_POV4DIR: nothing more
}

// Joystick 1 on a 0-65535 range, read at this position.
struct ReadingCase {
  const char* name;
  uint32_t x, y, buttons;
  PadState state;
};

// Zone 2 starts at 43690: a stick pushed there reads DOWN or RIGHT.
const ReadingCase kReadingCases[] = {
    {"LowEndsAreUpAndLeft", 21844, 0, 0, kPadUp | kPadLeft},
    {"MiddleThirdStartsCentre", kCentre, 21845, 0, 0},
    {"SecondThirdIsDown", kCentre, 43690, 0, kPadDown},
    {"SecondThirdIsRight", 43690, kCentre, 0, kPadRight},
    {"HighEnds", kMax, kMax, 0x8001, kPadDown | kPadRight | 0x8001},
    {"ButtonsPast16Dropped", kCentre, kCentre, 0xFFFF0002, 0x2},
};

class JoystickReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(JoystickReadingTest, GivesDirectionsAndButtons) {
  const ReadingCase& c = GetParam();
  FakeJoystickApi api;
  api.Attach(0);
  api.Set(0, c.x, c.y, c.buttons);
  Joysticks joysticks(api);
  joysticks.EnumerateJoysticks();
  joysticks.DetectJoysticks();
  joysticks.PollJoysticks(0);
  EXPECT_EQ(joysticks.GetSavedPadState(0), c.state);
  PadState state = 0x12345;
  EXPECT_EQ(joysticks.ReadJoystick(0, state), 1);
  EXPECT_EQ(state, c.state);
}

INSTANTIATE_TEST_SUITE_P(Positions, JoystickReadingTest, ::testing::ValuesIn(kReadingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Joysticks 1 and 3 attached, all four pushed up with button 1.
class JoysticksTest : public ::testing::Test {
 protected:
  void Start(uint32_t numDevs) {
    api_.numDevs = numDevs;
    for (uint32_t id : {0u, 2u}) api_.Attach(id);
    api_.devices[1].capsOk = true;  // answers caps but not joyGetPos
    api_.devices[1].answers = true;
    for (uint32_t id = 0; id < kJoystickSlots; ++id) api_.Hold(id, kPadUp | 0x1);
    joysticks_.EnumerateJoysticks();
    joysticks_.DetectJoysticks();
  }

  FakeJoystickApi api_;
  Joysticks joysticks_{api_};
};

TEST_F(JoysticksTest, PollsOnlyPresentJoysticksAndOnlyIds0To3) {
  Start(16);
  joysticks_.PollJoysticks(-1);
  EXPECT_EQ(api_.otherIdQueries, 0);
  EXPECT_TRUE(joysticks_.present(0) && joysticks_.present(2));
  EXPECT_FALSE(joysticks_.present(1) || joysticks_.present(3) || joysticks_.present(4));
  for (int id = 0; id < kJoystickSlots; ++id) {
    EXPECT_EQ(api_.devices[id].queries, joysticks_.present(id) ? 1 : 0) << id;
    EXPECT_EQ(joysticks_.GetSavedPadState(id), joysticks_.present(id) ? kPadUp | 0x1 : 0) << id;
  }
  EXPECT_EQ(api_.devices[0].lastFlags, kJoyReturnBase);
  for (int index : {-2, 4, 5}) EXPECT_EQ(joysticks_.GetSavedPadState(index), 0xFFFFFFFF);
}

TEST_F(JoysticksTest, PollingOneIndexReadsThatJoystickOnly) {
  Start(kJoystickSlots);
  for (int index : {2, 1, kJoystickSlots}) joysticks_.PollJoysticks(index);
  EXPECT_EQ(api_.devices[0].queries + api_.devices[1].queries + api_.otherIdQueries, 0);
  EXPECT_EQ(api_.devices[2].queries, 1);
}

TEST_F(JoysticksTest, IdsPastTheDriversCountAreNeverRead) {
  Start(1);
  PadState state = 7;
  EXPECT_EQ(joysticks_.ReadJoystick(1, state), 0);
  EXPECT_EQ(state, 7u);
  joysticks_.PollJoysticks(-1);
  EXPECT_EQ(joysticks_.GetSavedPadState(2), 0u);
}

// No reading counts as nothing held: stale zones would hold a direction.
TEST_F(JoysticksTest, AFailedOrUnpreparedReadingHoldsNothing) {
  Start(kJoystickSlots);
  joysticks_.PollJoysticks(-1);
  api_.devices[0].answers = false;
  joysticks_.PollJoysticks(0);
  EXPECT_EQ(joysticks_.GetSavedPadState(0), 0u);

  api_.devices[3].capsOk = false;
  api_.devices[3].answers = true;
  Joysticks unprepared(api_);
  unprepared.EnumerateJoysticks();
  PadState state = 7;
  EXPECT_EQ(unprepared.ReadJoystick(3, state), 1);
  EXPECT_EQ(state, 0u);
}

}  // namespace
}  // namespace cfg
