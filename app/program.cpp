#include "app/program.h"

#include "settings/local_config.h"
#include "settings/rankings.h"

namespace cfg {

namespace {

constexpr uintptr_t kNoWindow = 0;
constexpr char kLocalConfigFolder[] = "LocalConfig\\";
constexpr char kDataFolder[] = ".\\Data\\";

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
  settingsFolder = priorDirectory + kLocalConfigFolder;
  if (settings.LoadSettingsFile(files, settingsFolder) != 0) return;
  settingsFolder = kDataFolder;
  settings.LoadSettingsFile(files, settingsFolder);
}

bool Program::ShutDown(const SaveRetryQuestion& askRetry) {
  keyboard.ReleaseInput();
  if (confirmFlag != 1) return true;
  FileFault fault;
  // The record stays in memory, so each attempt saves the player's changes whole.
  while (settings.SaveSettingsFile(files, settingsFolder, &fault) != 1) {
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
