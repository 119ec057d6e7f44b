#include "app/program.h"

#include "settings/local_config.h"
#include "settings/rankings.h"
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
      settings(bindings),
      buttonAssign(keyboard, joysticks),
      keyTest(input, bindings) {}

void Program::StartUp() {
  input.StartInput(kNoWindow);
  // Controller 1's defaults follow joystick 1, so detection comes first.
  joysticks.DetectJoysticks();
  BuildDefaultKeyMaps(settings.record(), joysticks.present(0));
  ResetRankingTables(settings.record());
  settings.SetDefaultSettings();
  priorDirectory = ReadLocalConfig(files);
  LoadSettings();
}

// The folder of the last attempt is where the file is saved, found or not.
void Program::LoadSettings() {
  for (const std::string& folder : SettingsFolders(priorDirectory)) {
    settingsFolder = folder;
    if (settings.LoadSettingsFile(files, settingsFolder) != 0) return;
  }
}

bool Program::ShutDown() {
  keyboard.ReleaseInput();
  if (confirmFlag != 1) return true;
  return settings.SaveSettingsFile(files, settingsFolder) == 1;
}

void Program::BeginButtonAssign() {
  buttonAssign.BeginEditing(bindings.CurrentKeyMap(), assignController);
}

void Program::EndButtonAssign(int result) {
  if (result != kDialogConfirmed) return;
  buttonAssign.CommitTo(bindings.CurrentKeyMap(), assignController);
}

}  // namespace cfg
