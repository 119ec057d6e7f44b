#include "settings/file_system_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "settings/text_codec.h"

namespace cfg {
namespace {

constexpr uint32_t kUnknownSize = 0xFFFFFFFF;

// CP932 with backslashes to the system's UTF-8 with slashes. Separators are
// swapped after the conversion, so a 0x5C second byte is never mistaken for one.
std::optional<std::string> NativePath(const std::string& path) {
  std::optional<std::string> native = Utf8FromCp932(path);
  if (native) std::replace(native->begin(), native->end(), '\\', '/');
  return native;
}

int Descriptor(FileSystem::Handle file) {
  return static_cast<int>(file) - 1;
}

FileSystem::Handle HandleOf(int descriptor) {
  return descriptor < 0 ? FileSystem::kNoHandle : static_cast<FileSystem::Handle>(descriptor) + 1;
}

bool IsWrittenFile(int descriptor) {
  const int flags = fcntl(descriptor, F_GETFL);
  return flags != -1 && (flags & O_ACCMODE) != O_RDONLY;
}

// Read-only as the program means it: no write permission for anybody, or none
// for this process. Checking the bits too keeps it read-only for root.
bool IsReadOnlyFile(const std::string& nativePath) {
  struct stat status;
  if (stat(nativePath.c_str(), &status) != 0) return false;
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
         access(nativePath.c_str(), W_OK) != 0;
}

}  // namespace

FileSystem::Handle PosixFileSystem::FileOpenRead(const std::string& path) {
  const std::optional<std::string> native = NativePath(path);
  if (!native) return kNoHandle;
  const int descriptor = open(native->c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return kNoHandle;
  // A folder opens on POSIX but is no file to read.
  struct stat status;
  if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(descriptor);
    errno = EISDIR;
    return kNoHandle;
  }
  return HandleOf(descriptor);
}

FileSystem::Handle PosixFileSystem::FileCreateWrite(const std::string& path) {
  const std::optional<std::string> native = NativePath(path);
  if (!native) return kNoHandle;
  return HandleOf(open(native->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

uint32_t PosixFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
  ssize_t got;
  do {
    got = read(Descriptor(file), buffer, count);
  } while (got < 0 && errno == EINTR);
  return got < 0 ? 0 : static_cast<uint32_t>(got);
}

uint32_t PosixFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
  ssize_t written;
  do {
    written = write(Descriptor(file), buffer, count);
  } while (written < 0 && errno == EINTR);
  return written < 0 ? 0 : static_cast<uint32_t>(written);
}

bool PosixFileSystem::FileClose(Handle file) {
  const int descriptor = Descriptor(file);
  const bool synced = !IsWrittenFile(descriptor) || fsync(descriptor) == 0;
  const bool closed = close(descriptor) == 0;
  return synced && closed;
}

uint32_t PosixFileSystem::FileGetSize(Handle file) {
  struct stat status;
  if (fstat(Descriptor(file), &status) != 0) return kUnknownSize;
  return static_cast<uint32_t>(status.st_size);
}

bool PosixFileSystem::FileReplace(const std::string& from, const std::string& to) {
  const std::optional<std::string> source = NativePath(from);
  const std::optional<std::string> target = NativePath(to);
  if (!source || !target) return false;
  // rename() would replace a read-only file; the program must not.
  if (IsReadOnlyFile(*target)) return false;
  return rename(source->c_str(), target->c_str()) == 0;
}

bool PosixFileSystem::FileDelete(const std::string& path) {
  const std::optional<std::string> native = NativePath(path);
  return native && unlink(native->c_str()) == 0;
}

std::string PosixFileSystem::LastErrorText() {
  return std::strerror(errno);
}

std::string PosixFileSystem::CurrentDirectory() {
  std::vector<char> buffer(256);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return Cp932FromUtf8(buffer.data()).value_or(std::string());
}

bool PosixFileSystem::ChangeDirectory(const std::string& path) {
  const std::optional<std::string> native = NativePath(path);
  return native && chdir(native->c_str()) == 0;
}

}  // namespace cfg
