#include "input/keyboard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "input/key_codes.h"
#include "tests/support/fake_input_devices.h"

namespace cfg {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr int32_t kFail = static_cast<int32_t>(0x80004005);         // E_FAIL
constexpr int32_t kNotAcquired = static_cast<int32_t>(0x8007000C);  // DIERR_NOTACQUIRED
constexpr int32_t kAlreadyAcquired = 1;                             // S_FALSE
constexpr uint8_t kDikUp = dik::kUp;
constexpr uint8_t kVkUp = vk::kUp;

using Calls = std::vector<std::string>;
using Results = std::vector<std::pair<std::string, int32_t>>;

const Calls kKeyboardSetUp = {"CreateDevice(keyboard)", "SetDataFormat(keyboard)",
                              "SetCooperativeLevel(keyboard)", "SetBufferSize(keyboard)",
                              "Acquire(keyboard)"};
const Calls kMouseSetUp = {"CreateDevice(mouse)", "SetDataFormat(mouse)",
                           "SetCooperativeLevel(mouse)", "Acquire(mouse)"};

Calls StartCalls(size_t keyboardSteps, size_t mouseSteps) {
  Calls calls = {"WindowInstance", "CreateDirectInput"};
  calls.insert(calls.end(), kKeyboardSetUp.begin(), kKeyboardSetUp.begin() + keyboardSteps);
  calls.insert(calls.end(), kMouseSetUp.begin(), kMouseSetUp.begin() + mouseSteps);
  return calls;
}

struct StartCase {
  const char* name;
  Results results;
  Calls expectedCalls;
  bool acquired;
};

class StartDirectInputTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartDirectInputTest, RunsEachStepOnlyAfterTheOneBefore) {
  FakeInputDevices fake;
  for (const auto& [call, result] : GetParam().results) fake.Script(call, {result});
  Keyboard keyboard(fake);
  keyboard.StartDirectInput(0);
  EXPECT_THAT(fake.log(), ElementsAreArray(GetParam().expectedCalls));
  EXPECT_EQ(keyboard.acquired(), GetParam().acquired);
}

const StartCase kStartCases[] = {
    {"AllSucceed", {}, StartCalls(5, 4), true},
    {"DirectInputFails", {{"CreateDirectInput", kFail}}, StartCalls(0, 0), false},
    {"DirectInputNonZeroSuccess", {{"CreateDirectInput", 1}}, StartCalls(0, 0), false},
    {"KeyboardCreateFails", {{"CreateDevice(keyboard)", kFail}}, StartCalls(1, 4), false},
    {"KeyboardFormatFails", {{"SetDataFormat(keyboard)", kFail}}, StartCalls(2, 4), false},
    {"KeyboardLevelFails", {{"SetCooperativeLevel(keyboard)", kFail}}, StartCalls(3, 4), false},
    {"BufferSizeIgnored", {{"SetBufferSize(keyboard)", kFail}}, StartCalls(5, 4), true},
    {"AlreadyAcquiredIsNotAcquired",
     {{"Acquire(keyboard)", kAlreadyAcquired}},
     StartCalls(5, 4),
     false},
    {"AcquireFails", {{"Acquire(keyboard)", kFail}}, StartCalls(5, 4), false},
    {"PositiveCreateResultSucceeds", {{"CreateDevice(keyboard)", 1}}, StartCalls(5, 4), true},
    {"MouseCreateFails", {{"CreateDevice(mouse)", kFail}}, StartCalls(5, 1), true},
    {"MouseFormatFails", {{"SetDataFormat(mouse)", kFail}}, StartCalls(5, 2), true},
    {"MouseLevelFails", {{"SetCooperativeLevel(mouse)", kFail}}, StartCalls(5, 3), true},
};

