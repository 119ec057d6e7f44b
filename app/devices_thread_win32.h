// The devices' start-up on a Windows thread.
#pragma once

#include <windows.h>

#include "app/program.h"

namespace cfg {

class WinDevicesThread : public DevicesThread {
 public:
  void Start(Program& program) override;
  void Join() override;

 private:
  HANDLE thread_ = nullptr;
};

}  // namespace cfg
