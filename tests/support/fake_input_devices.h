// A scripted stand-in for DirectInput and the Windows keyboard state.
//
//   FakeInputDevices fake;
//   fake.Script("Acquire(keyboard)", {1, kDiOk});  // first call 'already acquired', then 0
//   fake.SetResult("GetDeviceState(keyboard)", kDiErrInputLost);  // every call once scripts run
//   fake.PressKey(dik::kUp);     // DirectInput key byte, seen by GetDeviceState(keyboard)
//   fake.PressVirtualKey(vk::kUp);  // virtual-key byte, seen by ReadKeyboardState
//   Keyboard keyboard(fake);
//   keyboard.StartDirectInput(0);
//   keyboard.PollKeyboard();
//   EXPECT_EQ(fake.Count("ReadKeyboardState"), 0);
//   EXPECT_THAT(fake.log(), ElementsAre(...));
//
// Every call is logged by name: "WindowInstance", "CreateDirectInput",
// "CreateDevice(keyboard)", "SetDataFormat(mouse)", "SetCooperativeLevel(keyboard)",
// "SetBufferSize(keyboard)", "Acquire(keyboard)", "GetDeviceState(keyboard)",
// "ReleaseDevice(mouse)", "ReleaseDirectInput", "ReadKeyboardState". The same names
// select what Script and SetResult apply to. A call's result is the next scripted
// one, then the standing result (kDiOk unless set). GetDeviceState fills the
// caller's buffer with the DirectInput key bytes only when it answers kDiOk;
// otherwise the buffer is left untouched.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "input/keyboard.h"

namespace cfg {

class FakeInputDevices : public InputDevices {
 public:
  void Script(const std::string& call, std::initializer_list<int32_t> results) {
    scripted_[call].insert(scripted_[call].end(), results);
  }
  void SetResult(const std::string& call, int32_t result) { standing_[call] = result; }

  void PressKey(uint8_t key) { keys_[key] = 0x80; }
  void ReleaseKey(uint8_t key) { keys_[key] = 0; }
  void PressVirtualKey(uint8_t vk) { virtualKeys_[vk] = 0x80; }
  void ReleaseVirtualKey(uint8_t vk) { virtualKeys_[vk] = 0; }
  void ReleaseAllKeys() {
    keys_.fill(0);
    virtualKeys_.fill(0);
  }

  // The instance handle WindowInstance answers.
  void SetInstance(uintptr_t instance) { instance_ = instance; }

  const std::vector<std::string>& log() const { return log_; }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(log_.begin(), log_.end(), call));
  }
  void ClearLog() { log_.clear(); }

  // Arguments seen, for the calls whose arguments matter.
  uintptr_t lastCreateInstance() const { return lastCreateInstance_; }
  uintptr_t lastCooperativeWindow() const { return lastCooperativeWindow_; }
  uint32_t lastCooperativeFlags() const { return lastCooperativeFlags_; }
  uint32_t lastBufferSize() const { return lastBufferSize_; }

  uintptr_t WindowInstance(uintptr_t /*window*/) override {
    log_.push_back("WindowInstance");
    return instance_;
  }
  int32_t CreateDirectInput(uintptr_t instance) override {
    lastCreateInstance_ = instance;
    return Answer("CreateDirectInput");
  }
  int32_t CreateDevice(Device device) override { return Answer(Named("CreateDevice", device)); }
  int32_t SetDataFormat(Device device) override { return Answer(Named("SetDataFormat", device)); }
  int32_t SetCooperativeLevel(Device device, uintptr_t window, uint32_t flags) override {
    lastCooperativeWindow_ = window;
    lastCooperativeFlags_ = flags;
    return Answer(Named("SetCooperativeLevel", device));
  }
  int32_t SetBufferSize(Device device, uint32_t size) override {
    lastBufferSize_ = size;
    return Answer(Named("SetBufferSize", device));
  }
  int32_t Acquire(Device device) override { return Answer(Named("Acquire", device)); }
  int32_t GetDeviceState(Device device, uint8_t* buffer, uint32_t size) override {
    const int32_t result = Answer(Named("GetDeviceState", device));
    if (result == kDiOk && device == Device::kKeyboard) {
      std::copy_n(keys_.begin(), std::min<size_t>(size, keys_.size()), buffer);
    }
    return result;
  }
  void ReleaseDevice(Device device) override { log_.push_back(Named("ReleaseDevice", device)); }
  void ReleaseDirectInput() override { log_.push_back("ReleaseDirectInput"); }
  void ReadKeyboardState(uint8_t* buffer) override {
    log_.push_back("ReadKeyboardState");
    std::copy(virtualKeys_.begin(), virtualKeys_.end(), buffer);
  }

 private:
  static std::string Named(const char* call, Device device) {
    return std::string(call) + (device == Device::kKeyboard ? "(keyboard)" : "(mouse)");
  }

  int32_t Answer(const std::string& call) {
    log_.push_back(call);
    std::deque<int32_t>& queue = scripted_[call];
    if (!queue.empty()) {
      const int32_t result = queue.front();
      queue.pop_front();
      return result;
    }
    const auto standing = standing_.find(call);
    return standing == standing_.end() ? kDiOk : standing->second;
  }

  std::map<std::string, std::deque<int32_t>> scripted_;
  std::map<std::string, int32_t> standing_;
  KeyStateBuffer keys_{};
  KeyStateBuffer virtualKeys_{};
  uintptr_t instance_ = 0;
  uintptr_t lastCreateInstance_ = 0;
  uintptr_t lastCooperativeWindow_ = 0;
  uint32_t lastCooperativeFlags_ = 0;
  uint32_t lastBufferSize_ = 0;
  std::vector<std::string> log_;
};

}  // namespace cfg
