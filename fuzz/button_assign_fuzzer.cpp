// The button-assignment capture fed random key bytes, pad readings, joystick presence and
// axis ranges, clicks, commands, failed reads and ticks inside ticks: each tick takes at
// most one input, and only into the field focused when it began.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_check.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::testing {
namespace {

constexpr int kControlIds[] = {0, IDC_ASSIGN_OK, IDC_ASSIGN_CANCEL, IDC_FIELD_UP, IDC_FIELD_B4};

struct Rig {
  FakeInputDevices devices;
  FakeJoystickApi pads;
  Keyboard keyboard{devices};
  Joysticks joysticks{pads};
  ButtonAssign dialog{keyboard, joysticks};
  FakeButtonAssignView view{dialog, &devices};  // ticks again inside a focus move
};

void Tick(Rig& rig, int keyInside) {
  const ControllerBindings before = rig.dialog.working();
  const int focused = rig.dialog.focusedPosition();
  rig.view.keyInside = keyInside;
  rig.view.Tick();
  rig.view.keyInside = -1;
  int changed = 0;
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding &now = rig.dialog.working()[position], &was = before[position];
    if (now.source != was.source || now.code != was.code)
      FUZZ_CHECK(position == focused && ++changed == 1);
  }
}

}  // namespace
}  // namespace cfg::testing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  using namespace cfg::testing;
  FuzzedDataProvider input(data, size);
  Rig rig;
  if (input.ConsumeBool()) rig.devices.Fail(FakeInputDevices::Call::kCreateDirectInput, -1);
  rig.keyboard.StartDirectInput(1);
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (!input.ConsumeBool()) continue;
    rig.pads.Attach(id);
    rig.pads.devices[id].caps = {
        input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
        input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>()};
  }
  rig.joysticks.EnumerateJoysticks();
  rig.joysticks.DetectJoysticks();
  std::array<uint8_t, kKeyMapSize> keyMap{};
  for (uint8_t& byte : keyMap) byte = input.ConsumeIntegral<uint8_t>();
  rig.dialog.BeginEditing(keyMap.data(), input.ConsumeIntegralInRange(0, kControllerCount - 1));
  rig.view.Open();
  while (input.remaining_bytes() > 0 && !rig.view.result) {
    const uint32_t pad = input.ConsumeIntegralInRange<uint32_t>(0, kJoystickSlots - 1);
    switch (input.ConsumeIntegralInRange(0, 7)) {
      case 0:
        rig.devices.Hold(input.ConsumeIntegral<uint8_t>(), input.ConsumeIntegral<uint8_t>());
        break;
      case 1:
        rig.pads.Set(pad, input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                     input.ConsumeIntegral<uint32_t>());
        break;
      case 2:
        rig.view.Click(input.PickValueInArray(kControlIds));
        break;
      case 3:
        input.ConsumeBool()
            ? rig.dialog.OnFieldLeft()
            : rig.dialog.OnFieldFocused(input.ConsumeIntegralInRange(0, kPositionCount - 1));
        break;
      case 4:
        rig.devices.FailOnce(FakeInputDevices::Call::kGetDeviceState,
                             input.PickValueInArray({kDiErrInputLost, int32_t(0x80004005), 1}));
        break;
      case 5:
        rig.pads.devices[pad].answers = !rig.pads.devices[pad].answers;
        break;
      default:
        Tick(rig, input.ConsumeIntegralInRange(-1, 255));
    }
  }
  return 0;
}
