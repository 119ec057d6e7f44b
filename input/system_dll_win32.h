// Functions of the system DLLs that bring the device stack: loaded by the
// devices thread at their first use, not with the program, so that the main
// dialog does not wait for them.
#pragma once

#include <windows.h>

namespace cfg {

// Null when the DLL or the function is missing. Loaded by name, not by a full
// system path, as the game loads them: the program's folder comes first, where
// players put pad wrappers (a dinput.dll or winmm.dll of their choice) on purpose.
inline void* SystemFunction(const wchar_t* dll, const char* name) {
  const HMODULE module = LoadLibraryW(dll);
  return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace cfg
