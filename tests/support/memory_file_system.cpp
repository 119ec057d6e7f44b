#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "settings/folder_path.h"

namespace cfg {

MemoryFileSystem::MemoryFileSystem(const std::string& currentDirectory)
    : current_(currentDirectory) {
  AddDirectory(current_ = Absolute(currentDirectory));
}

std::string MemoryFileSystem::Absolute(const std::string& path) const {
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

void MemoryFileSystem::AddDirectory(const std::string& path) {
  for (std::string key = Absolute(path); directories_.insert(key).second;) key = ParentOf(key);
}

void MemoryFileSystem::SetFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  AddDirectory(ParentOf(Absolute(path)));
  files_[Absolute(path)] = bytes;
}

std::vector<std::string> MemoryFileSystem::ListFiles() const {
  std::vector<std::string> keys;
  for (const auto& entry : files_) keys.push_back(entry.first);
  return keys;
}

bool MemoryFileSystem::Admit(FileOperation operation) {
  if (callsLeft_ && (*callsLeft_)-- == 0) stopped_ = true;
  int& failures = failures_[operation];
  if (!stopped_ && failures == 0) return true;
  if (!stopped_) --failures;
  return Failed(false, FileError::kOther);
}

bool MemoryFileSystem::IsOpen(const std::string& key) const {
  return std::any_of(handles_.begin(), handles_.end(),
                     [&](const auto& entry) { return entry.second.key == key; });
}

FileSystem::Handle MemoryFileSystem::FileOpenRead(const std::string& path) {
  if (!Admit(FileOperation::kOpenRead)) return kNoHandle;
  const std::string key = Absolute(path);
  if (files_.count(key) == 0) return Failed(kNoHandle, FileError::kNoFolder);
  if (locked_.count(key) != 0) return Failed(kNoHandle, FileError::kInUse);
  handles_[nextHandle_] = {key, 0};
  return nextHandle_++;
}

FileSystem::Handle MemoryFileSystem::FileCreateNew(const std::string& path) {
  if (!Admit(FileOperation::kCreateNew)) return kNoHandle;
  const std::string key = Absolute(path);
  if (directories_.count(ParentOf(key)) == 0) return Failed(kNoHandle, FileError::kNoFolder);
  if (files_.count(key) != 0) return Failed(kNoHandle, FileError::kExists);
  files_[key];
  handles_[nextHandle_] = {key, 0};
  return nextHandle_++;
}

uint32_t MemoryFileSystem::FileRead(Handle file, void* buffer, uint32_t count) {
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
uint32_t MemoryFileSystem::FileWrite(Handle file, const void* buffer, uint32_t count) {
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

bool MemoryFileSystem::FileClose(Handle file) {
  const bool admitted = Admit(FileOperation::kClose);
  // A killed process closes nothing; an injected failure still releases the handle.
  return !stopped_ && handles_.erase(file) != 0 && admitted;
}

uint64_t MemoryFileSystem::FileGetSize(Handle file) {
  if (!Admit(FileOperation::kGetSize)) return kUnknownSize;
  return files_.at(handles_.at(file).key).size() - understatedBy_;
}

bool MemoryFileSystem::FileReplace(const std::string& from, const std::string& to) {
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

bool MemoryFileSystem::FileDelete(const std::string& path) {
  return (Admit(FileOperation::kDelete) && files_.erase(Absolute(path)) == 1) ||
         Failed(false, FileError::kOther);
}

FileSystem::Handle MemoryFileSystem::LockForChange(const std::string&) {
  if (!Admit(FileOperation::kLock)) return kNoHandle;
  lockHeld_ = true;
  if (onLock_) std::exchange(onLock_, nullptr)();
  return 1;
}

bool MemoryFileSystem::ChangeDirectory(const std::string& path) {
  if (directories_.count(Absolute(path)) == 0) return false;
  current_ = Absolute(path);
  return true;
}

}  // namespace cfg
