// A scripted stand-in for the multimedia joystick interface.
//
//   FakeJoystickApi fake;
//   fake.SetNumDevs(16);
//   fake.SetJoystick(0, FakeJoystickApi::FullRange(), 32767, 32767, 0x1);  // attached, at rest
//   fake.SetPosition(0, 65535, 0, 0x0);   // later: pushed right and up
//   fake.FailPositionQueries(1);          // joystick 1 stops answering
//   Joysticks joysticks(fake);
//   joysticks.EnumerateJoysticks();
//   joysticks.DetectJoysticks();
//   joysticks.PollJoysticks(-1);
//   EXPECT_THAT(fake.queriedIds(), ElementsAre(0));
//
// An id never set up has failing caps, is not attached and fails every
// position query. A failing query leaves the caller's position untouched.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "input/joystick.h"

namespace cfg {

class FakeJoystickApi : public JoystickApi {
 public:
  // Caps with the 0-65535 range on both axes and the given capability bits.
  static JoystickCaps FullRange(uint32_t capsBits = 0) {
    JoystickCaps caps;
    caps.xMax = 65535;
    caps.yMax = 65535;
    caps.caps = capsBits;
    return caps;
  }

  void SetNumDevs(uint32_t count) { numDevs_ = count; }

  // An attached joystick with good caps, answering position queries.
  void SetJoystick(uint32_t id, const JoystickCaps& caps, uint32_t x, uint32_t y,
                   uint32_t buttons) {
    Device& device = devices_[id];
    device.capsOk = true;
    device.caps = caps;
    device.attached = true;
    device.positionOk = true;
    device.position = JoystickPosition{x, y, buttons};
  }
  void SetPosition(uint32_t id, uint32_t x, uint32_t y, uint32_t buttons) {
    devices_[id].position = JoystickPosition{x, y, buttons};
  }
  void FailCaps(uint32_t id) { devices_[id].capsOk = false; }
  void SetAttached(uint32_t id, bool attached) { devices_[id].attached = attached; }
  void FailPositionQueries(uint32_t id) { devices_[id].positionOk = false; }

  // Ids of the position queries, in call order.
  const std::vector<uint32_t>& queriedIds() const { return queriedIds_; }
  int positionQueries() const { return static_cast<int>(queriedIds_.size()); }
  // Flags passed with the last position query of an id; 0 if never queried.
  uint32_t lastFlags(uint32_t id) const {
    const auto found = devices_.find(id);
    return found == devices_.end() ? 0 : found->second.lastFlags;
  }

  uint32_t NumDevs() override { return numDevs_; }
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override {
    const auto found = devices_.find(id);
    if (found == devices_.end() || !found->second.capsOk) return false;
    caps = found->second.caps;
    return true;
  }
  bool IsAttached(uint32_t id) override {
    const auto found = devices_.find(id);
    return found != devices_.end() && found->second.attached;
  }
  bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) override {
    queriedIds_.push_back(id);
    Device& device = devices_[id];
    device.lastFlags = flags;
    if (!device.positionOk) return false;
    position = device.position;
    return true;
  }

 private:
  struct Device {
    bool capsOk = false;
    JoystickCaps caps;
    bool attached = false;
    bool positionOk = false;
    JoystickPosition position;
    uint32_t lastFlags = 0;
  };

  uint32_t numDevs_ = 0;
  std::map<uint32_t, Device> devices_;
  std::vector<uint32_t> queriedIds_;
};

}  // namespace cfg
