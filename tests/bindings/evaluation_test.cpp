#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bindings/key_map.h"
#include "input/key_codes.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg {
namespace {

constexpr uint32_t kCentre = 32767;
constexpr uint8_t kDikZ = dik::kZ;

// Raw key mode, joystick 1 attached at rest, joystick 2 absent.
class EvaluationTest : public ::testing::Test {
 protected:
  EvaluationTest() {
    keyboard_.StartDirectInput(0);
    joystickApi_.SetNumDevs(4);
    joystickApi_.SetJoystick(0, FakeJoystickApi::FullRange(), kCentre, kCentre, 0);
    joysticks_.EnumerateJoysticks();
    joysticks_.DetectJoysticks();
    BuildDefaultKeyMap(keyMap_.data(), false);
    bindings_.SetCurrentKeyMap(keyMap_.data());
  }

  void Bind(int controller, int position, int32_t source, int32_t code) {
    KeyBinding binding = LoadBinding(keyMap_.data(), controller, position);
    SetBinding(binding, source, code);
    StoreBinding(keyMap_.data(), controller, position, binding);
  }
  // Joystick 1's stick and buttons, then a poll of everything.
  void Hold(uint32_t x, uint32_t y, uint32_t buttons) {
    joystickApi_.SetPosition(0, x, y, buttons);
    Poll();
  }
  void Poll() {
    keyboard_.PollKeyboard();
    joysticks_.PollJoysticks(-1);
  }

