// Up to four joysticks, read into PadState words with three-zone axes.
#pragma once

#include <array>
#include <cstdint>

namespace cfg {

// Buttons 1-16 in bits 0-15, then the four directions.
using PadState = uint32_t;
constexpr PadState kPadUp = 0x10000;
constexpr PadState kPadDown = 0x20000;
constexpr PadState kPadLeft = 0x40000;
constexpr PadState kPadRight = 0x80000;
constexpr PadState kPadButtons = 0xFFFF;
// Button 1-16's bit.
constexpr PadState PadButton(int button) {
  return PadState{1} << (button - 1);
}
static_assert(PadButton(16) << 1 == kPadUp, "the directions follow the buttons");

constexpr int kJoystickSlots = 4;
// GetSavedPadState's word for an index that names no joystick.
constexpr PadState kNoPadState = 0xFFFFFFFF;

// Capability bits and position flags as the multimedia joystick interface names them.
namespace joy {
constexpr uint32_t kCapsHasZ = 0x1;
constexpr uint32_t kCapsHasR = 0x2;
constexpr uint32_t kCapsHasU = 0x4;
constexpr uint32_t kCapsHasV = 0x8;
constexpr uint32_t kCapsHasPov = 0x10;
constexpr uint32_t kReturnX = 0x1;
constexpr uint32_t kReturnY = 0x2;
constexpr uint32_t kReturnZ = 0x4;
constexpr uint32_t kReturnR = 0x8;
constexpr uint32_t kReturnU = 0x10;
constexpr uint32_t kReturnV = 0x20;
constexpr uint32_t kReturnPov = 0x40;
constexpr uint32_t kReturnButtons = 0x80;
constexpr uint32_t kUseDeadZone = 0x800;
}  // namespace joy

// Every query asks for these; each further axis the caps name adds its own.
constexpr uint32_t kJoyReturnBase =
    joy::kReturnX | joy::kReturnY | joy::kReturnButtons | joy::kUseDeadZone;

struct JoystickCaps {
  uint32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  uint32_t caps = 0;
};

struct JoystickPosition {
  uint32_t x = 0, y = 0;
  uint32_t buttons = 0;
};

// The platform's joystick interface (winmm on Windows).
class JoystickApi {
 public:
  virtual ~JoystickApi() = default;
  virtual uint32_t NumDevs() = 0;
  virtual bool GetDevCaps(uint32_t id, JoystickCaps& caps) = 0;
  virtual bool IsAttached(uint32_t id) = 0;  // joyGetPos answered
  virtual bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) = 0;
};

// Zone of a position in [min, max] cut into `zones`; the maximum itself is zone `zones`.
// A position outside the range counts as the nearer end; a reversed range as its
// ascending form; an empty range is zone 0.
uint32_t AxisZone(uint32_t position, uint32_t min, uint32_t max, uint32_t zones);

// The position-query flags for a joystick with these capability bits.
uint32_t PositionFlags(uint32_t caps);

class Joysticks {
 public:
  explicit Joysticks(JoystickApi& api) : api_(api) {}

  // Records the driver's id count and prepares ids 0-3.
  void EnumerateJoysticks();
  // Which of ids 0-3 answer, once for the whole run.
  void DetectJoysticks();
  // False for an index that can never be read, leaving `state` as it was.
  bool ReadJoystick(uint32_t index, PadState& state);
  // Negative: every present joystick in order; 0-3: that one if present.
  void PollJoysticks(int32_t index);
  // The last polled word of 0-3, kNoPadState for any other index.
  PadState GetSavedPadState(int32_t index) const;

  bool present(int index) const {
    return index >= 0 && index < kJoystickSlots && present_[index] == 1;
  }
  uint32_t count() const { return count_; }

 private:
  struct Record {
    bool prepared = false;  // the capability query succeeded
    JoystickCaps caps;
    uint32_t flags = 0;
  };

  uint32_t ReadableCount() const;
  PadState Reading(uint32_t id);
  void PollOne(int index);

  JoystickApi& api_;
  uint32_t count_ = 0;  // ids the driver reported
  // Only ids 0-3 are ever read, so only their records are kept.
  std::array<Record, kJoystickSlots> records_{};
  std::array<int, kJoystickSlots> present_{};
  std::array<PadState, kJoystickSlots> saved_{};
};

}  // namespace cfg
