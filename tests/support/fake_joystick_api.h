// The multimedia joystick interface for ids 0-3, from fixed state with no heap
// use; any other id has no caps and never answers. Attach(0): joystick 1 at rest
// on 0-65535; Hold(0, kPadUp | 0x1): up with button 1; Set: any raw reading.
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
    bool capsOk = false, attached = false;
    bool answers = false;  // position queries succeed
    JoystickCaps caps;
    JoystickPosition position;
    uint32_t lastFlags = 0;
    int queries = 0;
  };

  uint32_t numDevs = kJoystickSlots;
  std::array<Device, kJoystickSlots> devices{};
  int otherIdQueries = 0;  // queries of any kind of ids past 3

  void Attach(uint32_t id) {
    devices[id] = Device{true, true, true, JoystickCaps{0, kAxisMax, 0, kAxisMax, 0}, {}};
    Hold(id, 0);
  }
  void Set(uint32_t id, uint32_t x, uint32_t y, uint32_t buttons) {
    devices[id].position = JoystickPosition{x, y, buttons};
  }
  void Hold(uint32_t id, PadState state) {
    Set(id, Axis(state, kPadLeft, kPadRight), Axis(state, kPadUp, kPadDown), state & kPadButtons);
  }

  uint32_t NumDevs() override { return numDevs; }
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override {
    if (id >= kJoystickSlots) return ++otherIdQueries, false;
    if (devices[id].capsOk) caps = devices[id].caps;
    return devices[id].capsOk;
  }
  bool IsAttached(uint32_t id) override {
    if (id >= kJoystickSlots) return ++otherIdQueries, false;
    return devices[id].attached;
  }
  bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) override {
    if (id >= kJoystickSlots) return ++otherIdQueries, false;
    Device& device = devices[id];
    ++device.queries;
    device.lastFlags = flags;
    if (device.answers) position = device.position;
    return device.answers;
  }

 private:
  static uint32_t Axis(PadState state, PadState low, PadState high) {
    return (state & low) ? 0 : (state & high) ? kAxisMax : kAxisCentre;
  }
};

}  // namespace cfg
