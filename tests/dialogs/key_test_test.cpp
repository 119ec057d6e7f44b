#include "dialogs/key_test.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "input/key_codes.h"
#include "res/resource_ids.h"
#include "tests/dialogs/fake_key_test_view.h"
#include "tests/dialogs/input_rig.h"

namespace cfg::testing {
namespace {

constexpr char kNothingActive[] = "        ";
constexpr int kEnter = 1;  // IDOK

// DirectInput key codes.
constexpr int32_t kKeyUpArrow = dik::kUp;
constexpr int32_t kKeyDownArrow = dik::kDown;
constexpr int32_t kKeyLeftArrow = dik::kLeft;
constexpr int32_t kKeyRightArrow = dik::kRight;
constexpr int32_t kKeyZ = dik::kZ;
constexpr int32_t kKeyX = dik::kX;
constexpr int32_t kKeyC = dik::kC;
constexpr int32_t kKeyV = dik::kV;
constexpr int32_t kKeyI = dik::kI;  // controller 2's UP
constexpr int32_t kKeyA = dik::kA;  // controller 2's B1

// Raw key mode, controller 1 of the key map on its defaults.
class KeyTestTest : public ::testing::Test {
 protected:
  void SetUp() override { rig_.UseRawKeys(); }

  void StartWithDefaults(bool joystick1Present) {
    if (joystick1Present) rig_.StartPads({0});
    BuildDefaultKeyMap(keyMap_.data(), joystick1Present);
    bindings_.SetCurrentKeyMap(keyMap_.data());
  }

  std::string TickWith(const std::vector<int32_t>& keys, PadState pad1 = 0) {
    HoldKeys(rig_.devices, keys);
    HoldPad(rig_.joystickApi, 0, pad1);
    test_.OnTimer(view_);
    return view_.text(IDC_KEY_STATE);
  }

  InputRig rig_;
  Input input_{rig_.keyboard, rig_.joysticks};
  Bindings bindings_{rig_.keyboard, rig_.joysticks};
  std::array<uint8_t, kKeyMapSize> keyMap_{};
  KeyTest test_{input_, bindings_};
  FakeKeyTestView view_;
};

struct HeldCase {
  const char* name;
  bool joystick1Present;  // decides controller 1's defaults
  std::vector<int32_t> keys;
  PadState pad1;
  std::string text;
};

const HeldCase kHeldCases[] = {
    {"NothingHeld", false, {}, 0, kNothingActive},
    {"UpArrowAndZ", false, {kKeyUpArrow, kKeyZ}, 0, "U   1   "},
    {"AllEightKeys",
     false,
     {kKeyUpArrow, kKeyDownArrow, kKeyLeftArrow, kKeyRightArrow, kKeyZ, kKeyX, kKeyC, kKeyV},
     0,
     "UDLR1234"},
    {"KeysOfController2NeverShow", false, {kKeyI, kKeyA}, 0, kNothingActive},
    {"PadUpAndB2", true, {}, kPadUp | 0x2, "U    2  "},
    {"PadRightAndB4", true, {}, kPadRight | 0x8, "   R   4"},
    {"PadButton5IsUnbound", true, {}, 0x10, kNothingActive},
    {"KeysDoNothingWithPadDefaults", true, {kKeyUpArrow, kKeyZ}, 0, kNothingActive},
};

class HeldInputTest : public KeyTestTest, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(HeldInputTest, ShowsTheActivePositions) {
  const HeldCase& c = GetParam();
  StartWithDefaults(c.joystick1Present);
  test_.OnOpen(view_);
  EXPECT_EQ(TickWith(c.keys, c.pad1), c.text);
}

INSTANTIATE_TEST_SUITE_P(Controller1, HeldInputTest, ::testing::ValuesIn(kHeldCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyTestTest, TemplateTextStaysUntilTheFirstTickThenEachTickStartsAfresh) {
  StartWithDefaults(false);
  test_.OnOpen(view_);
  EXPECT_TRUE(view_.timerRunning());
  EXPECT_EQ(view_.text(IDC_KEY_STATE), FakeKeyTestView::kTemplateStateText);

  EXPECT_EQ(TickWith({kKeyUpArrow}), "U       ");
  EXPECT_EQ(TickWith({kKeyX}), "     2  ");
  EXPECT_EQ(TickWith({}), kNothingActive);
}

TEST_F(KeyTestTest, PadBindingForAnAbsentJoystickNeverLights) {
  AttachPads(rig_.joystickApi, {0});
  rig_.joystickApi.SetJoystick(1, FakeJoystickApi::FullRange(), kAxisCentre, kAxisCentre, 0);
  rig_.joystickApi.SetAttached(1, false);
  rig_.joysticks.EnumerateJoysticks();
  rig_.joysticks.DetectJoysticks();
  BuildDefaultKeyMap(keyMap_.data(), false);
  StoreBinding(keyMap_.data(), 0, kUp, KeyBinding{2, static_cast<int32_t>(kPadUp), 0});
  StoreBinding(keyMap_.data(), 0, kDown, KeyBinding{1, static_cast<int32_t>(kPadDown), 0});
  bindings_.SetCurrentKeyMap(keyMap_.data());
  HoldPad(rig_.joystickApi, 1, kPadUp);

  test_.OnOpen(view_);
  EXPECT_EQ(TickWith({}, kPadDown), " D      ");
}

// A binding changed between two openings evaluates by its new source.
TEST_F(KeyTestTest, EachOpeningInstallsTheHandlersAfresh) {
  StartWithDefaults(false);
  rig_.StartPads({0});
  test_.OnOpen(view_);
  EXPECT_EQ(TickWith({kKeyUpArrow}), "U       ");
  test_.OnCommand(view_, IDC_CANCEL);

  StoreBinding(keyMap_.data(), 0, kUp, KeyBinding{1, static_cast<int32_t>(kPadUp), 0});
  FakeKeyTestView reopened;
  test_.OnOpen(reopened);
  HoldKeys(rig_.devices, {kKeyUpArrow});
  test_.OnTimer(reopened);
  EXPECT_EQ(reopened.text(IDC_KEY_STATE), kNothingActive);
  HoldKeys(rig_.devices, {});
  HoldPad(rig_.joystickApi, 0, kPadUp);
  test_.OnTimer(reopened);
  EXPECT_EQ(reopened.text(IDC_KEY_STATE), "U       ");
}

struct CommandCase {
  const char* name;
  int id;
  int result;  // 0: the test stays open
};

const CommandCase kCommands[] = {
    {"EscapeEnds", IDC_CANCEL, kDialogCancelled},
    {"EnterIsIgnored", kEnter, 0},
    {"HiddenEditIsIgnored", IDC_KEY_TEST_HIDDEN, 0},
};

class KeyTestCommandTest : public KeyTestTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(KeyTestCommandTest, OnlyEscapeEndsTheTest) {
  const CommandCase& c = GetParam();
  StartWithDefaults(false);
  test_.OnOpen(view_);
  HoldKeys(rig_.devices, {kKeyUpArrow, kKeyZ});
  test_.OnCommand(view_, c.id);
  EXPECT_EQ(view_.result().value_or(0), c.result);
  EXPECT_EQ(view_.timerRunning(), c.result == 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, KeyTestCommandTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace cfg::testing
