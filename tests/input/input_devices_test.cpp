// The keyboard through DirectInput or the Windows key state, and the joysticks
// through the multimedia interface.
#include "input/joystick.h"
#include "input/keyboard.h"

#include <gtest/gtest.h>

#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

using Call = FakeInputDevices::Call;
using Device = InputDevices::Device;

constexpr uint8_t kKeyZ = 44;
constexpr uint8_t kKeyX = 45;
constexpr int32_t kFailed = static_cast<int32_t>(0x80004005);
constexpr Device kKb = Device::kKeyboard;
constexpr Device kMouse = Device::kMouse;

// One way the DirectInput set-up goes; only a plain success of the keyboard's
// Acquire switches to raw key mode. Releasing twice releases what was made, once.
struct StartCase {
  const char* name;
  Call failing;
  Device device;
  int32_t result;
  bool raw;
  int mouseAcquires, bufferSizes;
  int releases[3];  // keyboard, mouse, DirectInput
};

const StartCase kStartCases[] = {
    {"AllSucceed", Call::kAcquire, kKb, kDiOk, true, 1, 1, {1, 1, 1}},
    {"NoDirectInput", Call::kCreateDirectInput, kKb, kFailed, false, 0, 0, {0, 0, 0}},
    {"NoKeyboardDevice", Call::kCreateDevice, kKb, kFailed, false, 1, 0, {0, 1, 1}},
    {"NoDataFormat", Call::kSetDataFormat, kKb, kFailed, false, 1, 0, {1, 1, 1}},
    {"NoCooperation", Call::kSetCooperativeLevel, kKb, kFailed, false, 1, 0, {1, 1, 1}},
    {"AlreadyAcquired", Call::kAcquire, kKb, 1, false, 1, 1, {1, 1, 1}},
    {"AcquireRefused", Call::kAcquire, kKb, kFailed, false, 1, 1, {1, 1, 1}},
    {"BufferSizeRefused", Call::kSetBufferSize, kKb, kFailed, true, 1, 1, {1, 1, 1}},
    {"NoMouseDevice", Call::kCreateDevice, kMouse, kFailed, true, 0, 1, {1, 0, 1}},
    {"NoMouseFormat", Call::kSetDataFormat, kMouse, kFailed, true, 0, 1, {1, 1, 1}},
};

// Z held, as each layout numbers it: the mode decides which buffer is read.
// Only bit 0x80 of a key's byte means held: X has every other bit set.
TEST(KeyboardTest, StartReadsTheLayoutOfItsModeAndReleasesWhatItMade) {
  for (const StartCase& c : kStartCases) {
    SCOPED_TRACE(c.name);
    FakeInputDevices devices;
    devices.Fail(c.failing, c.result, c.device);
    Keyboard keyboard(devices);
    keyboard.StartDirectInput(1);
    (c.raw ? devices.keys[kKeyZ] : devices.virtualKeys['Z']) = 0x80;
    devices.Hold(kKeyX, 0x7F);
    keyboard.PollKeyboard();
    KeyStateBuffer buffer;
    keyboard.PollKeyboardInto(buffer);

    EXPECT_EQ(keyboard.acquired(), c.raw);
    EXPECT_TRUE(keyboard.IsKeyDown(kKeyZ) && keyboard.IsKeyDownIn(buffer, kKeyZ));
    EXPECT_FALSE(keyboard.IsKeyDown(kKeyX) || keyboard.IsKeyDownIn(buffer, kKeyX));
    EXPECT_EQ(devices.Count(Call::kReadKeyboardState), c.raw ? 0 : 2);
    EXPECT_EQ(devices.Count(Call::kAcquire, kMouse), c.mouseAcquires);
    EXPECT_EQ(devices.Count(Call::kSetBufferSize), c.bufferSizes);
    keyboard.ReleaseInput();
    keyboard.ReleaseInput();
    const int reads = devices.Count(Call::kGetDeviceState);
    keyboard.PollKeyboard();  // what was released is not read again
    EXPECT_EQ(devices.Count(Call::kGetDeviceState), reads);
    EXPECT_EQ(devices.Count(Call::kReleaseDevice), c.releases[0]);
    EXPECT_EQ(devices.Count(Call::kReleaseDevice, kMouse), c.releases[1]);
    EXPECT_EQ(devices.Count(Call::kReleaseDirectInput), c.releases[2]);
  }
}

// Z was held at the last poll and is up now. A failed read acquires once and
// reads again; after a second failure the shared buffer keeps the last snapshot
// unless the input is lost, the caller's holds every key up.
TEST(KeyboardTest, ReadShowsTheNewStateOrWhatAFailureLeaves) {
  const struct {
    const char* name;
    int32_t first, second;
    bool sharedHeld;
  } kReads[] = {
      {"Succeeds", kDiOk, kDiOk, false},
      {"RecoversAfterReacquiring", kFailed, kDiOk, false},
      {"InputLost", kFailed, kDiErrInputLost, false},
      {"OtherFailure", kFailed, kFailed, true},
  };
  for (const auto& c : kReads) {
    SCOPED_TRACE(c.name);
    FakeInputDevices devices;
    Keyboard keyboard(devices);
    keyboard.StartDirectInput(1);
    devices.Hold(kKeyZ);
    keyboard.PollKeyboard();
    devices.Release(kKeyZ);
    KeyStateBuffer buffer{};
    buffer[kKeyZ] = 0x80;
    for (KeyStateBuffer* into : {static_cast<KeyStateBuffer*>(nullptr), &buffer}) {
      devices.FailOnce(Call::kGetDeviceState, c.first);
      if (c.first != kDiOk) devices.Fail(Call::kGetDeviceState, c.second);
      into == nullptr ? keyboard.PollKeyboard() : keyboard.PollKeyboardInto(*into);
      devices.Fail(Call::kGetDeviceState, kDiOk);
    }
    EXPECT_EQ(keyboard.IsKeyDown(kKeyZ) != 0, c.sharedHeld);
    EXPECT_FALSE(keyboard.IsKeyDownIn(buffer, kKeyZ));
    EXPECT_EQ(devices.Count(Call::kGetDeviceState), c.first == kDiOk ? 3 : 5);
    EXPECT_EQ(devices.Count(Call::kAcquire), c.first == kDiOk ? 1 : 3);
    EXPECT_EQ(devices.Count(Call::kReadKeyboardState), 0);
  }
}

