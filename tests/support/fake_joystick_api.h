// The multimedia joystick interface for ids 0-3, answering from fixed state
// with no heap use. Any other id has no caps, is not attached and never answers.
//
//   FakeJoystickApi pads;
//   pads.Attach(0);                        // joystick 1, 0-65535 on both axes, at rest
//   pads.Hold(0, kPadUp | 0x1);            // stick up, button 1
//   pads.Set(0, 40000, 32767, 0);          // or any raw reading
#pragma once

#include <array>
#include <cstdint>

#include "input/joystick.h"

namespace cfg {

class FakeJoystickApi : public JoystickApi {
 public:
  static constexpr uint32_t kAxisMax = 65535;
  static constexpr uint32_t kAxisCentre = kAxisMax / 2;

  struct Device {
    bool capsOk = false;
    bool attached = false;
    bool answers = false;  // position queries succeed
    JoystickCaps caps;
    JoystickPosition position;
    uint32_t lastFlags = 0;
    int queries = 0;
  };

  static JoystickCaps FullRange(uint32_t capsBits = 0) {
    return JoystickCaps{0, kAxisMax, 0, kAxisMax, capsBits};
  }

  uint32_t numDevs = kJoystickSlots;
  std::array<Device, kJoystickSlots> devices{};
  int otherIdQueries = 0;  // caps or position queries of ids past 3

  void SetNumDevs(uint32_t count) { numDevs = count; }
  void SetJoystick(uint32_t id, const JoystickCaps& caps, uint32_t x, uint32_t y,
                   uint32_t buttons) {
    devices[id] = Device{true, true, true, caps, JoystickPosition{x, y, buttons}};
  }
  void Attach(uint32_t id) { SetJoystick(id, FullRange(), kAxisCentre, kAxisCentre, 0); }
  void Set(uint32_t id, uint32_t x, uint32_t y, uint32_t buttons) {
    devices[id].position = JoystickPosition{x, y, buttons};
  }
  // Stick positions for the directions of the word; the rest are buttons.
  void Hold(uint32_t id, PadState state) {
    Set(id,
        (state & kPadLeft)    ? 0
        : (state & kPadRight) ? kAxisMax
                              : kAxisCentre,
        (state & kPadUp)     ? 0
        : (state & kPadDown) ? kAxisMax
                             : kAxisCentre,
        state & kPadButtons);
  }

  uint32_t NumDevs() override { return numDevs; }
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override {
    if (id >= kJoystickSlots) return ++otherIdQueries, false;
    if (devices[id].capsOk) caps = devices[id].caps;
    return devices[id].capsOk;
  }
  bool IsAttached(uint32_t id) override { return id < kJoystickSlots && devices[id].attached; }
  bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) override {
    if (id >= kJoystickSlots) return ++otherIdQueries, false;
    Device& device = devices[id];
    ++device.queries;
    device.lastFlags = flags;
    if (device.answers) position = device.position;
    return device.answers;
  }
};

}  // namespace cfg
