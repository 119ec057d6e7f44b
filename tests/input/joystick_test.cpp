#include "input/joystick.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr uint32_t kCentre = 32767;
constexpr uint32_t kFull = 65535;

struct ZoneCase {
  const char* name;
  uint32_t position, min, max, zones;
  uint32_t expected;
};

class AxisZoneTest : public ::testing::TestWithParam<ZoneCase> {};

TEST_P(AxisZoneTest, CutsTheRangeIntoZones) {
  const ZoneCase& c = GetParam();
  EXPECT_EQ(AxisZone(c.position, c.min, c.max, c.zones), c.expected);
}

const ZoneCase kZoneCases[] = {
    {"Minimum", 0, 0, kFull, 3, 0},
    {"EndOfZone0", 21844, 0, kFull, 3, 0},
    {"StartOfZone1", 21845, 0, kFull, 3, 1},
    {"EndOfZone1", 43689, 0, kFull, 3, 1},
    {"StartOfZone2", 43690, 0, kFull, 3, 2},
    {"EndOfZone2", 65534, 0, kFull, 3, 2},
    {"MaximumIsZone3", kFull, 0, kFull, 3, 3},
    {"EmptyRange", 5, 100, 100, 3, 0},
    {"EmptyRangeAtItsValue", 100, 100, 100, 3, 0},
    {"AboveRangeClamped", 100000, 0, kFull, 3, 3},
    {"HugeAboveRangeClamped", 0xFFFFFFFF, 0, kFull, 3, 3},
    {"BelowRangeClamped", 0, 1000, 2000, 3, 0},
    {"ReversedRange", 43690, kFull, 0, 3, 2},
    {"ReversedRangeMaximum", kFull, kFull, 0, 3, 3},
    {"NoOverflowOnFullWidth", 0xFFFFFFFE, 0, 0xFFFFFFFF, 3, 2},
    {"ShiftedRange", 1500, 1000, 2000, 3, 1},
};

