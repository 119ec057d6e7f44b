// A Program over the in-memory file system and the scripted input fakes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/program.h"
#include "settings/settings_record.h"
#include "tests/settings/store_fixture.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"
#include "tests/support/memory_file_system.h"

namespace cfg::testing {

constexpr char kStartFolder[] = "C:\\Game";
constexpr char kLocalConfigSettings[] = "C:\\Game\\LocalConfig\\KV.set";
constexpr char kDataSettings[] = "C:\\Game\\Data\\KV.set";

// The devices start on a thread of their own, as on Windows, or, when late,
// answer only once they are waited for, after KV.set is loaded.
class StdDevicesThread : public DevicesThread {
 public:
  bool late = false;
  void Start(Program& program) override {
    if (late) program_ = &program;
    if (!late) thread_ = std::thread([&program] { program.StartDevices(); });
  }
  void Join() override {
    if (thread_.joinable()) thread_.join();
    if (program_ != nullptr) std::exchange(program_, nullptr)->StartDevices();
  }

 private:
  std::thread thread_;
  Program* program_ = nullptr;
};

struct ProgramRig {
  MemoryFileSystem files{kStartFolder};
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};

  SettingsRecord& record() { return program.settings.record(); }
  void AttachJoystick1() {
    joystickApi.numDevs = 16;
    joystickApi.Attach(0);
  }
};

#ifdef GOLDEN_DIR
// The record a confirmed run with no KV.set saves, as the independent model of
// the file layout wrote it (tests/e2e/kvset_model.py).
inline SettingsRecord GoldenRecord(bool joystick1) {
  std::ifstream file(
      std::string(GOLDEN_DIR) + (joystick1 ? "/defaults-joystick.set" : "/defaults.set"),
      std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  SettingsRecord record;
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSettingsRecordSize), record.bytes.begin());
  return record;
}
#endif

}  // namespace cfg::testing
