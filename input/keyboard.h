// Keyboard snapshot and the key query by DirectInput key code.
//
// The snapshot comes from a DirectInput keyboard once it has been acquired
// (raw key mode, indexed by DirectInput key code) and from the Windows keyboard
// state until then (virtual-key mode, indexed by virtual-key code).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace cfg {

constexpr size_t kKeyStateSize = 256;
using KeyStateBuffer = std::array<uint8_t, kKeyStateSize>;

// A key is told by the low byte of its code: two codes with the same low byte
// are one key to the query.
constexpr uint8_t KeyOfCode(int32_t code) {
  return static_cast<uint8_t>(code & 0xFF);
}

// Entry k: the virtual-key code of DirectInput key code k, 0 where there is none.
extern const std::array<uint8_t, 256> ScanToVkTable;

// Results as DirectInput reports them.
constexpr int32_t kDiOk = 0;
constexpr int32_t kDiErrInputLost = static_cast<int32_t>(0x8007001E);
constexpr uint32_t kCooperativeLevel = 6;  // DISCL_NONEXCLUSIVE | DISCL_FOREGROUND
constexpr uint32_t kKeyboardBufferSize = 16;

// DirectInput 7 and the Windows keyboard state. Window and instance handles are
// passed through as numbers.
class InputDevices {
 public:
  enum class Device { kKeyboard, kMouse };

  virtual ~InputDevices() = default;
  virtual uintptr_t WindowInstance(uintptr_t window) = 0;  // 0 when there is no window
  virtual int32_t CreateDirectInput(uintptr_t instance) = 0;
  virtual int32_t CreateDevice(Device device) = 0;
  virtual int32_t SetDataFormat(Device device) = 0;
  virtual int32_t SetCooperativeLevel(Device device, uintptr_t window, uint32_t flags) = 0;
  virtual int32_t SetBufferSize(Device device, uint32_t size) = 0;
  virtual int32_t Acquire(Device device) = 0;
  virtual int32_t GetDeviceState(Device device, uint8_t* buffer, uint32_t size) = 0;
  virtual void ReleaseDevice(Device device) = 0;
  virtual void ReleaseDirectInput() = 0;
  // GetKeyboardState: 256 bytes indexed by virtual-key code.
  virtual void ReadKeyboardState(uint8_t* buffer) = 0;
};

class Keyboard {
 public:
  explicit Keyboard(InputDevices& devices) : devices_(devices) {}

  void StartDirectInput(uintptr_t window);
  void PollKeyboard();  // into the shared buffer
  // Into the caller's buffer; a read that fails leaves every key up there.
  void PollKeyboardInto(KeyStateBuffer& buffer);
  int IsKeyDown(int32_t code) const;  // 0x80 when down in the shared buffer
  void ReleaseInput();

  // The same key test on a buffer filled by PollKeyboardInto.
  bool IsKeyDownIn(const KeyStateBuffer& buffer, int32_t code) const;
  bool acquired() const { return acquired_; }

 private:
  void SetUpKeyboard(uintptr_t window);
  void SetUpMouse(uintptr_t window);
  void AcquireKeyboard();
  int32_t ReadKeyboardDevice(KeyStateBuffer& buffer);
  int32_t Poll(KeyStateBuffer& buffer);
  uint8_t KeyByte(const KeyStateBuffer& buffer, int32_t code) const;

  InputDevices& devices_;
  bool hasDirectInput_ = false;
  bool hasKeyboard_ = false;
  bool hasMouse_ = false;
  bool acquired_ = false;  // once set, raw key mode for good
  KeyStateBuffer shared_{};
};

}  // namespace cfg