  FakeInputDevices devices_;
  FakeJoystickApi joystickApi_;
  Keyboard keyboard_{devices_};
  Joysticks joysticks_{joystickApi_};
  Bindings bindings_{keyboard_, joysticks_};
  std::array<uint8_t, kKeyMapSize> keyMap_{};
};

struct BindingChange {
  int position;
  int32_t source, code;
};

struct EvaluationCase {
  const char* name;
  std::vector<BindingChange> bindings;  // over controller 1's keyboard defaults
  std::vector<uint8_t> keys;            // held DirectInput keys
  uint32_t x, y, buttons;               // joystick 1
  PadState expected;
};

class ControllerEvaluationTest : public EvaluationTest,
                                 public ::testing::WithParamInterface<EvaluationCase> {};

TEST_P(ControllerEvaluationTest, OrsTheBitsOfTheActiveBindings) {
  for (const BindingChange& change : GetParam().bindings)
    Bind(0, change.position, change.source, change.code);
  bindings_.InstallBindingHandlers();
  for (uint8_t key : GetParam().keys) devices_.PressKey(key);
  Hold(GetParam().x, GetParam().y, GetParam().buttons);
  EXPECT_EQ(bindings_.EvaluateController(0), GetParam().expected);
}

const EvaluationCase kEvaluationCases[] = {
    {"NothingHeld", {}, {}, kCentre, kCentre, 0, 0},
    {"DefaultArrowsAndZ", {}, {200, 205, kDikZ}, kCentre, kCentre, 0, 0x10000 | 0x80000 | 0x1},
    {"UnboundKeyIgnored", {}, {1, 57}, kCentre, kCentre, 0, 0},
    {"TwoPositionsOneKey", {{kB2, 0, kDikZ}}, {kDikZ}, kCentre, kCentre, 0, 0x3},
    {"Code300IsKey44", {{kB1, 0, 300}}, {kDikZ}, kCentre, kCentre, 0, 0x1},
    {"PadButton", {{kB3, 1, 0x4}}, {}, kCentre, kCentre, 0x4, 0x4},
    {"BitFollowsPosition", {{kB1, 1, 0x10}}, {}, kCentre, kCentre, 0x10, 0x1},
    {"MaskAnyBitActive", {{kUp, 1, 0x3}}, {}, kCentre, kCentre, 0x2, 0x10000},
    {"MaskNoBitHeld", {{kUp, 1, 0x3}}, {}, kCentre, kCentre, 0x4, 0},
    {"PadCodeZeroNeverActive", {{kUp, 1, 0}}, {}, 0, 0, 0xFFFF, 0},
    {"PadDirection", {{kRight, 1, 0x80000}}, {}, 65535, kCentre, 0, 0x80000},
    {"KeyAndPadAlike", {{kDown, 1, 0x20000}}, {200}, kCentre, 65535, 0, 0x30000},
    {"AbsentJoystick", {{kB1, 2, 0x1}}, {}, kCentre, kCentre, 0x1, 0},
    {"SourceFive", {{kB1, 5, 0x1}}, {}, kCentre, kCentre, 0x1, 0},
    {"SourceMinusOne", {{kB1, -1, 0x1}}, {}, kCentre, kCentre, 0x1, 0},
    {"SourceMostNegative", {{kB1, INT32_MIN, 0x1}}, {}, kCentre, kCentre, 0x1, 0},
};

INSTANTIATE_TEST_SUITE_P(Bindings, ControllerEvaluationTest, ::testing::ValuesIn(kEvaluationCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvaluationTest, ControllerOutsideZeroToThreeIsZero) {
  bindings_.InstallBindingHandlers();
  devices_.PressKey(200);
  Poll();
  ASSERT_EQ(bindings_.EvaluateController(0), 0x10000u);
  EXPECT_EQ(bindings_.EvaluateController(-1), 0u);
  EXPECT_EQ(bindings_.EvaluateController(4), 0u);
}

TEST_F(EvaluationTest, EveryControllerIsInstalled) {
  bindings_.InstallBindingHandlers();
  devices_.PressKey(211);  // Del: controller 4's LEFT
  Poll();
  EXPECT_EQ(bindings_.EvaluateController(3), 0x40000u);
}

TEST_F(EvaluationTest, NothingIsActiveBeforeInstalling) {
  devices_.PressKey(200);
  Poll();
  EXPECT_EQ(bindings_.EvaluateController(0), 0u);
}

TEST_F(EvaluationTest, NoKeyMapEvaluatesToZero) {
  Bindings bindings(keyboard_, joysticks_);
  bindings.InstallBindingHandlers();
  devices_.PressKey(200);
  Poll();
  EXPECT_EQ(bindings.EvaluateController(0), 0u);
}

TEST_F(EvaluationTest, ChangedSourceKeepsTheOldHandlerUntilInstalled) {
  bindings_.InstallBindingHandlers();
  Bind(0, kB1, 1, 0x1);  // was key z
  Hold(kCentre, kCentre, 0x1);
  EXPECT_EQ(bindings_.EvaluateController(0), 0u);
  devices_.PressKey(1);  // the key handler now reads code 0x1 as Esc
  Poll();
  EXPECT_EQ(bindings_.EvaluateController(0), 0x1u);
  devices_.ReleaseKey(1);
  Poll();
  bindings_.InstallBindingHandlers();
  EXPECT_EQ(bindings_.EvaluateController(0), 0x1u);
}

TEST_F(EvaluationTest, InstallingLeavesTheHandlerWordsOfTheRecord) {
  for (int controller = 0; controller < kControllerCount; ++controller) {
    for (int position = 0; position < kPositionCount; ++position) {
      KeyBinding binding = LoadBinding(keyMap_.data(), controller, position);
      binding.handler = 0xCAFEF00D;
      StoreBinding(keyMap_.data(), controller, position, binding);
    }
  }
  const auto before = keyMap_;
  bindings_.InstallBindingHandlers();
  EXPECT_EQ(keyMap_, before);
  devices_.PressKey(kDikZ);
  Poll();
  EXPECT_EQ(bindings_.EvaluateController(0), 0x1u);
}

TEST_F(EvaluationTest, AnotherKeyMapNeedsItsOwnInstall) {
  bindings_.InstallBindingHandlers();
  std::array<uint8_t, kKeyMapSize> other{};
  BuildDefaultKeyMap(other.data(), false);
  bindings_.SetCurrentKeyMap(other.data());
  devices_.PressKey(200);
  Poll();
  EXPECT_EQ(bindings_.EvaluateController(0), 0u);
  bindings_.InstallBindingHandlers();
  EXPECT_EQ(bindings_.EvaluateController(0), 0x10000u);
}

}  // namespace
}  // namespace cfg
