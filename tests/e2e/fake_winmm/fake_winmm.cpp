// A stand-in for winmm's joystick functions, for the end-to-end tests only.
// Placed beside Config.exe and loaded through a DLL override, it reports the
// joysticks described in "joysticks.txt" beside it, one a line:
//   id x y buttons posfail
// with both axes 0-65535; `posfail` 1 makes joyGetPosEx fail as when unplugged.
// The file is read again on every call, so a test changes what the program
// sees while it runs. Built as winmm itself, so its declarations are not imports.
#define _WINMM_
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

namespace {

struct FakeJoystick {
  unsigned x = 0, y = 0, buttons = 0, posFail = 0;
};

HMODULE g_module = nullptr;

// Joystick `id` as joysticks.txt describes it; false when it has no line.
bool Find(UINT id, FakeJoystick& found) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(g_module, path, MAX_PATH);
  char* slash = strrchr(path, '\\');
  if (length == 0 || length + 16 >= MAX_PATH || slash == nullptr) return false;
  strcpy(slash + 1, "joysticks.txt");
  FILE* file = fopen(path, "r");
  bool known = false;
  char line[256];
  while (file != nullptr && !known && fgets(line, sizeof line, file) != nullptr) {
    unsigned lineId = 0;
    FakeJoystick& j = found;
    known = sscanf(line, "%u %u %u %u %u", &lineId, &j.x, &j.y, &j.buttons, &j.posFail) == 5 &&
            lineId == id;
  }
  if (file != nullptr) fclose(file);
  return known;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

UINT WINAPI joyGetNumDevs() {
  return 16;
}

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  FakeJoystick j;
  if (!Find(static_cast<UINT>(id), j)) return JOYERR_PARMS;
  memset(caps, 0, size);
  caps->wXmax = caps->wYmax = 65535;
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO) {
  FakeJoystick j;
  return Find(id, j) ? JOYERR_NOERROR : JOYERR_UNPLUGGED;
}

MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
  FakeJoystick j;
  if (!Find(id, j) || j.posFail) return JOYERR_UNPLUGGED;
  info->dwXpos = j.x;
  info->dwYpos = j.y;
  info->dwButtons = j.buttons;
  return JOYERR_NOERROR;
}

}  // extern "C"
