#include "app/program.h"

#include <algorithm>

#include "bindings/start_up_record.h"
#include "settings/local_config.h"
#include "settings/save_failure_message.h"
#include "settings/settings_folders.h"

namespace cfg {

namespace {

constexpr uintptr_t kNoWindow = 0;

}  // namespace

Program::Program(Platform platform)
    : files_(platform.files),
      keyboard_(platform.inputDevices),
      joysticks_(platform.joystickApi),
      input_(keyboard_, joysticks_),
      bindings_(keyboard_, joysticks_),
      settings_(
          [this](int32_t slot) { bindings_.SetCurrentKeyMap(settings_.record().KeyMap(slot)); }),
      buttonAssign_(keyboard_, joysticks_),
      keyTest_(input_, bindings_),
      devicesThread_(platform.devicesThread) {}

// The devices thread works on this object.
Program::~Program() {
  devicesThread_.Join();
}

// The joystick queries load the platform's whole device stack, which takes
// longer than everything else before the main dialog appears.
void Program::StartUp() {
  devicesThread_.Start(*this);
  // Controller 1's keyboard_ defaults for now; FinishDefaultKeyMaps corrects
  // them once joystick 1 has answered.
  WriteStartUpRecord(settings_.record(), false);
  priorDirectory_ = ReadLocalConfig(files_);
  LoadSettings();
}

void Program::StartDevices() {
  input_.StartInput(kNoWindow);
  joysticks_.DetectJoysticks();
}

void Program::WaitForDevices() {
  if (devicesReady_) return;
  devicesThread_.Join();
  devicesReady_ = true;
  FinishDefaultKeyMaps();
}

// Defaults first, then the file over them: the key-map bytes KV.set did not
// provide take the defaults for joystick 1's answer.
void Program::FinishDefaultKeyMaps() {
  if (!joysticks_.present(0)) return;
  SettingsRecord defaults;
  BuildDefaultKeyMaps(defaults, true);
  SettingsRecord& record = settings_.record();
  const size_t fromFile = settings_.loadedBytes();
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const size_t begin = record_offset::KeyMap(slot);
    const size_t end = begin + kKeyMapSize;
    const size_t first = std::clamp(fromFile, begin, end);
    std::copy(defaults.bytes.begin() + first, defaults.bytes.begin() + end,
              record.bytes.begin() + first);
  }
}

// The folder of the last attempt is where the file is saved, found or not.
void Program::LoadSettings() {
  for (const std::string& folder : SettingsFolders(priorDirectory_)) {
    settingsFolder_ = folder;
    if (settings_.LoadSettingsFile(files_, settingsFolder_)) return;
  }
}

bool Program::ShutDown(const SaveRetryQuestion& askRetry) {
  WaitForDevices();
  keyboard_.ReleaseInput();
  if (confirmFlag_ != 1) return true;
  FileFault fault;
  std::string keptAt;
  // The record stays in memory, so each attempt saves the player's changes whole.
  while (!settings_.SaveSettingsFile(files_, settingsFolder_, &fault)) {
    if (!fault.keptAt.empty()) keptAt = fault.keptAt;
    const bool retry = askRetry && askRetry(SettingsFilePath(settingsFolder_), fault);
    if (!retry || !CanRetrySave(fault)) return false;
  }
  // The copy an earlier attempt kept when it lost the old file is now one too many.
  if (!keptAt.empty()) files_.FileDelete(keptAt);
  return true;
}

KeyTest& Program::ReadyKeyTest() {
  WaitForDevices();
  return keyTest_;
}

ButtonAssign& Program::BeginButtonAssign(int controller) {
  WaitForDevices();
  assignController_ = controller;
  buttonAssign_.BeginEditing(bindings_.CurrentKeyMap(), assignController_);
  return buttonAssign_;
}

void Program::EndButtonAssign(int result) {
  if (result != kDialogConfirmed) return;
  buttonAssign_.CommitTo(bindings_.CurrentKeyMap(), assignController_);
}

}  // namespace cfg
