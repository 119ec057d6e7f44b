#include "app/program.h"

#include <algorithm>

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
  BuildDefaultKeyMaps(settings.record(), false);
  ResetRankingTables(settings.record());
  settings.SetDefaultSettings();
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
  settingsFolder = priorDirectory + kLocalConfigFolder;
  if (settings.LoadSettingsFile(files, settingsFolder) != 0) return;
  settingsFolder = kDataFolder;
  settings.LoadSettingsFile(files, settingsFolder);
}

bool Program::ShutDown() {
  WaitForDevices();
  keyboard.ReleaseInput();
  if (confirmFlag != 1) return true;
  return settings.SaveSettingsFile(files, settingsFolder) == 1;
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
