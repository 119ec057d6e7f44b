#include "dialogs/key_test.h"

#include <gtest/gtest.h>

#include <string>

#include "res/resource_ids.h"
#include "tests/dialogs/allocation_count.h"
#include "tests/dialogs/fake_key_test_view.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::testing {
namespace {

// The default key maps, with joystick 1 present when asked; controller 1 is shown.
struct KeyTestCase {
  const char* name;
  bool joystick1;
  std::vector<uint8_t> keys;
  PadState pad1;
  const char* shown;
};

const KeyTestCase kKeyTestCases[] = {
    {"NothingHeld", false, {}, 0, "        "},
    {"UpAndZ", false, {200, 44}, 0, "U   1   "},
    {"AllEight", false, {200, 208, 203, 205, 44, 45, 46, 47}, 0, "UDLR1234"},
    {"OtherControllersKeys", false, {23, 30}, kPadUp, "        "},
    {"Joystick", true, {200}, kPadLeft | 0x8, "  L    4"},
};

class KeyTestTest : public ::testing::TestWithParam<KeyTestCase> {};

// Each text is shown with a tick run inside it, as a message pumped there would.
TEST_P(KeyTestTest, ShowsController1EveryTick) {
  const KeyTestCase& c = GetParam();
  FakeInputDevices devices;
  FakeJoystickApi pads;
  Keyboard keyboard(devices);
  Joysticks joysticks(pads);
  Input input(keyboard, joysticks);
  if (c.joystick1) pads.Attach(0);
  input.StartInput(1);
  joysticks.DetectJoysticks();
  std::array<uint8_t, kKeyMapSize> keyMap{};
  BuildDefaultKeyMap(keyMap.data(), c.joystick1);
  Bindings bindings(keyboard, joysticks);
  bindings.SetCurrentKeyMap(keyMap.data());
  KeyTest dialog(input, bindings);
  FakeKeyTestView view(&dialog);

  dialog.OnOpen(view);
  EXPECT_TRUE(view.timerRunning);
  for (uint8_t key : c.keys) devices.Hold(key);
  pads.Hold(0, c.pad1);
  EXPECT_EQ(AllocationsDuring([&] { dialog.OnTimer(view); }), 0);
  EXPECT_EQ(view.text(IDC_KEY_STATE), c.shown);
  EXPECT_EQ(view.shown(), 1);

  dialog.OnCommand(view, IDC_CONFIRM);
  EXPECT_FALSE(view.result.has_value());
  dialog.OnCommand(view, IDC_CANCEL);
  EXPECT_EQ(view.result, kDialogCancelled);
  EXPECT_FALSE(view.timerRunning);
}

INSTANTIATE_TEST_SUITE_P(Inputs, KeyTestTest, ::testing::ValuesIn(kKeyTestCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
