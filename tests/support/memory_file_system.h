// An in-memory FileSystem for unit tests: files, folders and a current
// directory, with faults injected call by call.
//
// Paths are CP932 byte strings: absolute ("C:\Game\Data\KV.set", the form of
// the keys) or relative to the current directory. "." and ".." are folded,
// '/' counts as '\', a 0x5C second byte is no separator, and case is kept.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/file_system.h"

namespace cfg {

enum class FileOperation {
  kOpenRead,
  kCreateNew,
  kTakeIdentity,
  kRead,
  kWrite,
  kClose,
  kGetSize,
  kReplace,
  kDelete,
  kLock
};

class MemoryFileSystem : public FileSystem {
 public:
  // The current directory is created with its parents.
  explicit MemoryFileSystem(const std::string& currentDirectory = "C:\\Game");

  // Creates the folder and its missing parents.
  void AddDirectory(const std::string& path);
  // Creates or replaces a file, and its folders.
  void SetFile(const std::string& path, const std::vector<uint8_t>& bytes);
  void SetFile(const std::string& path, const std::string& bytes) {
    SetFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  }
  // Readable, but not replaced.
  void SetReadOnly(const std::string& path, bool readOnly = true) {
    if (readOnly) readOnly_.insert(Absolute(path));
    if (!readOnly) readOnly_.erase(Absolute(path));
  }
  // Held by another program: every open or replace fails.
  void SetLocked(const std::string& path) { locked_.insert(Absolute(path)); }
  // Runs once LockForChange is granted, as another program that had the lock first.
  void OnNextLock(std::function<void()> action) { onLock_ = std::move(action); }

  // The next `times` calls of the operation fail (kOther) without effect.
  void FailNext(FileOperation operation, int times = 1) { failures_[operation] += times; }
  // The next FileWrite stores and reports only `bytes` bytes (disk full).
  void ShortenNextWrite(uint32_t bytes) { shortWrite_ = bytes; }
  // Every FileRead delivers at most `bytes` bytes (0: no limit).
  void LimitReadsTo(uint32_t bytes) { readLimit_ = bytes; }
  // FileGetSize tells `bytes` fewer than the file holds, as when it grows meanwhile.
  void UnderstateSizesBy(uint64_t bytes) { understatedBy_ = bytes; }
  // The process "dies" after `calls` more calls: later ones fail and change nothing.
  void StopAfterCalls(size_t calls) { callsLeft_ = calls; }

  std::optional<std::vector<uint8_t>> FileBytes(const std::string& path) const {
    const auto found = files_.find(Absolute(path));
    return found == files_.end() ? std::nullopt : std::optional(found->second);
  }
  // Absolute keys of every file, in byte order.
  std::vector<std::string> ListFiles() const;
  size_t OpenHandleCount() const { return handles_.size(); }
  bool LockHeld() const { return lockHeld_; }
  std::string Absolute(const std::string& path) const;

  Handle FileOpenRead(const std::string& path) override;
  Handle FileCreateNew(const std::string& path) override;
  // The path followed by ".~N.tmp", N counting the calls.
  std::string TemporaryPathBeside(const std::string& path) override {
    return path + ".~" + std::to_string(temporaryCount_++) + ".tmp";
  }
  bool FileTakeIdentity(Handle file, const std::string&) override {
    return Admit(FileOperation::kTakeIdentity) && handles_.count(file) != 0;
  }
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override;
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override;
  bool FileClose(Handle file) override;
  uint64_t FileGetSize(Handle file) override;
  std::string FinalPath(const std::string& path) override { return path; }  // no links here
  bool FileReplace(const std::string& from, const std::string& to) override;
  bool FileDelete(const std::string& path) override;
  Handle LockForChange(const std::string& path) override;
  void Unlock(Handle) override { lockHeld_ = false; }
  FileFault LastFault() override { return {lastError_, {}}; }
  std::optional<std::string> PathFromUtf8(const std::string& name) override { return name; }
  std::string CurrentDirectory() override { return current_; }
  bool ChangeDirectory(const std::string& path) override;

 private:
  struct OpenFile {
    std::string key;
    size_t position = 0;
  };

  // False (cause kOther) when the call must fail without effect.
  bool Admit(FileOperation operation);
  template <typename T>
  T Failed(T result, FileError cause) {
    lastError_ = cause;
    return result;
  }
  std::string ParentOf(const std::string& key) const { return Absolute(key + "\\.."); }
  bool IsOpen(const std::string& key) const;

  std::string current_;
  std::set<std::string> directories_;
  std::map<std::string, std::vector<uint8_t>> files_;
  std::set<std::string> readOnly_;
  std::set<std::string> locked_;
  std::map<Handle, OpenFile> handles_;
  Handle nextHandle_ = 1;
  std::map<FileOperation, int> failures_;
  std::optional<uint32_t> shortWrite_;
  uint32_t readLimit_ = 0;
  uint64_t understatedBy_ = 0;
  std::optional<size_t> callsLeft_;
  bool stopped_ = false;
  FileError lastError_ = FileError::kNone;
  unsigned temporaryCount_ = 0;
  bool lockHeld_ = false;
  std::function<void()> onLock_;
};

}  // namespace cfg