TEST(JoystickTest, AxisZoneCutsTheRangeIntoThirds) {
  const uint32_t kZones[][4] = {
      // position, min, max, zone
      {199, 0, 300, 1},  // just below two thirds
      {200, 0, 300, 2},
      {300, 0, 300, 3},
      {150, 100, 200, 1},
      {5, 100, 200, 0},  // outside the range
      {900, 100, 200, 3},
      {190, 200, 100, 2},  // reversed
      {100, 100, 100, 0},  // empty
      {0xFFFFFFFF, 0, 0xFFFFFFFF, 3},
  };
  for (const auto& z : kZones) EXPECT_EQ(AxisZone(z[0], z[1], z[2], 3), z[3]) << z[0];
}

TEST(JoystickTest, PositionFlagsAskForTheAxesTheJoystickHas) {
  EXPECT_EQ(PositionFlags(0), kJoyReturnBase);
  EXPECT_EQ(PositionFlags(0x1F), kJoyReturnBase | 0x7C);  // Z R U V POV
  EXPECT_EQ(PositionFlags(0x20), kJoyReturnBase);         // JOYCAPS_POV4DIR: nothing more
}

// Joystick 1 on 0-65535, read at this position: zone 2 starts at 43690, DOWN or RIGHT.
TEST(JoystickTest, ReadingGivesDirectionsAndButtons) {
  constexpr uint32_t kMax = FakeJoystickApi::kAxisMax;
  constexpr uint32_t kCentre = FakeJoystickApi::kAxisCentre;
  const struct {
    const char* name;
    uint32_t x, y, buttons;
    PadState state;
  } kReadings[] = {
      {"LowEndsAreUpAndLeft", 21844, 0, 0, kPadUp | kPadLeft},
      {"MiddleThirdStartsCentre", kCentre, 21845, 0, 0},
      {"SecondThirdIsDown", kCentre, 43690, 0, kPadDown},
      {"SecondThirdIsRight", 43690, kCentre, 0, kPadRight},
      {"HighEnds", kMax, kMax, 0x8001, kPadDown | kPadRight | 0x8001},
      {"ButtonsPast16Dropped", kCentre, kCentre, 0xFFFF0002, 0x2},
  };
  for (const auto& c : kReadings) {
    SCOPED_TRACE(c.name);
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
}

// Joysticks 1 and 3 attached, 2 answering but not attached, all four pushed
// up with button 1: only present joysticks are read, only ids 0-3 and only
// those the driver counts. No reading counts as nothing held: stale zones
// would hold a direction.
TEST(JoystickTest, PollsOnlyPresentReadableJoysticks) {
  for (const uint32_t numDevs : {16u, 1u}) {
    SCOPED_TRACE(numDevs);
    FakeJoystickApi api;
    api.numDevs = numDevs;
    for (uint32_t id : {0u, 2u}) api.Attach(id);
    api.devices[1].capsOk = api.devices[1].answers = true;
    for (uint32_t id = 0; id < kJoystickSlots; ++id) api.Hold(id, kPadUp | 0x1);
    Joysticks joysticks(api);
    joysticks.EnumerateJoysticks();
    joysticks.DetectJoysticks();
    for (int index : {0, 1, kJoystickSlots}) joysticks.PollJoysticks(index);  // one: that one
    EXPECT_EQ(api.devices[2].queries + api.devices[1].queries, 0);
    EXPECT_EQ(api.devices[0].queries, 1);
    api.devices[0].queries = 0;
    joysticks.PollJoysticks(-1);
    EXPECT_EQ(api.otherIdQueries, 0);
    EXPECT_TRUE(joysticks.present(0) && joysticks.present(2));
    EXPECT_FALSE(joysticks.present(1) || joysticks.present(3) || joysticks.present(4));
    for (int id = 0; id < kJoystickSlots; ++id) {
      const bool read = joysticks.present(id) && static_cast<uint32_t>(id) < numDevs;
      EXPECT_EQ(api.devices[id].queries, read ? 1 : 0) << id;
      EXPECT_EQ(joysticks.GetSavedPadState(id), read ? kPadUp | 0x1 : 0) << id;
    }
    EXPECT_EQ(api.devices[0].lastFlags, kJoyReturnBase);
    for (int index : {-2, 4, 5}) EXPECT_EQ(joysticks.GetSavedPadState(index), 0xFFFFFFFF);
    PadState state = 7;
    EXPECT_EQ(joysticks.ReadJoystick(2, state), numDevs > 2);
    EXPECT_EQ(state, numDevs > 2 ? kPadUp | 0x1 : 7);
    api.devices[0].answers = false;
    joysticks.PollJoysticks(0);
    EXPECT_EQ(joysticks.GetSavedPadState(0), 0u);
  }
  FakeJoystickApi api;
  api.devices[3].answers = true;  // but no caps
  Joysticks unprepared(api);
  unprepared.EnumerateJoysticks();
  PadState state = 7;
  EXPECT_EQ(unprepared.ReadJoystick(3, state), 1);
  EXPECT_EQ(state, 0u);
}

}  // namespace
}  // namespace cfg
