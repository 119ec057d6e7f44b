#include "app/devices_thread_win32.h"

namespace cfg {

namespace {

DWORD WINAPI StartDevices(void* program) {
  static_cast<Program*>(program)->StartDevices();
  return 0;
}

}  // namespace

void WinDevicesThread::Start(Program& program) {
  thread_ = CreateThread(nullptr, 0, StartDevices, &program, CREATE_SUSPENDED, nullptr);
  if (thread_ == nullptr) program.StartDevices();
}

// A second resumption finds the thread running and changes nothing.
void WinDevicesThread::Go() {
  if (thread_ != nullptr) ResumeThread(thread_);
}

void WinDevicesThread::Join() {
  if (thread_ == nullptr) return;
  ResumeThread(thread_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
}

}  // namespace cfg
