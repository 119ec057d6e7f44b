#include "settings/file_system_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "settings/text_codec.h"

namespace cfg {
namespace {

// errno has no code for "not a regular file"; this one is ours.
constexpr int kNotRegularFile = -1;
constexpr int kMostLinksFollowed = 40;  // as the kernel's own limit
constexpr mode_t kNewFileMode = 0666;   // before the umask
constexpr mode_t kPermissionBits = 07777;

int Descriptor(FileSystem::Handle file) {
  return static_cast<int>(file) - 1;
}

FileSystem::Handle HandleOf(int descriptor) {
  return descriptor < 0 ? FileSystem::kNoHandle : static_cast<FileSystem::Handle>(descriptor) + 1;
}

// A descriptor that cannot tell counts as written: its sync then fails and says so.
bool IsWrittenFile(int descriptor) {
  return (fcntl(descriptor, F_GETFL) & O_ACCMODE) != O_RDONLY;
}

// Read-only as the program means it: no write permission for anybody, or none
// for this process. Checking the bits too keeps it read-only for root.
bool IsReadOnlyFile(const struct stat& status, const std::string& systemPath) {
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         access(systemPath.c_str(), W_OK) != 0;
}

std::string FolderOf(const std::string& systemPath) {
  const size_t slash = systemPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : systemPath.substr(0, slash);
}

// The folder's entries reach the disk, a rename among them included.
void SyncFolder(const std::string& folder) {
  const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

// The call again while a signal interrupts it; -1 and errno on another failure.
template <typename Call>
auto Uninterrupted(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result == -1 && errno == EINTR);
  return result;
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

FileError CauseOf(int error) {
  switch (error) {
    case 0:
      return FileError::kNone;
    case EROFS:
    case EACCES:
    case EPERM:
      return FileError::kReadOnly;
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
      return FileError::kInUse;
    case ENOENT:
    case ENOTDIR:
      return FileError::kNoFolder;
    case ENOSPC:
    case EDQUOT:
      return FileError::kDiskFull;
    case EEXIST:
      return FileError::kExists;
    case EISDIR:
    case ENXIO:
    case kNotRegularFile:
      return FileError::kNotAFile;
    default:
      return FileError::kOther;
  }
}

}  // namespace

std::optional<std::string> PosixFileSystem::SystemPath(const std::string& path) const {
  if (style_ == PathStyle::kNative) return path;
  // Separators are swapped after the conversion, so a 0x5C second byte is
  // never mistaken for one.
  std::optional<std::string> native = Utf8FromCp932(path);
  if (native) std::replace(native->begin(), native->end(), '\\', '/');
  return native;
}

std::string PosixFileSystem::OwnPath(const std::string& systemPath) const {
  if (style_ == PathStyle::kNative) return systemPath;
  return Cp932FromUtf8(systemPath).value_or(std::string());
}

FileSystem::Handle PosixFileSystem::FileOpenRead(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  if (!native) return Failed(kNoHandle, EINVAL);
  // Without O_NONBLOCK a pipe would wait here for a writer.
  const int descriptor = open(native->c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return Failed(kNoHandle);
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
      fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(descriptor);
    return Failed(kNoHandle, kNotRegularFile);
  }
  return HandleOf(descriptor);
}

FileSystem::Handle PosixFileSystem::FileCreateNew(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  if (!native) return Failed(kNoHandle, EINVAL);
  const int descriptor = open(native->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              S_IRUSR | S_IWUSR);
  return descriptor < 0 ? Failed(kNoHandle) : HandleOf(descriptor);
}

std::string PosixFileSystem::TemporaryPathBeside(const std::string& path) {
  return path + "." + std::to_string(getpid()) + "-" + std::to_string(temporaryCount_++) + ".tmp";
}

bool PosixFileSystem::FileTakeIdentity(Handle file, const std::string& original) {
  const std::optional<std::string> native = SystemPath(original);
  if (!native) return Failed(false, EINVAL);
  const int descriptor = Descriptor(file);
  struct stat status;
  if (stat(native->c_str(), &status) != 0) {
    if (errno != ENOENT) return Failed(false);
    return calls_.fchmod(descriptor, kNewFileMode & ~CurrentUmask()) == 0 || Failed(false);
  }
  struct stat own;
  if (fstat(descriptor, &own) != 0) return Failed(false);
  // Only root may give a file away; a member of the file's group still keeps the group.
  if ((own.st_uid != status.st_uid || own.st_gid != status.st_gid) &&
      calls_.fchown(descriptor, status.st_uid, status.st_gid) != 0) {
    calls_.fchown(descriptor, static_cast<uid_t>(-1), status.st_gid);
  }
  // After the owner: a change of owner clears the set-ID bits.
  return calls_.fchmod(descriptor, status.st_mode & kPermissionBits) == 0 || Failed(false);
}

uint32_t PosixFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  const ssize_t got = Uninterrupted([&] { return calls_.read(Descriptor(file), buffer, count); });
  if (got < 0) return Failed(0u);
  if (got == 0) error_ = 0;
  return static_cast<uint32_t>(got);
}

uint32_t PosixFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  const ssize_t written =
      Uninterrupted([&] { return calls_.write(Descriptor(file), buffer, count); });
  if (written < 0) return Failed(0u);
  // A regular file takes fewer bytes than given only when its disk is full.
  if (static_cast<uint32_t>(written) < count) error_ = ENOSPC;
  return static_cast<uint32_t>(written);
}

