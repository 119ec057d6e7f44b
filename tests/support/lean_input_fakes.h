// Input stand-ins that answer from fixed state and keep no call log, so that a
// poll through them touches no heap: for the allocation test and the
// benchmarks, which look at the cost of the code under test alone.
//
//   LeanInputDevices devices;              // DirectInput keyboard, acquired
//   LeanJoystickApi pads;
//   pads.Attach(0);                        // joystick 1, at rest
//   devices.Hold(dik::kZ);                 // z, in either keyboard mode
//   pads.Hold(0, kPadUp | 0x1);            // stick up, button 1
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "input/joystick.h"
#include "input/keyboard.h"

namespace cfg {

class LeanInputDevices : public InputDevices {
 public:
  // Without DirectInput the keyboard stays in virtual-key mode, as it does
  // when the platform refuses the instance handle.
  explicit LeanInputDevices(bool directInput = true) : directInput_(directInput) {}

  // A DirectInput key code, down in both buffer layouts.
  void Hold(uint8_t key) {
    keys_[key] = 0x80;
    if (ScanToVkTable[key] != 0) virtualKeys_[ScanToVkTable[key]] = 0x80;
  }
  void Release(uint8_t key) {
    keys_[key] = 0;
    virtualKeys_[ScanToVkTable[key]] = 0;
  }

  uintptr_t WindowInstance(uintptr_t) override { return 0; }
  int32_t CreateDirectInput(uintptr_t) override { return directInput_ ? kDiOk : kNoInterface; }
  int32_t CreateDevice(Device) override { return kDiOk; }
  int32_t SetDataFormat(Device) override { return kDiOk; }
  int32_t SetCooperativeLevel(Device, uintptr_t, uint32_t) override { return kDiOk; }
  int32_t SetBufferSize(Device, uint32_t) override { return kDiOk; }
  int32_t Acquire(Device) override { return kDiOk; }
  int32_t GetDeviceState(Device, uint8_t* buffer, uint32_t size) override {
    std::copy_n(keys_.begin(), std::min<size_t>(size, keys_.size()), buffer);
    return kDiOk;
  }
  void ReleaseDevice(Device) override {}
  void ReleaseDirectInput() override {}
  void ReadKeyboardState(uint8_t* buffer) override {
    std::copy(virtualKeys_.begin(), virtualKeys_.end(), buffer);
  }

 private:
  static constexpr int32_t kNoInterface = static_cast<int32_t>(0x80070057);

  bool directInput_;
  KeyStateBuffer keys_{};
  KeyStateBuffer virtualKeys_{};
};

class LeanJoystickApi : public JoystickApi {
 public:
  static constexpr uint32_t kAxisMax = 65535;
  static constexpr uint32_t kAxisCentre = kAxisMax / 2;

  // Answers, with the 0-65535 range on both axes, at rest.
  void Attach(uint32_t id) {
    attached_[id] = true;
    positions_[id] = JoystickPosition{kAxisCentre, kAxisCentre, 0};
  }
  // Stick positions for the directions of the word; the rest are buttons.
  void Hold(uint32_t id, PadState state) {
    JoystickPosition& position = positions_[id];
    position.x = (state & kPadLeft) ? 0 : (state & kPadRight) ? kAxisMax : kAxisCentre;
    position.y = (state & kPadUp) ? 0 : (state & kPadDown) ? kAxisMax : kAxisCentre;
    position.buttons = state & kPadButtons;
  }

  uint32_t NumDevs() override { return kJoystickSlots; }
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override {
    if (!IsAttached(id)) return false;
    caps = JoystickCaps{0, kAxisMax, 0, kAxisMax, 0};
    return true;
  }
  bool IsAttached(uint32_t id) override { return id < kJoystickSlots && attached_[id]; }
  bool GetPosEx(uint32_t id, uint32_t, JoystickPosition& position) override {
    if (!IsAttached(id)) return false;
    position = positions_[id];
    return true;
  }

 private:
  std::array<bool, kJoystickSlots> attached_{};
  std::array<JoystickPosition, kJoystickSlots> positions_{};
};

}  // namespace cfg
