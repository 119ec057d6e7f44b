// One 100 ms tick of each sub-dialog, over input stand-ins that cost next to
// nothing. The argument picks the keyboard mode: 1 raw DirectInput codes,
// 0 the Windows keyboard state (the mode the program runs in under Wine).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"
#include "input/input.h"
#include "res/resource_ids.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::bench {
namespace {

using testing::FakeButtonAssignView;
using testing::FakeKeyTestView;

constexpr uint8_t kKeyZ = 44;
constexpr uint8_t kKeyX = 45;
constexpr uint8_t kKeyUpArrow = 200;
constexpr PadState kPadB1 = 0x1;
constexpr PadState kPadB2 = 0x2;

// Joystick 1 attached and at rest, controller 1 on its keyboard defaults.
struct Devices {
  explicit Devices(bool rawKeys) {
    if (!rawKeys) inputDevices.Fail(FakeInputDevices::Call::kCreateDirectInput, -1);
    pads.Attach(0);
    keyboard.StartDirectInput(0);
    joysticks.EnumerateJoysticks();
    joysticks.DetectJoysticks();
    BuildDefaultKeyMap(keyMap.data(), false);
  }

  FakeInputDevices inputDevices;
  FakeJoystickApi pads;
  Keyboard keyboard{inputDevices};
  Joysticks joysticks{pads};
  std::array<uint8_t, kKeyMapSize> keyMap{};
};

// The dialog open, the UP field focused, the pads' resting state noted.
struct CaptureRig {
  explicit CaptureRig(bool rawKeys) : devices(rawKeys) {
    dialog.BeginEditing(devices.keyMap.data(), 0);
    view.Open();
    view.Click(IDC_FIELD_UP);
    view.Tick();
  }

  // After B4 the focus is on "設定する"; the player starts over at UP.
  void KeepAFieldFocused() {
    if (FieldPosition(view.focus()) == -1) view.Click(IDC_FIELD_UP);
  }

  Devices devices;
  ButtonAssign dialog{devices.keyboard, devices.joysticks};
  FakeButtonAssignView view{dialog};
};

// Each capture shows one text; the opening showed the eight fields.
void ExpectEveryTickCaptured(benchmark::State& state, const CaptureRig& rig) {
  const int64_t captures = rig.view.shown() - kPositionCount;
  if (captures != static_cast<int64_t>(state.iterations())) {
    state.SkipWithError("a tick captured nothing");
  }
}

void CaptureTickNothingHeld(benchmark::State& state) {
  CaptureRig rig(state.range(0) != 0);
  for (auto _ : state) rig.view.Tick();
}
BENCHMARK(CaptureTickNothingHeld)->ArgName("raw")->Arg(0)->Arg(1);

// The key taken at the first tick stays down: each tick waits for its release.
void CaptureTickKeyHeld(benchmark::State& state) {
  CaptureRig rig(state.range(0) != 0);
  rig.devices.inputDevices.Hold(kKeyZ);
  for (auto _ : state) rig.view.Tick();
  if (rig.view.text(IDC_FIELD_UP) != "z") state.SkipWithError("the held key was not captured");
}
BENCHMARK(CaptureTickKeyHeld)->ArgName("raw")->Arg(0)->Arg(1);

// z and x held in turn, so every tick captures a key: the longest key path.
void CaptureTickKeyCaptured(benchmark::State& state) {
  CaptureRig rig(state.range(0) != 0);
  FakeInputDevices& keys = rig.devices.inputDevices;
  bool z = false;
  for (auto _ : state) {
    z = !z;
    keys.Release(z ? kKeyX : kKeyZ);
    keys.Hold(z ? kKeyZ : kKeyX);
    rig.KeepAFieldFocused();
    rig.view.Tick();
  }
  ExpectEveryTickCaptured(state, rig);
}
BENCHMARK(CaptureTickKeyCaptured)->ArgName("raw")->Arg(0)->Arg(1);

// Buttons 1 and 2 of joystick 1 in turn: every tick captures a pad input.
void CaptureTickPadCaptured(benchmark::State& state) {
  CaptureRig rig(state.range(0) != 0);
  bool b1 = false;
  for (auto _ : state) {
    b1 = !b1;
    rig.devices.pads.Hold(0, b1 ? kPadB1 : kPadB2);
    rig.KeepAFieldFocused();
    rig.view.Tick();
  }
  ExpectEveryTickCaptured(state, rig);
}
BENCHMARK(CaptureTickPadCaptured)->ArgName("raw")->Arg(0)->Arg(1);

// Poll all input, evaluate controller 1, show its eight letters; ↑ and z held.
void KeyTestTick(benchmark::State& state) {
  Devices devices(state.range(0) != 0);
  Input input(devices.keyboard, devices.joysticks);
  Bindings bindings(devices.keyboard, devices.joysticks);
  bindings.SetCurrentKeyMap(devices.keyMap.data());
  KeyTest keyTest(input, bindings);
  FakeKeyTestView view;
  keyTest.OnOpen(view);
  devices.inputDevices.Hold(kKeyUpArrow);
  devices.inputDevices.Hold(kKeyZ);
  for (auto _ : state) keyTest.OnTimer(view);
  if (view.text(IDC_KEY_STATE) != "U   1   ") state.SkipWithError("the held keys were not shown");
}
BENCHMARK(KeyTestTick)->ArgName("raw")->Arg(0)->Arg(1);

}  // namespace
}  // namespace cfg::bench
