// Joysticks through the Windows multimedia joystick interface (winmm).
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include "input/joystick.h"

namespace cfg {

class WinJoystickApi : public JoystickApi {
 public:
  uint32_t NumDevs() override;
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override;
  bool IsAttached(uint32_t id) override;
  bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) override;

 private:
  // Null until NumDevs, the first call start-up makes (on the devices
  // thread), has loaded winmm.dll.
  decltype(&joyGetNumDevs) numDevs_ = nullptr;
  decltype(&joyGetDevCapsA) getDevCaps_ = nullptr;
  decltype(&joyGetPos) getPos_ = nullptr;
  decltype(&joyGetPosEx) getPosEx_ = nullptr;
};

}  // namespace cfg
