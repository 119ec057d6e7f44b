#include "bindings/key_map.h"

#include "input/key_codes.h"
#include "settings/byte_order.h"

namespace cfg {

const std::array<int32_t, kPositionCount> BindingBitTable = {
    static_cast<int32_t>(kPadUp),       static_cast<int32_t>(kPadDown),
    static_cast<int32_t>(kPadLeft),     static_cast<int32_t>(kPadRight),
    static_cast<int32_t>(PadButton(1)), static_cast<int32_t>(PadButton(2)),
    static_cast<int32_t>(PadButton(3)), static_cast<int32_t>(PadButton(4)),
};

namespace {

// Key codes of controllers 1-4 in position order: UP DOWN LEFT RIGHT B1-B4.
constexpr int32_t kDefaultKeys[kControllerCount][kPositionCount] = {
    {dik::kUp, dik::kDown, dik::kLeft, dik::kRight, dik::kZ, dik::kX, dik::kC, dik::kV},
    {dik::kI, dik::kK, dik::kJ, dik::kL, dik::kA, dik::kS, dik::kD, dik::kF},
    {dik::kDigit5, dik::kT, dik::kR, dik::kY, dik::kDigit1, dik::kDigit2, dik::kDigit3,
     dik::kDigit4},
    {dik::kHome, dik::kEnd, dik::kDelete, dik::kNext, dik::kDigit7, dik::kDigit8, dik::kDigit9,
     dik::kDigit0},
};

bool IsBindingSlot(int controller, int position) {
  return controller >= 0 && controller < kControllerCount && position >= 0 &&
         position < kPositionCount;
}

size_t HandlerIndex(int controller, int position) {
  return static_cast<size_t>(controller * kPositionCount + position);
}

// Anything outside the joystick sources names no joystick.
int32_t JoystickIndexOf(int32_t source) {
  return IsJoystickSource(source) ? source - kFirstJoystickSource : -1;
}

KeyBinding DefaultBinding(int controller, int position, bool joystick1Present) {
  KeyBinding binding;
  if (controller == 0 && joystick1Present) {
    // Each position takes the joystick input of its own name.
    SetBinding(binding, kFirstJoystickSource, BindingBitTable[position]);
  } else {
    SetBinding(binding, kKeyboardSource, kDefaultKeys[controller][position]);
  }
  return binding;
}

}  // namespace

KeyBinding LoadBinding(const uint8_t* keyMap, int controller, int position) {
  KeyBinding binding;
  if (!IsBindingSlot(controller, position)) return binding;
  const uint8_t* record = keyMap + binding_offset::Binding(controller, position);
  binding.source = LoadLeInt32(record + binding_offset::kSource);
  binding.code = LoadLeInt32(record + binding_offset::kCode);
  binding.handler = LoadLe32(record + binding_offset::kHandler);
  return binding;
}

void StoreBinding(uint8_t* keyMap, int controller, int position, const KeyBinding& binding) {
  if (!IsBindingSlot(controller, position)) return;
  uint8_t* record = keyMap + binding_offset::Binding(controller, position);
  StoreLeInt32(record + binding_offset::kSource, binding.source);
  StoreLeInt32(record + binding_offset::kCode, binding.code);
  StoreLe32(record + binding_offset::kHandler, binding.handler);
}

ControllerBindings LoadControllerBindings(const uint8_t* keyMap, int controller) {
  ControllerBindings bindings;
  for (int position = 0; position < kPositionCount; ++position) {
    bindings[position] = LoadBinding(keyMap, controller, position);
  }
  return bindings;
}

void StoreControllerBindings(uint8_t* keyMap, int controller, const ControllerBindings& bindings) {
  for (int position = 0; position < kPositionCount; ++position) {
    StoreBinding(keyMap, controller, position, bindings[position]);
  }
}

void SetBinding(KeyBinding& binding, int32_t source, int32_t code) {
  binding.source = source;
  binding.code = code;
}

void BuildDefaultKeyMap(uint8_t* keyMap, bool joystick1Present) {
  for (int controller = 0; controller < kControllerCount; ++controller) {
    for (int position = 0; position < kPositionCount; ++position) {
      StoreBinding(keyMap, controller, position,
                   DefaultBinding(controller, position, joystick1Present));
    }
  }
}

void BuildDefaultKeyMaps(SettingsRecord& record, bool joystick1Present) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    BuildDefaultKeyMap(record.KeyMap(slot), joystick1Present);
  }
}

void Bindings::SetCurrentKeyMap(uint8_t* keyMap) {
  current_ = keyMap;
  handlers_.fill(Handler::kNone);
}

void Bindings::InstallBindingHandlers() {
  if (current_ == nullptr) return;
  for (int controller = 0; controller < kControllerCount; ++controller) {
    for (int position = 0; position < kPositionCount; ++position) {
      const KeyBinding binding = LoadBinding(current_, controller, position);
      handlers_[HandlerIndex(controller, position)] =
          binding.source == kKeyboardSource ? Handler::kKey : Handler::kPad;
    }
  }
}

PadState Bindings::EvaluateController(int controller) const {
  if (current_ == nullptr || controller < 0 || controller >= kControllerCount) return 0;
  PadState state = 0;
  for (int position = 0; position < kPositionCount; ++position) {
    const KeyBinding binding = LoadBinding(current_, controller, position);
    switch (handlers_[HandlerIndex(controller, position)]) {
      case Handler::kKey:
        state |= static_cast<PadState>(KeyBindingHandler(binding, position));
        break;
      case Handler::kPad:
        state |= static_cast<PadState>(PadBindingHandler(binding, position));
        break;
      case Handler::kNone:
        break;
    }
  }
  return state;
}

int32_t Bindings::KeyBindingHandler(const KeyBinding& binding, int position) const {
  return keyboard_.IsKeyDown(binding.code) ? BindingBitTable[position] : 0;
}

int32_t Bindings::PadBindingHandler(const KeyBinding& binding, int position) const {
  const PadState state = joysticks_.GetSavedPadState(JoystickIndexOf(binding.source));
  if (state == kNoPadState) return 0;
  if ((state & static_cast<PadState>(binding.code)) == 0) return 0;
  return BindingBitTable[position];
}

}  // namespace cfg
