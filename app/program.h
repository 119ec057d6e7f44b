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

class Program;

// Runs the devices' start-up beside the caller.
class DevicesThread {
 public:
  virtual ~DevicesThread() = default;
  // Has program.StartDevices() called on a thread of its own, at once or
  // later, and returns at once; when no thread can be made, calls it before
  // returning.
  virtual void Start(Program& program) = 0;
  // Returns once that call has returned, having it begin if it had not yet;
  // at once when nothing was started.
  virtual void Join() = 0;
};

struct Platform {
  FileSystem& files;
  InputDevices& inputDevices;
  JoystickApi& joystickApi;
  DevicesThread& devicesThread;
};

class Program {
 public:
  explicit Program(Platform platform);
  // The settings store calls back into this object.
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program();

  // Starts input and joystick detection on the devices thread, then, on the
  // caller's thread, the defaults, LocalConfig.Txt and the load of KV.set.
  // The main dialog may open as soon as this returns: what it shows does not
  // depend on the devices.
  void StartUp();
  // Asked after a failed save, with KV.set's path and the cause: true to
  // save again, false to end without saving.
  using SaveRetryQuestion = std::function<bool(const std::string& path, const FileFault& fault)>;
  // Where the devices thread joins. Until this returns the keyboard, the
  // joysticks, the input and the key maps belong to start-up and must not be
  // used: the button-assignment dialog, the key test and the save all wait
  // here first. Afterwards controller 1's defaults follow joystick 1 wherever
  // KV.set left them, as if detection had come before the load. Later calls
  // return at once.
  void WaitForDevices();
  // Input start-up and joystick detection; the devices thread's whole work.
  void StartDevices();

  // Releases input and, when the player confirmed, saves KV.set until it is
  // saved or `askRetry` (none: at once) gives up; a failure that saving again
  // cannot mend is told once. False only when a confirmed save finally failed.
  bool ShutDown(const SaveRetryQuestion& askRetry = {});

  // The record the main dialog shows and changes.
  SettingsRecord& record() { return settings_.record(); }
  // As SettingsStore::SelectConfigSlot; the bindings follow the slot.
  void SelectSlot(int32_t slot) { settings_.SelectConfigSlot(slot); }
  // The key map the bindings evaluate: the current slot's.
  const uint8_t* CurrentKeyMap() const { return bindings_.CurrentKeyMap(); }
  // The player confirmed: ShutDown saves.
  void Confirm() { confirmFlag_ = 1; }

  // The key test's model, once the devices are ready.
  KeyTest& ReadyKeyTest();
  // Copies the controller's bindings into the dialog's working copy; after
  // the dialog, copies them back when it was confirmed.
  ButtonAssign& BeginButtonAssign(int controller);
  void EndButtonAssign(int result);

 private:
  // KV.set from priorDirectory_'s LocalConfig folder, else from .\Data\.
  void LoadSettings();
  void FinishDefaultKeyMaps();

  FileSystem& files_;
  Keyboard keyboard_;
  Joysticks joysticks_;
  Input input_;
  Bindings bindings_;
  SettingsStore settings_;
  ButtonAssign buttonAssign_;
  KeyTest keyTest_;

  std::string priorDirectory_;
  std::string settingsFolder_;  // where KV.set was last looked for
  int32_t confirmFlag_ = 0;
  int32_t assignController_ = 0;
  DevicesThread& devicesThread_;
  bool devicesReady_ = false;
};

}  // namespace cfg
