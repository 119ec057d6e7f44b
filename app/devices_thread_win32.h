// The devices' start-up on a Windows thread.
#pragma once

#include <windows.h>

#include "app/program.h"

namespace cfg {

// The thread is made at once, suspended until Go: the devices' platform work
// (DLL loads, device enumeration through the wineserver under Wine) would
// otherwise compete with the main dialog's creation.
class WinDevicesThread : public DevicesThread {
 public:
  void Start(Program& program) override;
  // Lets the thread begin; Join does so too.
  void Go();
  void Join() override;

 private:
  HANDLE thread_ = nullptr;
};

}  // namespace cfg
