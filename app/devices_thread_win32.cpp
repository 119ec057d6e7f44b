#include "app/devices_thread_win32.h"

namespace cfg {

namespace {

DWORD WINAPI StartDevices(void* program) {
  static_cast<Program*>(program)->StartDevices();
  return 0;
}

}  // namespace

void WinDevicesThread::Start(Program& program) {
  thread_ = CreateThread(nullptr, 0, StartDevices, &program, 0, nullptr);
  if (thread_ == nullptr) program.StartDevices();
}

void WinDevicesThread::Join() {
  if (thread_ == nullptr) return;
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace cfg
