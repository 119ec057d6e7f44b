// The button-assignment capture fed random keyboard states, pad readings,
// joystick presence, focus events, failed reads and re-entrant ticks. Each
// tick takes at most one input, an input only when it is held and named, and
// only into the focused field; the commit touches nothing but the edited
// controller's sources and codes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "bindings/name_tables.h"
#include "dialogs/button_assign.h"
#include "dialogs/field_text.h"
#include "fuzz/fuzz_check.h"
#include "tests/dialogs/fake_button_assign_view.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::testing {
namespace {

constexpr int kControlIds[] = {
    0,
    IDC_ASSIGN_OK,
    IDC_ASSIGN_CANCEL,
    IDC_ASSIGN_CONFIRM,
    IDC_FIELD_UP,
    IDC_FIELD_DOWN,
    IDC_FIELD_LEFT,
    IDC_FIELD_RIGHT,
    IDC_FIELD_B1,
    IDC_FIELD_B2,
    IDC_FIELD_B3,
    IDC_FIELD_B4,
    IDC_LABEL_UP,
    IDC_LABEL_B4,
    9999,
};
constexpr int kNotifications[] = {kEnSetFocus, kEnKillFocus, 0, 0x0300};

// A view that can run a second tick from inside the first, as a message
// pumped while the dialog sets a text or moves the focus would.
class ReentrantView : public FakeButtonAssignView {
 public:
  explicit ReentrantView(ButtonAssign& dialog) : FakeButtonAssignView(dialog) {}

  void SetControlText(int id, std::string_view text) override {
    FakeButtonAssignView::SetControlText(id, text);
    TickInside();
  }
  void FocusControl(int id) override {
    FakeButtonAssignView::FocusControl(id);
    TickInside();
  }

  // A tick that, at its first text or focus move, lets the player's input
  // change and runs a second tick inside itself.
  void TickWithNested(std::function<void()> changeInput) {
    nested_ = std::move(changeInput);
    Tick();
    nested_ = nullptr;
  }

 private:
  void TickInside() {
    if (!nested_) return;
    const std::function<void()> changeInput = std::exchange(nested_, nullptr);
    changeInput();
    Tick();
  }

  std::function<void()> nested_;
};

struct Rig {
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  Keyboard keyboard{devices};
  Joysticks joysticks{joystickApi};
  ButtonAssign dialog{keyboard, joysticks};
  ReentrantView view{dialog};
  bool rawKeys = true;
  KeyStateBuffer held{};  // what the player holds, in the mode's own layout
};

void SetUpDevices(Rig& rig, FuzzedDataProvider& input) {
  rig.rawKeys = input.ConsumeBool();
  if (!rig.rawKeys) rig.devices.SetResult("CreateDirectInput", -1);
  rig.keyboard.StartDirectInput(0);
  FUZZ_CHECK(rig.keyboard.acquired() == rig.rawKeys);
  rig.joystickApi.SetNumDevs(input.ConsumeIntegralInRange<uint32_t>(0, 16));
  for (uint32_t id = 0; id < kJoystickSlots; ++id) {
    if (!input.ConsumeBool()) continue;
    JoystickCaps caps = FakeJoystickApi::FullRange();
    if (input.ConsumeBool()) {
      caps.xMin = input.ConsumeIntegral<uint16_t>();
      caps.xMax = input.ConsumeIntegral<uint16_t>();
      caps.yMin = input.ConsumeIntegral<uint16_t>();
      caps.yMax = input.ConsumeIntegral<uint16_t>();
    }
    rig.joystickApi.SetJoystick(id, caps, 32767, 32767, 0);
  }
  rig.joysticks.EnumerateJoysticks();
  rig.joysticks.DetectJoysticks();
}

// A record of recognisable bytes with fuzzed bindings for the edited controller.
SettingsRecord MakeRecord(FuzzedDataProvider& input, int slot, int controller) {
  SettingsRecord record;
  for (size_t i = 0; i < kSettingsRecordSize; ++i) record.bytes[i] = uint8_t(i * 7 + 3);
  const std::vector<uint8_t> bindings = input.ConsumeBytes<uint8_t>(kControllerBindingsSize);
  std::copy(bindings.begin(), bindings.end(),
            record.KeyMap(slot) + binding_offset::Binding(controller, 0));
  return record;
}

void SetKey(Rig& rig, uint8_t code, bool down) {
  // Virtual-key code 0 does not exist: the keyboard state never sets it.
  if (!rig.rawKeys && code == 0) return;
  rig.held[code] = down ? 0x80 : 0;
  if (rig.rawKeys) {
    down ? rig.devices.PressKey(code) : rig.devices.ReleaseKey(code);
  } else {
    down ? rig.devices.PressVirtualKey(code) : rig.devices.ReleaseVirtualKey(code);
  }
}

// Mostly keys the dialog can take, in the mode's own numbering; sometimes any byte.
uint8_t PickKey(const Rig& rig, FuzzedDataProvider& input) {
  if (!input.ConsumeBool()) return input.ConsumeIntegral<uint8_t>();
  const int32_t code = KeyNameTable[input.ConsumeIntegralInRange(0, kKeyNameCount - 1)].code;
  return rig.rawKeys ? uint8_t(code) : ScanToVkTable[uint8_t(code)];
}

bool KeyHeld(const Rig& rig, const KeyStateBuffer& held, int32_t code) {
  const uint8_t index = rig.rawKeys ? uint8_t(code) : ScanToVkTable[uint8_t(code)];
  if (!rig.rawKeys && index == 0) return false;
  return (held[index] & 0x80) != 0;
}

bool PadHeld(Rig& rig, int32_t source, int32_t code) {
  const int index = source - 1;
  if (!rig.joysticks.present(index)) return false;
  PadState state = 0;
  rig.joysticks.ReadJoystick(static_cast<uint32_t>(index), state);
  return (state & static_cast<PadState>(code)) != 0;
}

bool IsSingleBit(int32_t code) {
  const uint32_t bits = static_cast<uint32_t>(code);
  return bits != 0 && (bits & (bits - 1)) == 0;
}

// A binding a capture may write: a named key that was down during the tick
// (before or after a change inside it), or one named, unmasked pad input of a
// present joystick that is held.
void CheckCaptured(Rig& rig, const KeyStateBuffer& heldAtStart, const KeyBinding& binding) {
  if (binding.source == kKeyboardSource) {
    FUZZ_CHECK(FindKeyName(binding.code) != nullptr);
    FUZZ_CHECK(KeyHeld(rig, heldAtStart, binding.code) || KeyHeld(rig, rig.held, binding.code));
    return;
  }
  FUZZ_CHECK(IsJoystickSource(binding.source));
  FUZZ_CHECK(IsSingleBit(binding.code));
  FUZZ_CHECK((static_cast<PadState>(binding.code) & kCaptureMask) == PadState(binding.code));
  FUZZ_CHECK(FindPadButtonName(binding.code) != nullptr);
  FUZZ_CHECK(PadHeld(rig, binding.source, binding.code));
}

bool SameBinding(const KeyBinding& a, const KeyBinding& b) {
  return a.source == b.source && a.code == b.code && a.handler == b.handler;
}

void Tick(Rig& rig, std::function<void()> changeInput = nullptr) {
  const ControllerBindings before = rig.dialog.working();
  const int focusedField = rig.dialog.focusedField();
  const KeyStateBuffer heldAtStart = rig.held;
  rig.view.TakeShown();
  rig.view.TickWithNested(std::move(changeInput));
  const FakeButtonAssignView::Shown shown = rig.view.TakeShown();
  FUZZ_CHECK(shown.size() <= 1);

  int changed = 0;
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding& now = rig.dialog.working()[position];
    if (SameBinding(now, before[position])) continue;
    ++changed;
    FUZZ_CHECK(position == FieldPosition(focusedField));
    FUZZ_CHECK(now.handler == before[position].handler);
    CheckCaptured(rig, heldAtStart, now);
    FUZZ_CHECK(shown.size() == 1 && shown[0].second == BindingFieldText(now).view());
  }
  FUZZ_CHECK(changed <= 1);
}

