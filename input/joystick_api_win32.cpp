#include "input/joystick_api_win32.h"

#include "input/system_dll_win32.h"

namespace cfg {

// The record sizes the interface is called with, the same on 32 and 64 bits.
static_assert(sizeof(JOYCAPSA) == 404, "JOYCAPSA");
static_assert(sizeof(JOYINFOEX) == 52, "JOYINFOEX");

// The core's capability bits and position flags are the SDK's.
static_assert(joy::kCapsHasZ == JOYCAPS_HASZ);
static_assert(joy::kCapsHasR == JOYCAPS_HASR);
static_assert(joy::kCapsHasU == JOYCAPS_HASU);
static_assert(joy::kCapsHasV == JOYCAPS_HASV);
static_assert(joy::kCapsHasPov == JOYCAPS_HASPOV);
static_assert(joy::kReturnX == JOY_RETURNX);
static_assert(joy::kReturnY == JOY_RETURNY);
static_assert(joy::kReturnZ == JOY_RETURNZ);
static_assert(joy::kReturnR == JOY_RETURNR);
static_assert(joy::kReturnU == JOY_RETURNU);
static_assert(joy::kReturnV == JOY_RETURNV);
static_assert(joy::kReturnPov == JOY_RETURNPOV);
static_assert(joy::kReturnButtons == JOY_RETURNBUTTONS);
static_assert(joy::kUseDeadZone == JOY_USEDEADZONE);

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
