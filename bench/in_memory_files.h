// A FileSystem of a few files in fixed buffers, with no call log and no
// faults: the benchmarks time the settings code rather than the stand-in.
// Paths are compared byte for byte as written; nothing resolves them.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "settings/file_system.h"

namespace cfg::bench {

class InMemoryFiles : public FileSystem {
 public:
  explicit InMemoryFiles(std::string currentDirectory) : current_(std::move(currentDirectory)) {}

  void Put(std::string_view path, std::string_view bytes) {
    File* file = Create(path);
    file->size = std::min(bytes.size(), file->bytes.size());
    std::copy_n(bytes.begin(), file->size, file->bytes.begin());
  }
  bool Has(std::string_view path) const { return Find(path) != nullptr; }
  void SetCurrentDirectory(const std::string& path) { current_ = path; }

  Handle FileOpenRead(const std::string& path) override { return Open(Find(path)); }
  Handle FileCreateNew(const std::string& path) override {
    if (Find(path) != nullptr) return kNoHandle;
    return Open(Create(path));
  }
  std::string TemporaryPathBeside(const std::string& path) override { return path + ".tmp"; }
  bool FileTakeIdentity(Handle, const std::string&) override { return true; }
  uint32_t FileRead(Handle handle, void* buffer, uint32_t count) override {
    OpenFile& open = handles_[handle - 1];
    const size_t available = open.file->size - open.position;
    const size_t got = std::min<size_t>(count, available);
    std::copy_n(open.file->bytes.begin() + open.position, got, static_cast<char*>(buffer));
    open.position += got;
    return static_cast<uint32_t>(got);
  }
  uint32_t FileWrite(Handle handle, const void* buffer, uint32_t count) override {
    OpenFile& open = handles_[handle - 1];
    const size_t room = open.file->bytes.size() - open.position;
    const size_t put = std::min<size_t>(count, room);
    std::copy_n(static_cast<const char*>(buffer), put, open.file->bytes.begin() + open.position);
    open.position += put;
    open.file->size = std::max(open.file->size, open.position);
    return static_cast<uint32_t>(put);
  }
  bool FileClose(Handle handle) override {
    handles_[handle - 1].file = nullptr;
    return true;
  }
  uint64_t FileGetSize(Handle handle) override { return handles_[handle - 1].file->size; }
  std::string FinalPath(const std::string& path) override { return path; }
  bool FileCanReplace(const std::string&) override { return true; }
  bool FileReplace(const std::string& from, const std::string& to) override {
    File* source = Find(from);
    if (source == nullptr) return false;
    FileDelete(to);
    source->path = to;
    return true;
  }
  bool FileDelete(const std::string& path) override {
    File* file = Find(path);
    if (file == nullptr) return false;
    file->path.clear();
    return true;
  }
  Handle LockForChange(const std::string&) override { return 1; }
  void Unlock(Handle) override {}
  // Reads end only at the end of a file.
  FileFault LastFault() override { return {}; }
  void Pause(unsigned) override {}
  std::optional<std::string> PathFromUtf8(const std::string& name) override { return name; }
  std::string CurrentDirectory() override { return current_; }
  bool ChangeDirectory(const std::string& path) override {
    current_ = path;
    return true;
  }

 private:
  struct File {
    std::string path;  // empty: a free slot
    std::array<char, 16384> bytes{};
    size_t size = 0;
  };
  struct OpenFile {
    File* file = nullptr;
    size_t position = 0;
  };

  File* Find(std::string_view path) const {
    for (const File& file : files_) {
      if (!file.path.empty() && file.path == path) return const_cast<File*>(&file);
    }
    return nullptr;
  }
  // The file of that path, or a free slot given that path; nullptr when full.
  File* Create(std::string_view path) {
    if (File* file = Find(path)) return file;
    for (File& file : files_) {
      if (!file.path.empty()) continue;
      file.path = path;
      return &file;
    }
    return nullptr;
  }
  Handle Open(File* file) {
    if (file == nullptr) return kNoHandle;
    for (size_t index = 0; index < handles_.size(); ++index) {
      if (handles_[index].file != nullptr) continue;
      handles_[index] = OpenFile{file, 0};
      return index + 1;
    }
    return kNoHandle;
  }

  std::array<File, 4> files_{};
  std::array<OpenFile, 4> handles_{};
  std::string current_;
};

}  // namespace cfg::bench
