#include "app/devices_thread_win32.h"

namespace cfg {

namespace {

// Wine quirk: its dinput.dll brings comctl32, whose start-up, run under the
// loader lock, needs the display driver. Were the main thread loading that
// driver for its first window at the same moment, it would wait for the
// loader lock, and this thread for the driver: a deadlock. Asking for the
// desktop first loads the driver, or waits until the main thread has, before
// any DLL of the devices is loaded.
DWORD WINAPI StartDevices(void* program) {
  GetDesktopWindow();
  static_cast<Program*>(program)->StartDevices();
  return 0;
}

}  // namespace

void WinDevicesThread::Start(Program& program) {
  thread_ = CreateThread(nullptr, 0, StartDevices, &program, CREATE_SUSPENDED, nullptr);
  if (thread_ == nullptr) program.StartDevices();
}

// Resuming a thread that runs already does nothing.
void WinDevicesThread::Release() {
  if (thread_ != nullptr) ResumeThread(thread_);
}

void WinDevicesThread::Join() {
  if (thread_ == nullptr) return;
  Release();
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace cfg
