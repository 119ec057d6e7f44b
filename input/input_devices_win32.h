// DirectInput 7 keyboard and mouse devices and the Windows keyboard state.
#pragma once

#include <array>

#include "input/keyboard.h"

struct IDirectInputA;
struct IDirectInputDeviceA;

namespace cfg {

class WinInputDevices : public InputDevices {
 public:
  uintptr_t WindowInstance(uintptr_t window) override;
  int32_t CreateDirectInput(uintptr_t instance) override;
  int32_t CreateDevice(Device device) override;
  int32_t SetDataFormat(Device device) override;
  int32_t SetCooperativeLevel(Device device, uintptr_t window, uint32_t flags) override;
  int32_t SetBufferSize(Device device, uint32_t size) override;
  int32_t Acquire(Device device) override;
  int32_t GetDeviceState(Device device, uint8_t* buffer, uint32_t size) override;
  void ReleaseDevice(Device device) override;
  void ReleaseDirectInput() override;
  void ReadKeyboardState(uint8_t* buffer) override;

 private:
  IDirectInputDeviceA*& Slot(Device device);

  IDirectInputA* directInput_ = nullptr;
  std::array<IDirectInputDeviceA*, 2> devices_{};  // keyboard, mouse
};

}  // namespace cfg
