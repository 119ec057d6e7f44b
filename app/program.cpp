#include "app/program.h"

#include "bindings/start_up_record.h"
#include "settings/local_config.h"
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
      keyTest(input, bindings) {}

void Program::StartUp() {
  input.StartInput(kNoWindow);
  // Controller 1's defaults follow joystick 1, so detection comes first.
  joysticks.DetectJoysticks();
  WriteStartUpRecord(settings.record(), joysticks.present(0));
  settings.SelectConfigSlot(0);
  priorDirectory = ReadLocalConfig(files);
  LoadSettings();
}

// The folder of the last attempt is where the file is saved, found or not.
void Program::LoadSettings() {
  for (const std::string& folder : SettingsFolders(priorDirectory)) {
    settingsFolder = folder;
    if (settings.LoadSettingsFile(files, settingsFolder)) return;
  }
}

bool Program::ShutDown(const SaveRetryQuestion& askRetry) {
  keyboard.ReleaseInput();
  if (confirmFlag != 1) return true;
  FileFault fault;
  // The record stays in memory, so each attempt saves the player's changes whole.
  while (!settings.SaveSettingsFile(files, settingsFolder, &fault)) {
    if (!askRetry || !askRetry(SettingsFilePath(settingsFolder), fault)) return false;
  }
  return true;
}

void Program::BeginButtonAssign() {
  buttonAssign.BeginEditing(bindings.CurrentKeyMap(), assignController);
}

void Program::EndButtonAssign(int result) {
  if (result != kDialogConfirmed) return;
  buttonAssign.CommitTo(bindings.CurrentKeyMap(), assignController);
}

}  // namespace cfg
