// The keyboard and joysticks over the scripted fakes, and the inputs a player
// holds, for the dialog tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "input/joystick.h"
#include "input/keyboard.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"

namespace cfg::testing {

constexpr uint32_t kAxisMin = 0;
constexpr uint32_t kAxisCentre = 32767;
constexpr uint32_t kAxisMax = 65535;

// Stick positions for the directions of a PadState; the rest are buttons.
inline void HoldPad(FakeJoystickApi& api, uint32_t id, PadState state) {
  uint32_t x = kAxisCentre;
  uint32_t y = kAxisCentre;
  if (state & kPadLeft) x = kAxisMin;
  if (state & kPadRight) x = kAxisMax;
  if (state & kPadUp) y = kAxisMin;
  if (state & kPadDown) y = kAxisMax;
  api.SetPosition(id, x, y, state & kPadButtons);
}

// Joysticks that answer, at rest; every other id does not.
inline void AttachPads(FakeJoystickApi& api, std::initializer_list<uint32_t> ids) {
  api.SetNumDevs(kJoystickSlots);
  for (uint32_t id : ids) {
    api.SetJoystick(id, FakeJoystickApi::FullRange(), kAxisCentre, kAxisCentre, 0);
  }
}

// Exactly these DirectInput keys are down.
inline void HoldKeys(FakeInputDevices& devices, const std::vector<int32_t>& keys) {
  devices.ReleaseAllKeys();
  for (int32_t key : keys) devices.PressKey(static_cast<uint8_t>(key));
}

struct InputRig {
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  Keyboard keyboard{devices};
  Joysticks joysticks{joystickApi};

  // An acquired DirectInput keyboard: buffers indexed by DirectInput key code.
  void UseRawKeys() { keyboard.StartDirectInput(0); }
  void StartPads(std::initializer_list<uint32_t> ids) {
    AttachPads(joystickApi, ids);
    joysticks.EnumerateJoysticks();
    joysticks.DetectJoysticks();
  }
};

}  // namespace cfg::testing