// One player action or platform event; false once the dialog has ended.
bool Step(Rig& rig, FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 9)) {
    case 0:
      SetKey(rig, PickKey(rig, input), input.ConsumeBool());
      break;
    case 1:
      for (int code = 0; code < 256; ++code) SetKey(rig, uint8_t(code), false);
      break;
    case 2: {
      const uint32_t id = input.ConsumeIntegralInRange<uint32_t>(0, kJoystickSlots - 1);
      const uint32_t x = input.ConsumeIntegral<uint16_t>();
      const uint32_t y = input.ConsumeIntegral<uint16_t>();
      rig.joystickApi.SetPosition(id, x, y, input.ConsumeIntegral<uint32_t>());
      break;
    }
    case 3:
      rig.view.Click(input.PickValueInArray(kControlIds));
      break;
    case 4:
      rig.dialog.OnCommand(rig.view, input.PickValueInArray(kControlIds),
                           input.PickValueInArray(kNotifications));
      break;
    case 5: {
      const uint8_t code = PickKey(rig, input);
      const bool down = input.ConsumeBool();
      Tick(rig, [&rig, code, down] { SetKey(rig, code, down); });
      break;
    }
    case 6:
      rig.devices.Script("GetDeviceState(keyboard)",
                         {input.PickValueInArray({kDiErrInputLost, int32_t(0x80004005), 1})});
      break;
    case 7:
      rig.joystickApi.FailPositionQueries(
          input.ConsumeIntegralInRange<uint32_t>(0, kJoystickSlots - 1));
      break;
    case 8:
      rig.view.Press(input.PickValueInArray(kControlIds));
      break;
    default:
      Tick(rig);
      break;
  }
  return !rig.view.result();
}

// After the commit the record differs at most in the edited controller's
// sources and codes, and those hold the working copy.
void CheckCommit(const Rig& rig, const SettingsRecord& original, int slot, int controller) {
  SettingsRecord committed = original;
  rig.dialog.CommitTo(committed.KeyMap(slot), controller);
  const size_t first = record_offset::KeyMap(slot) + binding_offset::Binding(controller, 0);
  for (size_t i = 0; i < kSettingsRecordSize; ++i) {
    if (i < first || i >= first + kControllerBindingsSize) {
      FUZZ_CHECK(committed.bytes[i] == original.bytes[i]);
    }
  }
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding stored = LoadBinding(committed.KeyMap(slot), controller, position);
    const KeyBinding& working = rig.dialog.working()[position];
    FUZZ_CHECK(stored.source == working.source && stored.code == working.code);
    FUZZ_CHECK(stored.handler == LoadBinding(original.KeyMap(slot), controller, position).handler);
  }
}

}  // namespace
}  // namespace cfg::testing

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace cfg;
  using namespace cfg::testing;
  FuzzedDataProvider input(data, size);
  Rig rig;
  SetUpDevices(rig, input);
  const int slot = input.ConsumeIntegralInRange(0, kSlotCount - 1);
  const int controller = input.ConsumeIntegralInRange(0, kControllerCount - 1);
  const SettingsRecord original = MakeRecord(input, slot, controller);

  rig.dialog.BeginEditing(original.KeyMap(slot), controller);
  rig.view.Open();
  while (input.remaining_bytes() > 0 && Step(rig, input)) {
  }
  CheckCommit(rig, original, slot, controller);
  return 0;
}
