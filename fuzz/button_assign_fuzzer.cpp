// The button-assignment capture fed random keyboard states, pad readings and
// axis ranges, joystick presence, focus events, failed reads and ticks inside
// ticks. Each tick takes at most one input, only a held, named one, and only
// into the focused field; the commit touches nothing but the edited
// controller's sources and codes.
#include <fuzzer/FuzzedDataProvider.h>

#include <functional>
#include <utility>

#include "bindings/name_tables.h"
#include "dialogs/field_text.h"
#include "fuzz/fuzz_check.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::testing {
namespace {

constexpr int kControlIds[] = {0,
                               IDC_ASSIGN_OK,
                               IDC_ASSIGN_CANCEL,
                               IDC_ASSIGN_CONFIRM,
                               IDC_FIELD_UP,
                               IDC_FIELD_RIGHT,
                               IDC_FIELD_B4,
                               IDC_LABEL_UP,
                               9999};
constexpr int kNotifications[] = {kEnSetFocus, kEnKillFocus, 0, 0x0300};

// Runs a second tick from inside the first, as a message pumped while the
// dialog sets a text or moves the focus would, after the input changed.
class ReentrantView : public FakeButtonAssignView {
 public:
  using FakeButtonAssignView::FakeButtonAssignView;
  std::function<void()> changeInput;

  void SetControlText(int id, std::string_view text) override {
    FakeButtonAssignView::SetControlText(id, text);
    TickInside();
  }
  void FocusControl(int id) override {
    FakeButtonAssignView::FocusControl(id);
    TickInside();
  }

 private:
  void TickInside() {
    if (!changeInput) return;
    std::exchange(changeInput, nullptr)();
    Tick();
  }
};

struct Rig {
  FakeInputDevices devices;
  FakeJoystickApi pads;
  Keyboard keyboard{devices};
  Joysticks joysticks{pads};
  ButtonAssign dialog{keyboard, joysticks};
  ReentrantView view{dialog};
  KeyStateBuffer& held() { return keyboard.acquired() ? devices.keys : devices.virtualKeys; }
};

void SetUp(Rig& rig, FuzzedDataProvider& input) {
  if (input.ConsumeBool()) rig.devices.Fail(FakeInputDevices::Call::kCreateDirectInput, -1);
  rig.keyboard.StartDirectInput(1);
  rig.pads.numDevs = input.ConsumeIntegralInRange<uint32_t>(0, 16);
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (!input.ConsumeBool()) continue;
    rig.pads.Attach(id);
    JoystickCaps& caps = rig.pads.devices[id].caps;
    if (input.ConsumeBool())
      caps = {input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
              input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>()};
  }
  rig.joysticks.EnumerateJoysticks();
  rig.joysticks.DetectJoysticks();
}

// Virtual-key code 0 does not exist: the keyboard state never sets it.
void SetKey(Rig& rig, uint8_t key, uint8_t byte) {
  if (rig.keyboard.acquired() || key != 0) rig.held()[key] = byte;
}

// Mostly keys the dialog can take, in the mode's own numbering; sometimes any byte.
uint8_t PickKey(Rig& rig, FuzzedDataProvider& input) {
  if (!input.ConsumeBool()) return input.ConsumeIntegral<uint8_t>();
  const auto code = uint8_t(KeyNameTable[input.ConsumeIntegralInRange(0, kKeyNameCount - 1)].code);
  return rig.keyboard.acquired() ? code : ScanToVkTable[code];
}

bool KeyHeld(Rig& rig, const KeyStateBuffer& held, int32_t code) {
  const uint8_t index = rig.keyboard.acquired() ? uint8_t(code) : ScanToVkTable[uint8_t(code)];
  return index != 0 && (held[index] & 0x80) != 0;
}

bool PadHeld(Rig& rig, int32_t source, int32_t code) {
  PadState state = 0;
  if (!rig.joysticks.present(source - 1)) return false;
  rig.joysticks.ReadJoystick(static_cast<uint32_t>(source - 1), state);
  return (state & static_cast<PadState>(code)) != 0;
}