INSTANTIATE_TEST_SUITE_P(Keyboard, StartDirectInputTest, ::testing::ValuesIn(kStartCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartDirectInputArgumentsTest, PassesInstanceWindowLevelAndBufferSize) {
  FakeInputDevices fake;
  fake.SetInstance(0x400000);
  Keyboard keyboard(fake);
  keyboard.StartDirectInput(0x1234);
  EXPECT_EQ(fake.lastCreateInstance(), 0x400000u);
  EXPECT_EQ(fake.lastCooperativeWindow(), 0x1234u);
  EXPECT_EQ(fake.lastCooperativeFlags(), 6u);
  EXPECT_EQ(fake.lastBufferSize(), 16u);
}

class KeyboardPollTest : public ::testing::Test {
 protected:
  // Raw key mode: every set-up step succeeds.
  void StartAcquired() {
    keyboard_.StartDirectInput(0);
    ASSERT_TRUE(keyboard_.acquired());
    fake_.ClearLog();
  }
  // A device that could not be acquired at start-up.
  void StartUnacquired() {
    fake_.Script("Acquire(keyboard)", {kFail});
    keyboard_.StartDirectInput(0);
    ASSERT_FALSE(keyboard_.acquired());
    fake_.ClearLog();
  }
  void StartWithoutDirectInput() {
    fake_.Script("CreateDirectInput", {kFail});
    keyboard_.StartDirectInput(0);
    fake_.ClearLog();
  }

  FakeInputDevices fake_;
  Keyboard keyboard_{fake_};
};

TEST_F(KeyboardPollTest, EveryKeyIsUpBeforeTheFirstPoll) {
  fake_.PressKey(kDikUp);
  fake_.PressVirtualKey(kVkUp);
  StartAcquired();
  for (int code = 0; code < 256; ++code) EXPECT_EQ(keyboard_.IsKeyDown(code), 0) << code;
}

TEST_F(KeyboardPollTest, WithoutDirectInputOnlyTheWindowsStateIsRead) {
  StartWithoutDirectInput();
  fake_.PressVirtualKey(kVkUp);
  for (int poll = 0; poll < 3; ++poll) keyboard_.PollKeyboard();
  EXPECT_THAT(fake_.log(),
              ElementsAre("ReadKeyboardState", "ReadKeyboardState", "ReadKeyboardState"));
  EXPECT_FALSE(keyboard_.acquired());
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
}

TEST_F(KeyboardPollTest, UnacquiredDeviceRetriesThenReadsTheWindowsState) {
  StartUnacquired();
  fake_.SetResult("Acquire(keyboard)", kFail);
  fake_.SetResult("GetDeviceState(keyboard)", kNotAcquired);
  fake_.PressVirtualKey(kVkUp);
  keyboard_.PollKeyboard();
  EXPECT_THAT(fake_.log(), ElementsAre("GetDeviceState(keyboard)", "Acquire(keyboard)",
                                       "GetDeviceState(keyboard)", "ReadKeyboardState"));
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
}

TEST_F(KeyboardPollTest, AlreadyAcquiredInAPollKeepsVirtualKeyMode) {
  StartUnacquired();
  fake_.Script("GetDeviceState(keyboard)", {kNotAcquired});
  fake_.Script("Acquire(keyboard)", {kAlreadyAcquired});
  keyboard_.PollKeyboard();
  EXPECT_FALSE(keyboard_.acquired());
  EXPECT_EQ(fake_.Count("ReadKeyboardState"), 1);
}

TEST_F(KeyboardPollTest, FirstAcquisitionInAPollSwitchesToRawKeys) {
  StartUnacquired();
  fake_.Script("GetDeviceState(keyboard)", {kNotAcquired});
  fake_.PressKey(kDikUp);
  keyboard_.PollKeyboard();
  EXPECT_TRUE(keyboard_.acquired());
  EXPECT_EQ(fake_.Count("ReadKeyboardState"), 0);
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
}

TEST_F(KeyboardPollTest, InputLostEmptiesTheSnapshot) {
  StartAcquired();
  fake_.PressKey(kDikUp);
  keyboard_.PollKeyboard();
  ASSERT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
  fake_.Script("GetDeviceState(keyboard)", {kDiErrInputLost, kDiErrInputLost});
  keyboard_.PollKeyboard();
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0);
}

TEST_F(KeyboardPollTest, FailedReadInRawModeKeepsTheLastSnapshotAndNeverFallsBack) {
  StartAcquired();
  fake_.PressKey(kDikUp);
  keyboard_.PollKeyboard();
  fake_.ReleaseKey(kDikUp);
  fake_.SetResult("GetDeviceState(keyboard)", kNotAcquired);
  fake_.SetResult("Acquire(keyboard)", kFail);
  keyboard_.PollKeyboard();
  keyboard_.PollKeyboard();
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
  EXPECT_EQ(fake_.Count("ReadKeyboardState"), 0);
}

TEST_F(KeyboardPollTest, SecondReadAfterReacquiringGivesAFreshSnapshot) {
  StartAcquired();
  fake_.Script("GetDeviceState(keyboard)", {kNotAcquired});
  fake_.PressKey(kDikUp);
  keyboard_.PollKeyboard();
  EXPECT_THAT(fake_.log(), ElementsAre("GetDeviceState(keyboard)", "Acquire(keyboard)",
                                       "GetDeviceState(keyboard)"));
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0x80);
}

TEST_F(KeyboardPollTest, FailedReadLeavesEveryKeyUpInTheCallersBuffer) {
  StartAcquired();
  fake_.SetResult("GetDeviceState(keyboard)", kNotAcquired);
  KeyStateBuffer buffer;
  buffer.fill(0xFF);
  keyboard_.PollKeyboardInto(buffer);
  EXPECT_EQ(buffer, KeyStateBuffer{});
}

TEST_F(KeyboardPollTest, PollIntoLeavesTheSharedSnapshotAlone) {
  StartAcquired();
  fake_.PressKey(kDikUp);
  KeyStateBuffer buffer{};
  keyboard_.PollKeyboardInto(buffer);
  EXPECT_TRUE(keyboard_.IsKeyDownIn(buffer, kDikUp));
  EXPECT_EQ(keyboard_.IsKeyDown(kDikUp), 0);
}

