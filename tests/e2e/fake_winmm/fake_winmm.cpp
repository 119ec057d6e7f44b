// A stand-in for winmm's joystick functions, for the end-to-end tests only.
// Placed beside Config.exe and loaded through a DLL override, it reports the
// joysticks described in "joysticks.txt" beside it. The file is read again on
// every call, so a test changes what the program sees while it runs.
//
// One line per joystick id, blank lines and lines starting with '#' ignored:
//   id attached xmin xmax ymin ymax caps x y buttons [posfail]
// `attached` 1 makes joyGetPos answer; `posfail` 1 makes joyGetPosEx fail.
// "devs N" sets what joyGetNumDevs reports (16 when absent).
// Built as winmm itself, so its declarations are not imports.
#define _WINMM_
#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

namespace {

struct FakeJoystick {
  bool known = false;
  unsigned attached = 0, xMin = 0, xMax = 0, yMin = 0, yMax = 0, caps = 0;
  unsigned x = 0, y = 0, buttons = 0, posFail = 0;
};

struct Script {
  unsigned devs = 16;
  FakeJoystick joysticks[16];
};

HMODULE g_module = nullptr;

bool ScriptPath(char* path, DWORD size) {
  DWORD length = GetModuleFileNameA(g_module, path, size);
  if (length == 0 || length >= size) return false;
  char* slash = strrchr(path, '\\');
  if (slash == nullptr || static_cast<DWORD>(slash - path) + 16 >= size) return false;
  strcpy(slash + 1, "joysticks.txt");
  return true;
}

void ParseLine(const char* line, Script& script) {
  unsigned devs = 0;
  if (sscanf(line, "devs %u", &devs) == 1) {
    script.devs = devs;
    return;
  }
  FakeJoystick j;
  unsigned id = 0;
  int fields = sscanf(line, "%u %u %u %u %u %u %u %u %u %u %u", &id, &j.attached, &j.xMin, &j.xMax,
                      &j.yMin, &j.yMax, &j.caps, &j.x, &j.y, &j.buttons, &j.posFail);
  if (fields < 10 || id >= 16) return;
  j.known = true;
  script.joysticks[id] = j;
}

Script ReadScript() {
  Script script;
  char path[MAX_PATH];
  if (!ScriptPath(path, sizeof path)) return script;
  FILE* file = fopen(path, "r");
  if (file == nullptr) return script;
  char line[256];
  while (fgets(line, sizeof line, file) != nullptr) {
    if (line[0] != '#') ParseLine(line, script);
  }
  fclose(file);
  return script;
}

const FakeJoystick* Find(const Script& script, UINT id) {
  if (id >= 16 || !script.joysticks[id].known) return nullptr;
  return &script.joysticks[id];
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

UINT WINAPI joyGetNumDevs() {
  return ReadScript().devs;
}

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  Script script = ReadScript();
  const FakeJoystick* j = Find(script, static_cast<UINT>(id));
  if (j == nullptr || caps == nullptr || size < sizeof(JOYCAPSA)) return JOYERR_PARMS;
  memset(caps, 0, size);
  strcpy(caps->szPname, "Test pad");
  caps->wXmin = j->xMin;
  caps->wXmax = j->xMax;
  caps->wYmin = j->yMin;
  caps->wYmax = j->yMax;
  caps->wNumButtons = 16;
  caps->wMaxButtons = 32;
  caps->wNumAxes = 2;
  caps->wMaxAxes = 6;
  caps->wCaps = j->caps;
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPos(UINT id, LPJOYINFO info) {
  Script script = ReadScript();
  const FakeJoystick* j = Find(script, id);
  if (j == nullptr || !j->attached) return JOYERR_UNPLUGGED;
  if (info != nullptr) {
    info->wXpos = j->x;
    info->wYpos = j->y;
    info->wZpos = 0;
    info->wButtons = j->buttons & 0xF;
  }
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
  Script script = ReadScript();
  const FakeJoystick* j = Find(script, id);
  if (j == nullptr || !j->attached || j->posFail) return JOYERR_UNPLUGGED;
  if (info == nullptr || info->dwSize != sizeof(JOYINFOEX)) return JOYERR_PARMS;
  info->dwXpos = j->x;
  info->dwYpos = j->y;
  info->dwButtons = j->buttons;
  return JOYERR_NOERROR;
}

}  // extern "C"
