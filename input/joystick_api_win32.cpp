#include "input/joystick_api_win32.h"

#include <windows.h>

#include <mmsystem.h>

namespace cfg {

// The record sizes the interface is called with, the same on 32 and 64 bits.
static_assert(sizeof(JOYCAPSA) == 404, "JOYCAPSA");
static_assert(sizeof(JOYINFOEX) == 52, "JOYINFOEX");

uint32_t WinJoystickApi::NumDevs() {
  return joyGetNumDevs();
}

bool WinJoystickApi::GetDevCaps(uint32_t id, JoystickCaps& caps) {
  JOYCAPSA platform{};
  if (joyGetDevCapsA(id, &platform, sizeof(platform)) != JOYERR_NOERROR) return false;
  caps.xMin = platform.wXmin;
  caps.xMax = platform.wXmax;
  caps.yMin = platform.wYmin;
  caps.yMax = platform.wYmax;
  caps.caps = platform.wCaps;
  return true;
}

bool WinJoystickApi::IsAttached(uint32_t id) {
  JOYINFO info{};
  return joyGetPos(id, &info) == JOYERR_NOERROR;
}

bool WinJoystickApi::GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) {
  JOYINFOEX info{};
  info.dwSize = sizeof(info);
  info.dwFlags = flags;
  if (joyGetPosEx(id, &info) != JOYERR_NOERROR) return false;
  position.x = info.dwXpos;
  position.y = info.dwYpos;
  position.buttons = info.dwButtons;
  return true;
}

}  // namespace cfg
