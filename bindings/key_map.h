// Key bindings: 4 controllers x 8 positions of 12-byte records in each slot's key map.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/joystick.h"
#include "input/keyboard.h"
#include "settings/settings_record.h"

namespace cfg {

constexpr int kControllerCount = 4;
constexpr int kPositionCount = 8;
constexpr size_t kKeyBindingSize = 12;
constexpr size_t kControllerBindingsSize = kKeyBindingSize * kPositionCount;
static_assert(kControllerBindingsSize * kControllerCount == kKeyMapSize, "KeyMap layout");

enum BindingPosition { kUp = 0, kDown, kLeft, kRight, kB1, kB2, kB3, kB4 };

// Offsets within a KeyBinding.
namespace binding_offset {
constexpr size_t kSource = 0;
constexpr size_t kCode = 4;
constexpr size_t kHandler = 8;
constexpr size_t Binding(int controller, int position) {
  return kControllerBindingsSize * static_cast<size_t>(controller) +
         kKeyBindingSize * static_cast<size_t>(position);
}
}  // namespace binding_offset

// Binding sources: the keyboard, or joystick n (1-4) as n.
constexpr int32_t kKeyboardSource = 0;
constexpr int32_t kFirstJoystickSource = 1;
constexpr int32_t kLastJoystickSource = kJoystickSlots;
constexpr bool IsJoystickSource(int32_t source) {
  return source >= kFirstJoystickSource && source <= kLastJoystickSource;
}

struct KeyBinding {
  int32_t source = kKeyboardSource;
  int32_t code = 0;  // DirectInput key code, or a PadState mask
  uint32_t handler = 0;
};

using ControllerBindings = std::array<KeyBinding, kPositionCount>;

// The PadState bit each position produces.
extern const std::array<int32_t, kPositionCount> BindingBitTable;

// A controller or position outside the key map loads as all zero and stores nothing.
KeyBinding LoadBinding(const uint8_t* keyMap, int controller, int position);
void StoreBinding(uint8_t* keyMap, int controller, int position, const KeyBinding& binding);
ControllerBindings LoadControllerBindings(const uint8_t* keyMap, int controller);
void StoreControllerBindings(uint8_t* keyMap, int controller, const ControllerBindings& bindings);

// Writes source and code; the handler stays.
void SetBinding(KeyBinding& binding, int32_t source, int32_t code);

// Controller 1 takes joystick 1 when it answered at start-up, else the arrows and z x c v.
void BuildDefaultKeyMap(uint8_t* keyMap, bool joystick1Present);
// The key maps of all five slots, slot 0 first.
void BuildDefaultKeyMaps(SettingsRecord& record, bool joystick1Present);

// The current key map reference, the handlers installed over it, and evaluation.
// Installed handlers are kept here, beside the record: the handler words of the
// file are carried through untouched.
class Bindings {
 public:
  Bindings(const Keyboard& keyboard, const Joysticks& joysticks)
      : keyboard_(keyboard), joysticks_(joysticks) {}

  // Handlers installed over another key map do not carry over.
  void SetCurrentKeyMap(uint8_t* keyMap);
  uint8_t* CurrentKeyMap() const { return current_; }

  // The keyboard source gets the key handler, any other source the pad handler.
  void InstallBindingHandlers();
  // OR of the installed handlers of one controller; 0 outside 0-3 or with no key map.
  PadState EvaluateController(int controller) const;

 private:
  enum class Handler : uint8_t { kNone, kKey, kPad };

  int32_t KeyBindingHandler(const KeyBinding& binding, int position) const;
  int32_t PadBindingHandler(const KeyBinding& binding, int position) const;

  const Keyboard& keyboard_;
  const Joysticks& joysticks_;
  uint8_t* current_ = nullptr;
  std::array<Handler, kControllerCount * kPositionCount> handlers_{};
};

}  // namespace cfg