bool PosixFileSystem::FileClose(Handle file) {
  const int descriptor = Descriptor(file);
  const bool synced = !IsWrittenFile(descriptor) || calls_.fsync(descriptor) == 0;
  if (!synced) error_ = errno;
  const bool closed = close(descriptor) == 0;
  if (!closed) error_ = errno;
  return synced && closed;
}

uint64_t PosixFileSystem::FileGetSize(Handle file) {
  struct stat status;
  if (fstat(Descriptor(file), &status) != 0) return Failed(kUnknownSize);
  return static_cast<uint64_t>(status.st_size);
}

std::string PosixFileSystem::FinalPath(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  if (!native) return path;
  std::string current = *native;
  for (int links = 0; links < kMostLinksFollowed; ++links) {
    struct stat status;
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    std::vector<char> target(static_cast<size_t>(status.st_size) + 1);
    const ssize_t length = calls_.readlink(current.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size()) break;
    const std::string next(target.data(), static_cast<size_t>(length));
    current = next[0] == '/' || current.find('/') == std::string::npos
                  ? next
                  : FolderOf(current) + "/" + next;
  }
  const std::string own = OwnPath(current);
  return own.empty() ? path : own;
}

// No sharing modes here: another program's open file never stops a rename.
bool PosixFileSystem::FileCanReplace(const std::string&) {
  return true;
}

bool PosixFileSystem::FileReplace(const std::string& from, const std::string& to) {
  const std::optional<std::string> source = SystemPath(from);
  const std::optional<std::string> target = SystemPath(to);
  if (!source || !target) return Failed(false, EINVAL);
  struct stat status;
  if (lstat(target->c_str(), &status) == 0) {
    if (!S_ISREG(status.st_mode)) return Failed(false, kNotRegularFile);
    // rename() would replace a read-only file; the program must not.
    if (IsReadOnlyFile(status, *target)) return Failed(false, EACCES);
  }
  if (rename(source->c_str(), target->c_str()) != 0) return Failed(false);
  SyncFolder(FolderOf(*target));
  return true;
}

bool PosixFileSystem::FileDelete(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  if (!native) return Failed(false, EINVAL);
  return unlink(native->c_str()) == 0 || Failed(false);
}

FileSystem::Handle PosixFileSystem::LockForChange(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  if (!native) return Failed(kNoHandle, EINVAL);
  // The folder, unlike the file, stays the same through the rename.
  const int descriptor = open(FolderOf(*native).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return Failed(kNoHandle);
  if (Uninterrupted([&] { return calls_.flock(descriptor, LOCK_EX); }) != 0) {
    const int error = errno;
    close(descriptor);
    return Failed(kNoHandle, error);
  }
  return HandleOf(descriptor);
}

void PosixFileSystem::Unlock(Handle lock) {
  close(Descriptor(lock));  // closing releases the flock
}

FileFault PosixFileSystem::LastFault() {
  FileFault fault;
  fault.cause = CauseOf(error_);
  if (fault.cause == FileError::kOther) fault.systemText = std::strerror(error_);
  return fault;
}

void PosixFileSystem::Pause(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::optional<std::string> PosixFileSystem::PathFromUtf8(const std::string& name) {
  if (style_ == PathStyle::kNative) return name;
  return Cp932FromUtf8(name);
}

std::string PosixFileSystem::CurrentDirectory() {
  // Given no buffer, getcwd allocates one as long as the path.
  const std::unique_ptr<char, decltype(&free)> path(getcwd(nullptr, 0), &free);
  return path ? OwnPath(path.get()) : std::string();
}

bool PosixFileSystem::ChangeDirectory(const std::string& path) {
  const std::optional<std::string> native = SystemPath(path);
  return native && chdir(native->c_str()) == 0;
}

}  // namespace cfg
