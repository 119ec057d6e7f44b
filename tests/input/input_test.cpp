#include "input/input.h"

#include <gtest/gtest.h>

#include "input/key_codes.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

class InputTest : public ::testing::Test {
 protected:
  FakeInputDevices devices_;
  FakeJoystickApi joystickApi_;
  Keyboard keyboard_{devices_};
  Joysticks joysticks_{joystickApi_};
  Input input_{keyboard_, joysticks_};
};

TEST_F(InputTest, StartsDirectInputAndTheJoysticks) {
  joystickApi_.SetNumDevs(2);
  input_.StartInput(0);
  EXPECT_TRUE(keyboard_.acquired());
  EXPECT_EQ(joysticks_.count(), 2u);
}

TEST_F(InputTest, EnumeratesEvenWithoutDirectInput) {
  devices_.Script("CreateDirectInput", {static_cast<int32_t>(0x80004005)});
  joystickApi_.SetNumDevs(16);
  input_.StartInput(0);
  EXPECT_EQ(joysticks_.count(), 16u);
}

TEST_F(InputTest, PollsTheSharedSnapshotAndEveryPresentJoystick) {
  joystickApi_.SetNumDevs(2);
  joystickApi_.SetJoystick(1, FakeJoystickApi::FullRange(), 0, 32767, 0x2);
  input_.StartInput(0);
  joysticks_.DetectJoysticks();
  devices_.PressKey(dik::kZ);
  input_.PollAllInput();
  EXPECT_EQ(keyboard_.IsKeyDown(dik::kZ), 0x80);
  EXPECT_EQ(joysticks_.GetSavedPadState(1), kPadLeft | 0x2);
  EXPECT_EQ(joysticks_.GetSavedPadState(0), 0u);
}

}  // namespace
}  // namespace cfg
