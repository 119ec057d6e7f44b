// A Program over the in-memory file system and the scripted input fakes, and
// KV.set images as an earlier run might have left them.
#pragma once

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "app/program.h"
#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "settings/settings_record.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"
#include "tests/support/memory_file_system.h"

namespace cfg::testing {

constexpr char kStartFolder[] = "C:\\Game";
constexpr char kLocalConfigSettings[] = "C:\\Game\\LocalConfig\\KV.set";
constexpr char kDataSettings[] = "C:\\Game\\Data\\KV.set";

// The devices start on a thread of their own, as on Windows.
class StdDevicesThread : public DevicesThread {
 public:
  void Start(Program& program) override {
    thread_ = std::thread([&program] { program.StartDevices(); });
  }
  void Join() override {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

struct ProgramRig {
  MemoryFileSystem files{kStartFolder};
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};

  SettingsRecord& record() { return program.settings.record(); }
};

// Keyboard key maps, default rankings, full screen and ".\Sound\".
inline SettingsRecord SavedRecord() {
  SettingsRecord record;
  BuildDefaultKeyMaps(record, false);
  ResetRankingTables(record);
  record.SetInt(record_offset::kFullScreen, 1);
  std::memcpy(&record.bytes[record_offset::kSoundFolder], ".\\Sound\\", 9);
  return record;
}

inline std::vector<uint8_t> Image(const SettingsRecord& record) {
  return std::vector<uint8_t>(record.bytes.begin(), record.bytes.end());
}

// A saved record told apart from others by a value in a field no Part touches.
inline std::vector<uint8_t> MarkedImage(int32_t marker) {
  SettingsRecord record = SavedRecord();
  record.SetInt(record_offset::kOpaqueA, marker);
  return Image(record);
}

}  // namespace cfg::testing
