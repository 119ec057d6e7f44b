// Everything the program keeps for its whole run, wired to the platform, and
// the portable steps of start-up and shut-down.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "bindings/key_map.h"
#include "dialogs/button_assign.h"
#include "dialogs/key_test.h"
#include "input/input.h"
#include "settings/file_system.h"
#include "settings/settings_store.h"

namespace cfg {

struct Platform {
  FileSystem& files;
  InputDevices& inputDevices;
  JoystickApi& joystickApi;
};

class Program {
 public:
  explicit Program(Platform platform);
  // The settings store calls back into this object.
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Input, joysticks, defaults, LocalConfig.Txt and the load of KV.set.
  void StartUp();
  // Asked after a failed save, with KV.set's path and the cause: true to
  // save again, false to end without saving.
  using SaveRetryQuestion = std::function<bool(const std::string& path, const FileFault& fault)>;

  // Releases input and, when the player confirmed, saves KV.set until it is
  // saved or `askRetry` (none: at once) gives up. False only when a confirmed
  // save finally failed.
  bool ShutDown(const SaveRetryQuestion& askRetry = {});

  // Copies controller assignController into the working copy; after the
  // dialog, copies it back when it ended with 1.
  void BeginButtonAssign();
  void EndButtonAssign(int result);

  FileSystem& files;
  Keyboard keyboard;
  Joysticks joysticks;
  Input input;
  Bindings bindings;
  SettingsStore settings;
  ButtonAssign buttonAssign;
  KeyTest keyTest;

  std::string priorDirectory;
  std::string settingsFolder;  // where KV.set was last looked for
  int32_t confirmFlag = 0;
  int32_t assignController = 0;

 private:
  // KV.set from priorDirectory's LocalConfig folder, else from .\Data\.
  void LoadSettings();
};

}  // namespace cfg
