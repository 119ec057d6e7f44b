#include "input/joystick_api_win32.h"

#include "input/system_dll_win32.h"

namespace cfg {

// The record sizes the interface is called with, the same on 32 and 64 bits.
static_assert(sizeof(JOYCAPSA) == 404, "JOYCAPSA");
static_assert(sizeof(JOYINFOEX) == 52, "JOYINFOEX");

namespace {
constexpr wchar_t kWinmm[] = L"winmm.dll";
}  // namespace

uint32_t WinJoystickApi::NumDevs() {
  if (numDevs_ == nullptr) {
    numDevs_ = reinterpret_cast<decltype(numDevs_)>(SystemFunction(kWinmm, "joyGetNumDevs"));
    getDevCaps_ = reinterpret_cast<decltype(getDevCaps_)>(SystemFunction(kWinmm, "joyGetDevCapsA"));
    getPos_ = reinterpret_cast<decltype(getPos_)>(SystemFunction(kWinmm, "joyGetPos"));
    getPosEx_ = reinterpret_cast<decltype(getPosEx_)>(SystemFunction(kWinmm, "joyGetPosEx"));
  }
  return numDevs_ != nullptr ? numDevs_() : 0;
}

bool WinJoystickApi::GetDevCaps(uint32_t id, JoystickCaps& caps) {
  JOYCAPSA platform{};
  if (getDevCaps_ == nullptr || getDevCaps_(id, &platform, sizeof(platform)) != JOYERR_NOERROR) {
    return false;
  }
  caps.xMin = platform.wXmin;
  caps.xMax = platform.wXmax;
  caps.yMin = platform.wYmin;
  caps.yMax = platform.wYmax;
  caps.caps = platform.wCaps;
  return true;
}

bool WinJoystickApi::IsAttached(uint32_t id) {
  JOYINFO info{};
  return getPos_ != nullptr && getPos_(id, &info) == JOYERR_NOERROR;
}

bool WinJoystickApi::GetPosEx(uint32_t id, uint32_t flags, JoystickPosition& position) {
  JOYINFOEX info{};
  info.dwSize = sizeof(info);
  info.dwFlags = flags;
  if (getPosEx_ == nullptr || getPosEx_(id, &info) != JOYERR_NOERROR) return false;
  position.x = info.dwXpos;
  position.y = info.dwYpos;
  position.buttons = info.dwButtons;
  return true;
}

}  // namespace cfg