TEST_F(KeyboardPollTest, CallersBufferInVirtualKeyModeIsReadThroughTheTable) {
  StartWithoutDirectInput();
  fake_.PressVirtualKey(40);  // VK_DOWN
  KeyStateBuffer buffer{};
  keyboard_.PollKeyboardInto(buffer);
  EXPECT_EQ(buffer[40], 0x80);
  EXPECT_TRUE(keyboard_.IsKeyDownIn(buffer, dik::kDown));
  EXPECT_FALSE(keyboard_.IsKeyDownIn(buffer, 40));
}

TEST_F(KeyboardPollTest, OnlyTheLowByteOfTheCodeCounts) {
  StartAcquired();
  fake_.PressKey(kDikUp);
  keyboard_.PollKeyboard();
  EXPECT_EQ(keyboard_.IsKeyDown(0x100 | dik::kUp), 0x80);
  EXPECT_EQ(keyboard_.IsKeyDown(static_cast<int32_t>(0xFFFFFFC8)), 0x80);
  EXPECT_EQ(keyboard_.IsKeyDown(0x1C7), 0);
}

TEST_F(KeyboardPollTest, KeysWithoutVirtualKeyNeverReadDown) {
  StartWithoutDirectInput();
  for (int vk = 1; vk < 256; ++vk) fake_.PressVirtualKey(static_cast<uint8_t>(vk));
  keyboard_.PollKeyboard();
  for (int code : {144, 145, 146, 13, 56}) EXPECT_EQ(keyboard_.IsKeyDown(code), 0) << code;
}

struct VirtualKeyCase {
  const char* name;
  uint8_t pressedVk;
  int32_t code;
  int expected;
};

class VirtualKeyModeTest : public ::testing::TestWithParam<VirtualKeyCase> {};

TEST_P(VirtualKeyModeTest, ReadsTheKeyThroughItsVirtualKey) {
  FakeInputDevices fake;
  fake.Script("CreateDirectInput", {kFail});
  Keyboard keyboard(fake);
  keyboard.StartDirectInput(0);
  fake.PressVirtualKey(GetParam().pressedVk);
  keyboard.PollKeyboard();
  EXPECT_EQ(keyboard.IsKeyDown(GetParam().code), GetParam().expected);
}

// Keys that share a virtual key read down together.
const VirtualKeyCase kVirtualKeyCases[] = {
    {"LeftShift", vk::kLShift, dik::kLShift, 0x80},
    {"RightShift", vk::kLShift, dik::kRShift, 0x80},
    {"LeftCtrl", vk::kLControl, dik::kLControl, 0x80},
    {"RightCtrl", vk::kLControl, dik::kRControl, 0x80},
    {"Enter", vk::kReturn, dik::kReturn, 0x80},
    {"PadEnter", vk::kReturn, dik::kNumpadEnter, 0x80},
    {"HomeIsVkClear", vk::kHome, dik::kHome, 0x80},
    {"HomeIsNotVkHome", 36, dik::kHome, 0},
    {"UpHighBits", kVkUp, 0x100 | dik::kUp, 0x80},
    {"UpIsNotRawByte", dik::kUp, dik::kUp, 0},
};

INSTANTIATE_TEST_SUITE_P(Keyboard, VirtualKeyModeTest, ::testing::ValuesIn(kVirtualKeyCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReleaseCase {
  const char* name;
  Results results;
  Calls expectedReleases;
};

class ReleaseInputTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseInputTest, ReleasesWhatExistsInOrderAndOnlyOnce) {
  FakeInputDevices fake;
  for (const auto& [call, result] : GetParam().results) fake.Script(call, {result});
  Keyboard keyboard(fake);
  keyboard.StartDirectInput(0);
  fake.ClearLog();
  keyboard.ReleaseInput();
  EXPECT_THAT(fake.log(), ElementsAreArray(GetParam().expectedReleases));
  fake.ClearLog();
  keyboard.ReleaseInput();
  EXPECT_THAT(fake.log(), IsEmpty());
}

const ReleaseCase kReleaseCases[] = {
    {"Everything", {}, {"ReleaseDevice(keyboard)", "ReleaseDevice(mouse)", "ReleaseDirectInput"}},
    {"NoDirectInput", {{"CreateDirectInput", kFail}}, {}},
    {"NoKeyboard",
     {{"CreateDevice(keyboard)", kFail}},
     {"ReleaseDevice(mouse)", "ReleaseDirectInput"}},
    {"NoMouse",
     {{"CreateDevice(mouse)", kFail}},
     {"ReleaseDevice(keyboard)", "ReleaseDirectInput"}},
    {"UnformattedKeyboardStillReleased",
     {{"SetDataFormat(keyboard)", kFail}},
     {"ReleaseDevice(keyboard)", "ReleaseDevice(mouse)", "ReleaseDirectInput"}},
};

INSTANTIATE_TEST_SUITE_P(Keyboard, ReleaseInputTest, ::testing::ValuesIn(kReleaseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReleaseInputFlagTest, KeepsRawKeyMode) {
  FakeInputDevices fake;
  Keyboard keyboard(fake);
  keyboard.StartDirectInput(0);
  keyboard.ReleaseInput();
  EXPECT_TRUE(keyboard.acquired());
}

}  // namespace
}  // namespace cfg
