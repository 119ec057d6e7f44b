#include "input/joystick.h"

#include <algorithm>

namespace cfg {
namespace {

constexpr uint32_t kZonesPerAxis = 3;

struct CapsFlag {
  uint32_t capsBit;
  uint32_t returnFlag;
};

constexpr CapsFlag kCapsFlags[] = {
    {joy::kCapsHasZ, joy::kReturnZ},     {joy::kCapsHasR, joy::kReturnR},
    {joy::kCapsHasU, joy::kReturnU},     {joy::kCapsHasV, joy::kReturnV},
    {joy::kCapsHasPov, joy::kReturnPov},
};

// Zone 0 is the low end, zones 2 and up the high end; 1 is the centre.
PadState DirectionBits(uint32_t xZone, uint32_t yZone) {
  PadState bits = 0;
  if (xZone >= 2) bits |= kPadRight;
  if (yZone >= 2) bits |= kPadDown;
  if (xZone == 0) bits |= kPadLeft;
  if (yZone == 0) bits |= kPadUp;
  return bits;
}

}  // namespace

uint32_t AxisZone(uint32_t position, uint32_t min, uint32_t max, uint32_t zones) {
  const uint32_t low = std::min(min, max);
  const uint32_t high = std::max(min, max);
  if (low == high) return 0;
  // 64 bits: offset x zones overflows 32.
  const uint64_t offset = std::clamp(position, low, high) - low;
  return static_cast<uint32_t>(offset * zones / (high - low));
}

uint32_t PositionFlags(uint32_t caps) {
  uint32_t flags = kJoyReturnBase;
  for (const CapsFlag& entry : kCapsFlags) {
    if (caps & entry.capsBit) flags |= entry.returnFlag;
  }
  return flags;
}

void Joysticks::EnumerateJoysticks() {
  count_ = api_.NumDevs();
  for (uint32_t id = 0; id < ReadableCount(); ++id) {
    Record& record = records_[id];
    record.prepared = api_.GetDevCaps(id, record.caps);
    if (record.prepared) record.flags = PositionFlags(record.caps.caps);
  }
}

void Joysticks::DetectJoysticks() {
  for (int id = 0; id < kJoystickSlots; ++id) {
    present_[id] = api_.IsAttached(static_cast<uint32_t>(id)) ? 1 : 0;
  }
}

uint32_t Joysticks::ReadableCount() const {
  return std::min(count_, static_cast<uint32_t>(kJoystickSlots));
}

// No reading at all counts as nothing held: stale zones would hold a direction.
PadState Joysticks::Reading(uint32_t id) {
  const Record& record = records_[id];
  JoystickPosition position;
  if (!record.prepared || !api_.GetPosEx(id, record.flags, position)) return 0;
  const uint32_t xZone = AxisZone(position.x, record.caps.xMin, record.caps.xMax, kZonesPerAxis);
  const uint32_t yZone = AxisZone(position.y, record.caps.yMin, record.caps.yMax, kZonesPerAxis);
  // Buttons past 16 would land on the direction bits.
  return (position.buttons & kPadButtons) | DirectionBits(xZone, yZone);
}

bool Joysticks::ReadJoystick(uint32_t index, PadState& state) {
  if (index >= ReadableCount()) return false;
  state = Reading(index);
  return true;
}

void Joysticks::PollOne(int index) {
  if (present(index)) ReadJoystick(static_cast<uint32_t>(index), saved_[index]);
}

void Joysticks::PollJoysticks(int32_t index) {
  if (index < 0) {
    for (int i = 0; i < kJoystickSlots; ++i) PollOne(i);
  } else {
    PollOne(index);
  }
}

PadState Joysticks::GetSavedPadState(int32_t index) const {
  if (index < 0 || index >= kJoystickSlots) return kNoPadState;
  return saved_[index];
}

}  // namespace cfg