INSTANTIATE_TEST_SUITE_P(Joystick, AxisZoneTest, ::testing::ValuesIn(kZoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct FlagsCase {
  const char* name;
  uint32_t caps;
  uint32_t flags;
};

class PositionFlagsTest : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(PositionFlagsTest, AddsAReturnFlagPerAxis) {
  EXPECT_EQ(PositionFlags(GetParam().caps), GetParam().flags);
}

const FlagsCase kFlagsCases[] = {
    {"XYOnly", 0x0, 0x883}, {"Z", 0x1, 0x887},
    {"R", 0x2, 0x88B},      {"U", 0x4, 0x893},
    {"V", 0x8, 0x8A3},      {"Pov", 0x10, 0x8C3},
    {"All", 0x1F, 0x8FF},   {"OtherBitsIgnored", 0xFFE0, 0x883},
};

INSTANTIATE_TEST_SUITE_P(Joystick, PositionFlagsTest, ::testing::ValuesIn(kFlagsCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReadingCase {
  const char* name;
  uint32_t x, y, buttons;
  PadState expected;
};

class ReadingTest : public ::testing::TestWithParam<ReadingCase> {};

TEST_P(ReadingTest, TurnsThePositionIntoAWord) {
  FakeJoystickApi fake;
  fake.SetNumDevs(1);
  fake.SetJoystick(0, FakeJoystickApi::FullRange(), GetParam().x, GetParam().y, GetParam().buttons);
  Joysticks joysticks(fake);
  joysticks.EnumerateJoysticks();
  PadState state = 0xDEADBEEF;
  EXPECT_TRUE(joysticks.ReadJoystick(0, state));
  EXPECT_EQ(state, GetParam().expected);
}

const ReadingCase kReadingCases[] = {
    {"AtRest", kCentre, kCentre, 0, 0},
    {"ButtonsOnly", kCentre, kCentre, 0x8005, 0x8005},
    {"FullRight", kFull, kCentre, 0, kPadRight},
    {"Zone2Right", 43690, kCentre, 0, kPadRight},
    {"Left", 0, kCentre, 0, kPadLeft},
    {"Zone0Left", 21844, kCentre, 0, kPadLeft},
    {"Up", kCentre, 0, 0, kPadUp},
    {"FullDown", kCentre, kFull, 0, kPadDown},
    {"UpLeft", 0, 0, 0x1, kPadUp | kPadLeft | 0x1},
    {"DownRight", kFull, kFull, 0, kPadDown | kPadRight},
    {"Buttons17To20Ignored", kCentre, kCentre, 0xF0000, 0},
    {"AllButtonBits", kCentre, kCentre, 0xFFFFFFFF, 0xFFFF},
    {"BeyondMaximum", 0xFFFFFFFF, kCentre, 0, kPadRight},
};

INSTANTIATE_TEST_SUITE_P(Joystick, ReadingTest, ::testing::ValuesIn(kReadingCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct IndexCase {
  const char* name;
  uint32_t numDevs;
  uint32_t index;
  int expected;
};

class ReadJoystickIndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(ReadJoystickIndexTest, ReadsOnlyIdsBelowTheCountAndFour) {
  FakeJoystickApi fake;
  fake.SetNumDevs(GetParam().numDevs);
  for (uint32_t id = 0; id < 4; ++id) fake.SetJoystick(id, FakeJoystickApi::FullRange(), 0, 0, 0);
  Joysticks joysticks(fake);
  joysticks.EnumerateJoysticks();
  PadState state = 0x1234;
  EXPECT_EQ(joysticks.ReadJoystick(GetParam().index, state), GetParam().expected);
  if (GetParam().expected == 0) {
    EXPECT_EQ(state, 0x1234u);
    EXPECT_EQ(fake.positionQueries(), 0);
  }
}

const IndexCase kIndexCases[] = {
    {"FirstOfTwo", 2, 0, 1},
    {"LastOfTwo", 2, 1, 1},
    {"CountItself", 2, 2, 0},
    {"NoIds", 0, 0, 0},
    {"FourthOfSixteen", 16, 3, 1},
    {"FifthOfSixteen", 16, 4, 0},
    {"MinusOneIsHuge", 16, 0xFFFFFFFF, 0},
};

INSTANTIATE_TEST_SUITE_P(Joystick, ReadJoystickIndexTest, ::testing::ValuesIn(kIndexCases),
                         [](const auto& info) { return std::string(info.param.name); });

class JoysticksTest : public ::testing::Test {
 protected:
  void AttachAll() {
    fake_.SetNumDevs(16);
    for (uint32_t id = 0; id < 4; ++id) {
      fake_.SetJoystick(id, FakeJoystickApi::FullRange(), kCentre, kCentre, 1u << id);
    }
  }
  void Start() {
    joysticks_.EnumerateJoysticks();
    joysticks_.DetectJoysticks();
  }

  FakeJoystickApi fake_;
  Joysticks joysticks_{fake_};
};

TEST_F(JoysticksTest, NoIdsStillEnumerates) {
  joysticks_.EnumerateJoysticks();
  EXPECT_EQ(joysticks_.count(), 0u);
}

TEST_F(JoysticksTest, QueriesWithTheFlagsOfItsCaps) {
  fake_.SetNumDevs(1);
  fake_.SetJoystick(0, FakeJoystickApi::FullRange(0x11), kCentre, kCentre, 0);
  Start();
  PadState state = 0;
  joysticks_.ReadJoystick(0, state);
  EXPECT_EQ(fake_.lastFlags(0), 0x8C7u);
}

TEST_F(JoysticksTest, FailedPositionQueryReadsAsNothingHeld) {
  fake_.SetNumDevs(1);
  fake_.SetJoystick(0, FakeJoystickApi::FullRange(), 0, 0, 0x3);
  Start();
  PadState state = 0;
  joysticks_.ReadJoystick(0, state);
  ASSERT_EQ(state, kPadUp | kPadLeft | 0x3);
  fake_.FailPositionQueries(0);
  EXPECT_TRUE(joysticks_.ReadJoystick(0, state));
  EXPECT_EQ(state, 0u);
}

TEST_F(JoysticksTest, FailedCapsQueryReadsAsNothingHeld) {
  fake_.SetNumDevs(1);
  fake_.SetJoystick(0, FakeJoystickApi::FullRange(), 0, 0, 0x3);
  fake_.FailCaps(0);
  Start();
  PadState state = 0x55;
  EXPECT_TRUE(joysticks_.ReadJoystick(0, state));
  EXPECT_EQ(state, 0u);
}

TEST_F(JoysticksTest, EmptyAxesReadAsUpAndLeft) {
  fake_.SetNumDevs(1);
  fake_.SetJoystick(0, JoystickCaps{}, kCentre, kCentre, 0);
  Start();
  PadState state = 0;
  joysticks_.ReadJoystick(0, state);
  EXPECT_EQ(state, kPadUp | kPadLeft);
}

TEST_F(JoysticksTest, DetectionMarksTheIdsThatAnswer) {
  AttachAll();
  fake_.SetAttached(1, false);
  fake_.SetAttached(4, true);
  Start();
  EXPECT_TRUE(joysticks_.present(0));
  EXPECT_FALSE(joysticks_.present(1));
  EXPECT_TRUE(joysticks_.present(2));
  EXPECT_TRUE(joysticks_.present(3));
  EXPECT_FALSE(joysticks_.present(4));
  EXPECT_FALSE(joysticks_.present(-1));
}

TEST_F(JoysticksTest, PollSkipsAbsentJoysticksAndKeepsTheirWordZero) {
  AttachAll();
  fake_.SetAttached(0, false);
  fake_.SetAttached(2, false);
  Start();
  joysticks_.PollJoysticks(-1);
  EXPECT_THAT(fake_.queriedIds(), ElementsAre(1, 3));
  EXPECT_EQ(joysticks_.GetSavedPadState(0), 0u);
  EXPECT_EQ(joysticks_.GetSavedPadState(1), 0x2u);
  EXPECT_EQ(joysticks_.GetSavedPadState(2), 0u);
  EXPECT_EQ(joysticks_.GetSavedPadState(3), 0x8u);
}

TEST_F(JoysticksTest, PresentButBeyondTheCountIsNeverRead) {
  fake_.SetJoystick(0, FakeJoystickApi::FullRange(), 0, 0, 0x1);
  Start();  // the driver reports no ids
  joysticks_.PollJoysticks(-1);
  EXPECT_THAT(fake_.queriedIds(), IsEmpty());
  EXPECT_EQ(joysticks_.GetSavedPadState(0), 0u);
}

TEST_F(JoysticksTest, BadSavedIndexAnswersAllBits) {
  EXPECT_EQ(joysticks_.GetSavedPadState(4), kNoPadState);
  EXPECT_EQ(joysticks_.GetSavedPadState(-1), kNoPadState);
  EXPECT_EQ(joysticks_.GetSavedPadState(INT32_MIN), kNoPadState);
}

struct PollCase {
  const char* name;
  int32_t index;
  std::vector<uint32_t> queried;
};

class PollJoysticksTest : public JoysticksTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(PollJoysticksTest, ReadsTheSelectedPresentJoysticksInOrder) {
  AttachAll();
  Start();
  joysticks_.PollJoysticks(GetParam().index);
  EXPECT_THAT(fake_.queriedIds(), ElementsAreArray(GetParam().queried));
  for (uint32_t id : GetParam().queried) {
    EXPECT_EQ(joysticks_.GetSavedPadState(static_cast<int32_t>(id)), 1u << id);
  }
}

const PollCase kPollCases[] = {
    {"MinusOne", -1, {0, 1, 2, 3}},
    {"MinusSeven", -7, {0, 1, 2, 3}},
    {"MostNegative", INT32_MIN, {0, 1, 2, 3}},
    {"First", 0, {0}},
    {"Second", 1, {1}},
    {"Third", 2, {2}},
    {"Fourth", 3, {3}},
    {"Four", 4, {}},
    {"Large", 100, {}},
};

INSTANTIATE_TEST_SUITE_P(Joystick, PollJoysticksTest, ::testing::ValuesIn(kPollCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg
