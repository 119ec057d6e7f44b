#include "input/input_devices_win32.h"

#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>

#include <dinput.h>

#include "input/system_dll_win32.h"

namespace cfg {

// The buffer-size property as DirectInput 7 expects it, the same on 32 and 64 bits.
static_assert(sizeof(DIPROPDWORD) == 20 && sizeof(DIPROPHEADER) == 16, "DIPROPDWORD");

// The core's DirectInput numbers are the SDK's.
static_assert(kDiOk == DI_OK);
static_assert(kDiErrInputLost == DIERR_INPUTLOST);
static_assert(kCooperativeLevel == (DISCL_NONEXCLUSIVE | DISCL_FOREGROUND));

namespace {

int32_t Result(HRESULT result) {
  return static_cast<int32_t>(result);
}

const GUID& DeviceGuid(InputDevices::Device device) {
  return device == InputDevices::Device::kKeyboard ? GUID_SysKeyboard : GUID_SysMouse;
}

const DIDATAFORMAT& DataFormat(InputDevices::Device device) {
  return device == InputDevices::Device::kKeyboard ? c_dfDIKeyboard : c_dfDIMouse;
}

}  // namespace

IDirectInputDeviceA*& WinInputDevices::Slot(Device device) {
  return devices_[device == Device::kKeyboard ? 0 : 1];
}

uintptr_t WinInputDevices::WindowInstance(uintptr_t window) {
  if (window == 0) return 0;
  return static_cast<uintptr_t>(GetWindowLongPtrA(reinterpret_cast<HWND>(window), GWLP_HINSTANCE));
}

// dinput.dll is loaded here, on the devices thread.
int32_t WinInputDevices::CreateDirectInput(uintptr_t instance) {
  const auto create = reinterpret_cast<decltype(&DirectInputCreateA)>(
      SystemFunction(L"dinput.dll", "DirectInputCreateA"));
  if (create == nullptr) return Result(DIERR_NOTINITIALIZED);
  return Result(
      create(reinterpret_cast<HINSTANCE>(instance), DIRECTINPUT_VERSION, &directInput_, nullptr));
}

int32_t WinInputDevices::CreateDevice(Device device) {
  return Result(directInput_->CreateDevice(DeviceGuid(device), &Slot(device), nullptr));
}

int32_t WinInputDevices::SetDataFormat(Device device) {
  return Result(Slot(device)->SetDataFormat(&DataFormat(device)));
}

int32_t WinInputDevices::SetCooperativeLevel(Device device, uintptr_t window, uint32_t flags) {
  return Result(Slot(device)->SetCooperativeLevel(reinterpret_cast<HWND>(window), flags));
}

int32_t WinInputDevices::SetBufferSize(Device device, uint32_t size) {
  DIPROPDWORD property{};
  property.diph.dwSize = sizeof(DIPROPDWORD);
  property.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  property.diph.dwObj = 0;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = size;
  return Result(Slot(device)->SetProperty(DIPROP_BUFFERSIZE, &property.diph));
}

int32_t WinInputDevices::Acquire(Device device) {
  return Result(Slot(device)->Acquire());
}

int32_t WinInputDevices::GetDeviceState(Device device, uint8_t* buffer, uint32_t size) {
  return Result(Slot(device)->GetDeviceState(size, buffer));
}

void WinInputDevices::ReleaseDevice(Device device) {
  Slot(device)->Release();
  Slot(device) = nullptr;
}

void WinInputDevices::ReleaseDirectInput() {
  directInput_->Release();
  directInput_ = nullptr;
}

void WinInputDevices::ReadKeyboardState(uint8_t* buffer) {
  GetKeyboardState(buffer);
}

}  // namespace cfg
