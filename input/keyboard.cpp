#include "input/keyboard.h"

namespace cfg {
namespace {

using Device = InputDevices::Device;

// DirectInput's SUCCEEDED: success codes are the non-negative results.
bool Succeeded(int32_t result) {
  return result >= 0;
}

}  // namespace

void Keyboard::StartDirectInput(uintptr_t window) {
  const uintptr_t instance = devices_.WindowInstance(window);
  if (devices_.CreateDirectInput(instance) != kDiOk) return;
  hasDirectInput_ = true;
  SetUpKeyboard(window);
  SetUpMouse(window);
}

void Keyboard::SetUpKeyboard(uintptr_t window) {
  if (!Succeeded(devices_.CreateDevice(Device::kKeyboard))) return;
  hasKeyboard_ = true;
  if (!Succeeded(devices_.SetDataFormat(Device::kKeyboard))) return;
  if (!Succeeded(devices_.SetCooperativeLevel(Device::kKeyboard, window, kCooperativeLevel))) {
    return;
  }
  devices_.SetBufferSize(Device::kKeyboard, kKeyboardBufferSize);  // nothing reads the buffer
  AcquireKeyboard();
}

// Nothing reads the mouse; it is set up and released only.
void Keyboard::SetUpMouse(uintptr_t window) {
  if (!Succeeded(devices_.CreateDevice(Device::kMouse))) return;
  hasMouse_ = true;
  if (!Succeeded(devices_.SetDataFormat(Device::kMouse))) return;
  if (!Succeeded(devices_.SetCooperativeLevel(Device::kMouse, window, kCooperativeLevel))) return;
  devices_.Acquire(Device::kMouse);
}

// Only plain success switches to raw key mode; 'already acquired' (1) does not.
void Keyboard::AcquireKeyboard() {
  if (devices_.Acquire(Device::kKeyboard) == kDiOk) acquired_ = true;
}

// One read, and after a failure one acquisition and a second read.
int32_t Keyboard::ReadKeyboardDevice(KeyStateBuffer& buffer) {
  int32_t result = devices_.GetDeviceState(Device::kKeyboard, buffer.data(), kKeyStateSize);
  if (result == kDiOk) return kDiOk;
  AcquireKeyboard();
  result = devices_.GetDeviceState(Device::kKeyboard, buffer.data(), kKeyStateSize);
  if (result == kDiErrInputLost) buffer = {};
  return result;
}

// kDiOk when the buffer holds a fresh snapshot in the current mode's layout.
int32_t Keyboard::Poll(KeyStateBuffer& buffer) {
  int32_t result = kDiOk;
  if (hasKeyboard_) result = ReadKeyboardDevice(buffer);
  if (!acquired_) {
    devices_.ReadKeyboardState(buffer.data());
    result = kDiOk;
  }
  return result;
}

// A failed read keeps the previous poll's snapshot.
void Keyboard::PollKeyboard() {
  Poll(shared_);
}

// The caller's buffer holds no earlier snapshot worth keeping.
void Keyboard::PollKeyboardInto(KeyStateBuffer& buffer) {
  if (Poll(buffer) != kDiOk) buffer = {};
}

uint8_t Keyboard::KeyByte(const KeyStateBuffer& buffer, int32_t code) const {
  const uint8_t key = KeyOfCode(code);
  return buffer[acquired_ ? key : ScanToVkTable[key]];
}

int Keyboard::IsKeyDown(int32_t code) const {
  return KeyByte(shared_, code) & 0x80;
}

bool Keyboard::IsKeyDownIn(const KeyStateBuffer& buffer, int32_t code) const {
  return (KeyByte(buffer, code) & 0x80) != 0;
}

// No Unacquire first: releasing the device ends the acquisition.
void Keyboard::ReleaseInput() {
  if (!hasDirectInput_) return;
  if (hasKeyboard_) {
    devices_.ReleaseDevice(Device::kKeyboard);
    hasKeyboard_ = false;
  }
  if (hasMouse_) {
    devices_.ReleaseDevice(Device::kMouse);
    hasMouse_ = false;
  }
  devices_.ReleaseDirectInput();
  hasDirectInput_ = false;
}

}  // namespace cfg
