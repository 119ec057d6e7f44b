// A Program over the in-memory file system and the scripted input fakes, and
// its main dialog on screen: the slot list, the check boxes and their enabled
// state, and what the player answers in the boxes and sub-dialogs it runs.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/main_dialog.h"
#include "app/program.h"
#include "dialogs/modal_dialog.h"
#include "res/resource_ids.h"
#include "settings/settings_record.h"
#include "tests/support/fake_input_devices.h"
#include "tests/support/fake_joystick_api.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/record_images.h"

namespace cfg::testing {

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
  MemoryFileSystem files;  // in C:\Game
  FakeInputDevices devices;
  FakeJoystickApi joystickApi;
  StdDevicesThread devicesThread;
  Program program{Platform{files, devices, joystickApi, devicesThread}};

  SettingsRecord& record() { return program.record(); }
};

// A dialog that has ended is destroyed once the event that ended it is handled.
class FakeMainDialogView : public MainDialogView {
 public:
  using Event = void (MainDialog::*)(MainDialogView&);
  explicit FakeMainDialogView(MainDialog& dialog) : dialog_(dialog) {}

  void Open() { dialog_.OnInit(*this); }
  // An enabled auto check box flips, then reports the click if the dialog asks for it.
  void ClickCheck(int id, Event clicked) {
    if (disabled[id]) return;
    checks[id] = !checks[id];
    if (clicked != nullptr) Do(clicked);
  }
  void ChooseSlot(int index) {
    selected = index;
    Do(&MainDialog::OnSlotChosen);
  }
  void Do(Event event) {
    (dialog_.*event)(*this);
    if (!result || destroyed) return;
    destroyed = true;
    dialog_.OnDestroy(*this);
  }

  bool scoreResetAnswer = false;
  std::function<int(ButtonAssign&)> buttonAssignDialog = [](ButtonAssign&) {
    return kDialogCancelled;
  };
  int keyTests = 0;
  std::vector<std::string> entries;
  int selected = -1;
  std::map<int, bool> checks, disabled;
  std::optional<int> result;
  bool destroyed = false;

  void ClearSlotList() override {
    entries.clear();
    selected = -1;
  }
  void AddSlotListEntry(const std::string& text) override { entries.push_back(text); }
  void SelectSlotListEntry(int index) override {
    selected = index >= 0 && index < static_cast<int>(entries.size()) ? index : -1;
  }
  int SelectedSlotListEntry() const override { return selected; }
  void SetCheck(int id, bool checked) override { checks[id] = checked; }
  bool IsChecked(int id) const override { return checks.count(id) != 0 && checks.at(id); }
  void EnableControl(int id, bool enabled) override { disabled[id] = !enabled; }
  bool AskOkCancel(const std::string&, const std::string&) override { return scoreResetAnswer; }
  int RunButtonAssignDialog(ButtonAssign& model) override { return buttonAssignDialog(model); }
  int RunKeyTestDialog(KeyTest&) override {
    ++keyTests;
    return kDialogCancelled;
  }
  void Finish(int code) override { result = code; }

 private:
  MainDialog& dialog_;
};

#ifdef GOLDEN_DIR
// A record the independent model of the file layout wrote (tests/e2e/kvset_model.py).
inline SettingsRecord GoldenRecord(const std::string& name) {
  std::ifstream file(std::string(GOLDEN_DIR) + "/" + name, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
  SettingsRecord record;
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSettingsRecordSize), record.bytes.begin());
  return record;
}
#endif

}  // namespace cfg::testing
