// The devices' start-up on a Windows thread.
#pragma once

#include <windows.h>

#include "app/program.h"

namespace cfg {

// The thread is made suspended and begins on Release(), once the main dialog
// is on screen: before it, its DLL loads would take the loader lock and a
// processor from the main thread while that builds the dialog.
class WinDevicesThread : public DevicesThread {
 public:
  void Start(Program& program) override;
  void Release();
  void Join() override;

 private:
  HANDLE thread_ = nullptr;
};

}  // namespace cfg
