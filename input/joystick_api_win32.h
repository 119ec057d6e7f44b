// Joysticks through the Windows multimedia joystick interface (winmm).
#pragma once

#include "input/joystick.h"

namespace cfg {

class WinJoystickApi : public JoystickApi {
 public:
  uint32_t NumDevs() override;
  bool GetDevCaps(uint32_t id, JoystickCaps& caps) override;
  bool IsAttached(uint32_t id) override;
  bool GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) override;
};

}  // namespace cfg
