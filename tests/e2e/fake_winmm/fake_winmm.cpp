// winmm's joystick functions for the end-to-end tests, loaded beside Config.exe through a DLL
// override: the joysticks that the file named by FAKE_JOYSTICKS describes, one a line: id x y
// buttons posfail (axes 0-65535; posfail 1 fails joyGetPosEx as when unplugged), read on every
// call so that a test changes them while the program runs. Built as winmm: no imports.
#define _WINMM_
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Joystick `id`'s line as {x, y, buttons, posfail}; false when it has none.
bool Find(UINT id, unsigned (&j)[4]) {
  const char* path = getenv("FAKE_JOYSTICKS");
  FILE* file = path != nullptr ? fopen(path, "r") : nullptr;
  unsigned lineId = 0;
  bool known = false;
  while (file != nullptr && !known &&
         fscanf(file, "%u %u %u %u %u", &lineId, &j[0], &j[1], &j[2], &j[3]) == 5)
    known = lineId == id;
  if (file != nullptr) fclose(file);
  return known;
}

}  // namespace

extern "C" {

UINT WINAPI joyGetNumDevs() {
  return 16;
}

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  unsigned j[4];
  if (!Find(static_cast<UINT>(id), j)) return JOYERR_PARMS;
  memset(caps, 0, size);
  caps->wXmax = caps->wYmax = 65535;
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO) {
  unsigned j[4];
  return Find(id, j) ? JOYERR_NOERROR : JOYERR_UNPLUGGED;
}

MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
  unsigned j[4];
  if (!Find(id, j) || j[3] != 0) return JOYERR_UNPLUGGED;
  info->dwXpos = j[0];
  info->dwYpos = j[1];
  info->dwButtons = j[2];
  return JOYERR_NOERROR;
}

}  // extern "C"
