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
    : files(platform.files),
      keyboard(platform.inputDevices),
      joysticks(platform.joystickApi),
      input(keyboard, joysticks),
      bindings(keyboard, joysticks),
      settings([this](int32_t slot) { bindings.SetCurrentKeyMap(settings.record().KeyMap(slot)); }),
      buttonAssign(keyboard, joysticks),
      keyTest(input, bindings),
      devicesThread_(platform.devicesThread) {}

// The devices thread works on this object.
Program::~Program() {
  devicesThread_.Join();
}

// The joystick queries load the platform's whole device stack, which takes
// longer than everything else before the main dialog appears.
void Program::StartUp() {
  devicesThread_.Start(*this);
  // Controller 1's keyboard defaults for now; FinishDefaultKeyMaps corrects
  // them once joystick 1 has answered.
  WriteStartUpRecord(settings.record(), false);
  priorDirectory = ReadLocalConfig(files);
  LoadSettings();
}

void Program::StartDevices() {
  input.StartInput(kNoWindow);
  joysticks.DetectJoysticks();
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
  if (!joysticks.present(0)) return;
  SettingsRecord defaults;
  BuildDefaultKeyMaps(defaults, true);
  SettingsRecord& record = settings.record();
  const size_t fromFile = settings.loadedBytes();
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
  for (const std::string& folder : SettingsFolders(priorDirectory)) {
    settingsFolder = folder;
    if (settings.LoadSettingsFile(files, settingsFolder)) return;
  }
}

bool Program::ShutDown(const SaveRetryQuestion& askRetry) {
  WaitForDevices();
  keyboard.ReleaseInput();
  if (confirmFlag != 1) return true;
  FileFault fault;
  std::string keptAt;
  // The record stays in memory, so each attempt saves the player's changes whole.
  while (!settings.SaveSettingsFile(files, settingsFolder, &fault)) {
    if (!fault.keptAt.empty()) keptAt = fault.keptAt;
    const bool retry = askRetry && askRetry(SettingsFilePath(settingsFolder), fault);
    if (!retry || !CanRetrySave(fault)) return false;
  }
  // The copy an earlier attempt kept when it lost the old file is now one too many.
  if (!keptAt.empty()) files.FileDelete(keptAt);
  return true;
}

void Program::BeginButtonAssign() {
  WaitForDevices();
  buttonAssign.BeginEditing(bindings.CurrentKeyMap(), assignController);
}

void Program::EndButtonAssign(int result) {
  if (result != kDialogConfirmed) return;
  buttonAssign.CommitTo(bindings.CurrentKeyMap(), assignController);
}

}  // namespace cfg