// A capture writes a named key down during the tick, or one named, unmasked
// pad input of a present joystick that is held.
void CheckCaptured(Rig& rig, const KeyStateBuffer& heldAtStart, const KeyBinding& binding) {
  if (binding.source == 0) {
    FUZZ_CHECK(FindKeyName(binding.code) != nullptr);
    FUZZ_CHECK(KeyHeld(rig, heldAtStart, binding.code) || KeyHeld(rig, rig.held(), binding.code));
    return;
  }
  FUZZ_CHECK(FindPadButtonName(binding.code) != nullptr);
  FUZZ_CHECK((PadState(binding.code) & kCaptureMask) == PadState(binding.code));
  FUZZ_CHECK(PadHeld(rig, binding.source, binding.code));
}

void Tick(Rig& rig, std::function<void()> changeInput = nullptr) {
  const ControllerBindings before = rig.dialog.working();
  const int focusedField = rig.dialog.focusedField();
  const KeyStateBuffer heldAtStart = rig.held();
  const int shownBefore = rig.view.shown();
  rig.view.changeInput = std::move(changeInput);
  rig.view.Tick();
  rig.view.changeInput = nullptr;
  FUZZ_CHECK(rig.view.shown() - shownBefore <= 1);
  int changed = 0;
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding& now = rig.dialog.working()[position];
    if (now.source == before[position].source && now.code == before[position].code) continue;
    ++changed;
    FUZZ_CHECK(position == FieldPosition(focusedField));
    FUZZ_CHECK(now.handler == before[position].handler);
    CheckCaptured(rig, heldAtStart, now);
    FUZZ_CHECK(rig.view.text(focusedField) == BindingFieldText(now).view());
  }
  FUZZ_CHECK(changed <= 1);
}

// One player action or platform event; false once the dialog has ended.
bool Step(Rig& rig, FuzzedDataProvider& input) {
  const uint32_t pad = input.ConsumeIntegralInRange<uint32_t>(0, kJoystickSlots - 1);
  switch (input.ConsumeIntegralInRange(0, 8)) {
    case 0:
      SetKey(rig, PickKey(rig, input), input.ConsumeBool() ? 0x80 : 0);
      break;
    case 1:
      rig.devices.ReleaseAll();
      break;
    case 2:
      rig.pads.Set(pad, input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint16_t>(),
                   input.ConsumeIntegral<uint32_t>());
      break;
    case 3:
      rig.view.Click(input.PickValueInArray(kControlIds));
      break;
    case 4:
      rig.dialog.OnCommand(rig.view, input.PickValueInArray(kControlIds),
                           input.PickValueInArray(kNotifications));
      break;
    case 5: {
      const uint8_t key = PickKey(rig, input);
      const uint8_t byte = input.ConsumeBool() ? 0x80 : 0;
      Tick(rig, [&rig, key, byte] { SetKey(rig, key, byte); });
      break;
    }
    case 6:
      rig.devices.FailOnce(FakeInputDevices::Call::kGetDeviceState,
                           input.PickValueInArray({kDiErrInputLost, int32_t(0x80004005), 1}));
      break;
    case 7:
      rig.pads.devices[pad].answers = !rig.pads.devices[pad].answers;
      break;
    default:
      Tick(rig);
      break;
  }
  return !rig.view.result();
}

}  // namespace
}  // namespace cfg::testing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  using namespace cfg::testing;
  FuzzedDataProvider input(data, size);
  Rig rig;
  SetUp(rig, input);
  const int controller = input.ConsumeIntegralInRange(0, kControllerCount - 1);
  std::array<uint8_t, kKeyMapSize + 2> original{};
  for (size_t i = 0; i < original.size(); ++i) original[i] = input.ConsumeIntegral<uint8_t>();
  uint8_t* keyMap = original.data() + 1;
  rig.dialog.BeginEditing(keyMap, controller);
  rig.view.Open();
  while (input.remaining_bytes() > 0 && Step(rig, input)) {
  }
  // The commit changes the edited controller's sources and codes, and no other byte.
  std::array<uint8_t, kKeyMapSize + 2> committed = original;
  rig.dialog.CommitTo(committed.data() + 1, controller);
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding& working = rig.dialog.working()[position];
    StoreBinding(keyMap, controller, position,
                 KeyBinding{working.source, working.code,
                            LoadBinding(keyMap, controller, position).handler});
  }
  FUZZ_CHECK(committed == original);
  return 0;
}
