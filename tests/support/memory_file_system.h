// An in-memory FileSystem for unit tests, with faults injected call by call.
// Paths are CP932 byte strings: absolute ("C:\Game\Data\KV.set", the form of
// the keys) or relative to the current directory. "." and ".." are folded,
// '/' counts as '\', a 0x5C second byte is no separator, and case is kept.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "settings/file_system.h"
#include "settings/folder_path.h"

namespace cfg {

enum class FileOperation {
  kOpenRead,
  kCreateNew,
  kTakeIdentity,
  kRead,
  kWrite,
  kClose,
  kGetSize,
  kCanReplace,
  kReplace,
  kDelete,
  kLock
};

class MemoryFileSystem : public FileSystem {
 public:
  // The current directory is created with its parents.
  explicit MemoryFileSystem(const std::string& currentDirectory = "C:\\Game")
      : current_(currentDirectory) {
    AddDirectory(current_ = Absolute(currentDirectory));
  }

  // Creates the folder and its missing parents.
  void AddDirectory(const std::string& path) {
    for (std::string key = Absolute(path); directories_.insert(key).second;) key = ParentOf(key);
  }
  // Creates or replaces a file, and its folders, with a container's bytes (an array's NUL too).
  template <typename Bytes>
  void SetFile(const std::string& path, const Bytes& bytes) {
    AddDirectory(ParentOf(Absolute(path)));
    files_[Absolute(path)].assign(std::begin(bytes), std::end(bytes));
  }
  // Readable, but not replaced.
  void SetReadOnly(const std::string& path, bool readOnly = true) {
    if (readOnly) readOnly_.insert(Absolute(path));
    if (!readOnly) readOnly_.erase(Absolute(path));
  }
  // Held by another program: every open or replace fails, as a hold of a moment would.
  void SetLocked(const std::string& path) { locked_.insert(Absolute(path)); }
  // A folder CurrentDirectory cannot say (a name without code page 932 or short form).
  void SetUnnamed(const std::string& path) { unnamed_ = Absolute(path); }
  // Runs once LockForChange is granted, as another program that had the lock first.
  void OnNextLock(std::function<void()> action) { onLock_ = std::move(action); }

  // The next `times` calls of the operation fail without effect.
  void FailNext(FileOperation operation, int times = 1, FileError cause = FileError::kOther,
                bool transient = false) {
    failures_[operation] = {failures_[operation].first + times, {cause, {}, transient, {}}};
  }
  // The next FileReplace removes its target first, as a replace that fails
  // halfway; whether it then fails is up to FailNext.
  void LoseTargetOnNextReplace() { loseTarget_ = true; }
  // The milliseconds waited in Pause.
  unsigned Paused() const { return paused_; }
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
  // Every file's bytes by its absolute key.
  const std::map<std::string, std::vector<uint8_t>>& Files() const { return files_; }
  size_t OpenHandleCount() const { return handles_.size(); }
  bool LockHeld() const { return lockHeld_; }

  std::string Absolute(const std::string& path) const {
    const bool absolute = path.size() >= 2 && path[1] == ':';
    const std::string full = absolute ? path : current_ + "\\" + path;
    std::vector<std::string> names;  // the drive first
    std::string name;
    const auto endName = [&] {
      if (name == ".." && names.size() > 1) names.pop_back();
      if (name != ".." && !name.empty() && name != ".") names.push_back(name);
      name.clear();
    };
    for (size_t i = 0; i < full.size(); ++i) {
      if (full[i] == '\\' || full[i] == '/') {
        endName();
        continue;
      }
      name += full[i];
      if (IsLeadByte(static_cast<uint8_t>(full[i])) && i + 1 < full.size()) name += full[++i];
    }
    endName();
    std::string key = names.front();
    for (size_t i = 1; i < names.size(); ++i) key += "\\" + names[i];
    return names.size() == 1 ? key + "\\" : key;
  }

