// DirectInput and the Windows keyboard state, answering from fixed state with
// no heap use. Fail(call, result) sets a call's standing answer, FailOnce the
// next one only; Hold(44) holds z in both key layouts; Count counts calls.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>

#include "input/keyboard.h"

namespace cfg {

class FakeInputDevices : public InputDevices {
 public:
  enum class Call {
    kCreateDirectInput,
    kCreateDevice,
    kSetDataFormat,
    kSetCooperativeLevel,
    kSetBufferSize,
    kAcquire,
    kGetDeviceState,
    kReleaseDevice,
    kReleaseDirectInput,
    kReadKeyboardState,
    kCount
  };

  // Key bytes: by DirectInput key code (GetDeviceState) and by virtual-key code.
  KeyStateBuffer keys{};
  KeyStateBuffer virtualKeys{};
  uintptr_t cooperativeWindow = 1;  // the last one given to SetCooperativeLevel

  void Hold(uint8_t key, uint8_t byte = 0x80) {
    keys[key] = byte;
    if (ScanToVkTable[key] != 0) virtualKeys[ScanToVkTable[key]] = byte;
  }
  void Release(uint8_t key) { Hold(key, 0); }
  void ReleaseAll() { keys = virtualKeys = KeyStateBuffer{}; }

  void Fail(Call call, int32_t result, Device device = Device::kKeyboard) {
    Slot(call, device).standing = result;
  }
  void FailOnce(Call call, int32_t result, Device device = Device::kKeyboard) {
    Slot(call, device).once = result;
  }
  int Count(Call call, Device device = Device::kKeyboard) { return Slot(call, device).calls; }

  uintptr_t WindowInstance(uintptr_t window) override { return window; }
  int32_t CreateDirectInput(uintptr_t) override { return Answer(Call::kCreateDirectInput); }
  int32_t CreateDevice(Device d) override { return Answer(Call::kCreateDevice, d); }
  int32_t SetDataFormat(Device d) override { return Answer(Call::kSetDataFormat, d); }
  int32_t SetCooperativeLevel(Device d, uintptr_t window, uint32_t) override {
    cooperativeWindow = window;
    return Answer(Call::kSetCooperativeLevel, d);
  }
  int32_t SetBufferSize(Device d, uint32_t) override { return Answer(Call::kSetBufferSize, d); }
  int32_t Acquire(Device d) override { return Answer(Call::kAcquire, d); }
  // Fills the buffer only on success, as DirectInput does.
  int32_t GetDeviceState(Device d, uint8_t* buffer, uint32_t size) override {
    const int32_t result = Answer(Call::kGetDeviceState, d);
    if (result == kDiOk) std::copy_n(keys.begin(), std::min<size_t>(size, keys.size()), buffer);
    return result;
  }
  void ReleaseDevice(Device d) override { Answer(Call::kReleaseDevice, d); }
  void ReleaseDirectInput() override { Answer(Call::kReleaseDirectInput); }
  void ReadKeyboardState(uint8_t* buffer) override {
    Answer(Call::kReadKeyboardState);
    std::copy(virtualKeys.begin(), virtualKeys.end(), buffer);
  }

 private:
  struct CallSlot {
    int32_t standing = kDiOk;
    std::optional<int32_t> once;
    int calls = 0;
  };

  CallSlot& Slot(Call call, Device device) {
    return slots_[static_cast<size_t>(call) * 2 + (device == Device::kMouse ? 1 : 0)];
  }
  int32_t Answer(Call call, Device device = Device::kKeyboard) {
    CallSlot& slot = Slot(call, device);
    ++slot.calls;
    return slot.once ? *std::exchange(slot.once, std::nullopt) : slot.standing;
  }

  std::array<CallSlot, static_cast<size_t>(Call::kCount) * 2> slots_{};
};

}  // namespace cfg
