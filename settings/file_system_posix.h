// Files and the current directory on a POSIX system, for the native tools and
// tests. A handle is the file descriptor plus one. Closing a written file
// syncs it first, a replace syncs the folder after the rename, and a file
// without write permission is never replaced. The change lock is a flock on
// the file's folder.
#pragma once

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "settings/file_system.h"

namespace cfg {

enum class PathStyle {
  // CP932 with backslashes, as the game's own paths are; converted to the
  // system's UTF-8 with slashes. A path that cannot be converted opens nothing.
  kGame,
  // The system's own bytes, used as given.
  kNative,
};

// The system calls whose failures the file layer handles, as one seam through
// which the tests put faults in.
struct PosixCalls {
  std::function<ssize_t(int, void*, size_t)> read = ::read;
  std::function<ssize_t(int, const void*, size_t)> write = ::write;
  std::function<int(int)> fsync = ::fsync;
  std::function<int(int, uid_t, gid_t)> fchown = ::fchown;
  std::function<int(int, mode_t)> fchmod = ::fchmod;
  std::function<ssize_t(const char*, char*, size_t)> readlink = ::readlink;
  std::function<int(int, int)> flock = ::flock;
};

class PosixFileSystem : public FileSystem {
 public:
  explicit PosixFileSystem(PathStyle style = PathStyle::kGame, PosixCalls calls = {})
      : style_(style), calls_(std::move(calls)) {}

  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateNew(const std::string& path) override;
  std::string TemporaryPathBeside(const std::string& path) override;
  bool FileTakeIdentity(Handle file, const std::string& original) override;
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint64_t FileGetSize(Handle file) override;
  std::string FinalPath(const std::string& path) override;
  bool FileCanReplace(const std::string& to) override;
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  Handle LockForChange(const std::string& path) override;
  void Unlock(Handle lock) override;
  FileFault LastFault() override;
  void Pause(unsigned milliseconds) override;
  std::optional<std::string> PathFromUtf8(const std::string& name) override;
  std::string CurrentDirectory() override;
  bool ChangeDirectory(const std::string& path) override;

 private:
  std::optional<std::string> SystemPath(const std::string& path) const;
  std::string OwnPath(const std::string& systemPath) const;
  // Records errno as the cause of a failure; returns `result` for brevity.
  template <typename T>
  T Failed(T result, int error = errno) {
    error_ = error;
    return result;
  }

  PathStyle style_;
  PosixCalls calls_;
  int error_ = 0;
  unsigned temporaryCount_ = 0;
};

}  // namespace cfg