  Handle FileOpenRead(const std::string& path) override {
    if (!Admit(FileOperation::kOpenRead)) return kNoHandle;
    const std::string key = Absolute(path);
    if (files_.count(key) == 0) return Failed(kNoHandle, FileError::kNoFolder);
    if (locked_.count(key) != 0) return Failed(kNoHandle, FileError::kInUse);
    handles_[nextHandle_] = {key, 0};
    return nextHandle_++;
  }
  Handle FileCreateNew(const std::string& path) override {
    if (!Admit(FileOperation::kCreateNew)) return kNoHandle;
    const std::string key = Absolute(path);
    if (directories_.count(ParentOf(key)) == 0) return Failed(kNoHandle, FileError::kNoFolder);
    if (files_.count(key) != 0) return Failed(kNoHandle, FileError::kExists);
    files_[key];
    handles_[nextHandle_] = {key, 0};
    return nextHandle_++;
  }
  // The path followed by ".~N.tmp", N counting the calls.
  std::string TemporaryPathBeside(const std::string& path) override {
    return path + ".~" + std::to_string(temporaryCount_++) + ".tmp";
  }
  bool FileTakeIdentity(Handle file, const std::string&) override {
    return Admit(FileOperation::kTakeIdentity) && handles_.count(file) != 0;
  }
  uint32_t FileRead(Handle file, void* buffer, uint32_t count) override {
    if (!Admit(FileOperation::kRead)) return 0;
    OpenFile& open = handles_.at(file);
    const std::vector<uint8_t>& bytes = files_.at(open.key);
    if (open.position >= bytes.size()) return Failed(0u, FileError::kNone);
    size_t n = std::min<size_t>(count, bytes.size() - open.position);
    if (readLimit_ != 0) n = std::min<size_t>(n, readLimit_);
    std::memcpy(buffer, bytes.data() + open.position, n);
    open.position += n;
    return static_cast<uint32_t>(n);
  }
  // Writes go to the end of a new file.
  uint32_t FileWrite(Handle file, const void* buffer, uint32_t count) override {
    if (!Admit(FileOperation::kWrite)) return 0;
    if (shortWrite_) {
      count = std::min(count, *std::exchange(shortWrite_, std::nullopt));
      lastError_ = FileError::kDiskFull;
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    std::vector<uint8_t>& written = files_.at(handles_.at(file).key);
    written.insert(written.end(), bytes, bytes + count);
    return count;
  }
  bool FileClose(Handle file) override {
    const bool admitted = Admit(FileOperation::kClose);
    // A killed process closes nothing; an injected failure still releases the handle.
    return !stopped_ && handles_.erase(file) != 0 && admitted;
  }
  uint64_t FileGetSize(Handle file) override {
    if (!Admit(FileOperation::kGetSize)) return kUnknownSize;
    return files_.at(handles_.at(file).key).size() - understatedBy_;
  }
  std::string FinalPath(const std::string& path) override { return path; }  // no links here
  bool FileCanReplace(const std::string& to) override {
    if (!Admit(FileOperation::kCanReplace)) return false;
    if (readOnly_.count(Absolute(to)) != 0) return Failed(false, FileError::kReadOnly);
    return locked_.count(Absolute(to)) == 0 || Failed(false, FileError::kInUse, true);
  }
  bool FileReplace(const std::string& from, const std::string& to) override {
    if (std::exchange(loseTarget_, false)) files_.erase(Absolute(to));
    if (!Admit(FileOperation::kReplace)) return false;
    const std::string source = Absolute(from);
    const std::string target = Absolute(to);
    if (files_.count(source) == 0) return Failed(false, FileError::kOther);
    if (readOnly_.count(target) != 0) return Failed(false, FileError::kReadOnly);
    if (IsOpen(source) || IsOpen(target) || locked_.count(target) != 0) {
      return Failed(false, FileError::kInUse);
    }
    std::vector<uint8_t> moved = std::move(files_[source]);
    files_.erase(source);
    files_[target] = std::move(moved);
    return true;
  }
  bool FileDelete(const std::string& path) override {
    return Admit(FileOperation::kDelete) &&
           (files_.erase(Absolute(path)) == 1 || Failed(false, FileError::kOther));
  }
  Handle LockForChange(const std::string&) override {
    if (!Admit(FileOperation::kLock)) return kNoHandle;
    lockHeld_ = true;
    if (onLock_) std::exchange(onLock_, nullptr)();
    return 1;
  }
  void Unlock(Handle) override { lockHeld_ = false; }
  FileFault LastFault() override { return {lastError_, {}, transient_, {}}; }
  void Pause(unsigned milliseconds) override { paused_ += milliseconds; }
  std::optional<std::string> PathFromUtf8(const std::string& name) override { return name; }
  std::string CurrentDirectory() override { return current_ == unnamed_ ? "" : current_; }
  bool ChangeDirectory(const std::string& path) override {
    if (directories_.count(Absolute(path)) == 0) return false;
    current_ = Absolute(path);
    return true;
  }

 private:
  struct OpenFile {
    std::string key;
    size_t position = 0;
  };

  // Counts the call; false (with the injected cause) when it must fail without effect.
  bool Admit(FileOperation operation) {
    if (callsLeft_ && (*callsLeft_)-- == 0) stopped_ = true;
    auto& [failures, fault] = failures_[operation];
    if (!stopped_ && failures == 0) return true;
    if (!stopped_) --failures;
    return stopped_ ? Failed(false, FileError::kOther)
                    : Failed(false, fault.cause, fault.transient);
  }
  template <typename T>
  T Failed(T result, FileError cause, bool transient = false) {
    lastError_ = cause;
    transient_ = transient;
    return result;
  }
  std::string ParentOf(const std::string& key) const { return Absolute(key + "\\.."); }
  bool IsOpen(const std::string& key) const {
    return std::any_of(handles_.begin(), handles_.end(),
                       [&](const auto& entry) { return entry.second.key == key; });
  }

  std::string current_;
  std::string unnamed_;
  std::set<std::string> directories_;
  std::map<std::string, std::vector<uint8_t>> files_;
  std::set<std::string> readOnly_;
  std::set<std::string> locked_;
  std::map<Handle, OpenFile> handles_;
  Handle nextHandle_ = 1;
  std::map<FileOperation, std::pair<int, FileFault>> failures_;
  std::optional<uint32_t> shortWrite_;
  uint32_t readLimit_ = 0;
  uint64_t understatedBy_ = 0;
  std::optional<size_t> callsLeft_;
  bool stopped_ = false;
  FileError lastError_ = FileError::kNone;
  bool transient_ = false;
  bool loseTarget_ = false;
  unsigned paused_ = 0;
  unsigned temporaryCount_ = 0;
  bool lockHeld_ = false;
  std::function<void()> onLock_;
};

}  // namespace cfg
