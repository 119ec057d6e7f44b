#include "settings/settings_store.h"

#include <algorithm>

#include "settings/folder_path.h"

namespace cfg {
namespace {

struct DefaultField {
  size_t offset;
  int32_t value;
};

// The integer fields WriteDefaultSettings writes; fields that belong to the game
// alone (opaqueA, fourWayChoice, opaqueB, opaqueC) are left as they are.
constexpr DefaultField kDefaultFields[] = {
    {record_offset::kCurrentSlot, 0},  {record_offset::kOptionBits, 0},
    {record_offset::kNumberA, 0},      {record_offset::kOpaqueD, 0},
    {record_offset::kNumberB, 0},      {record_offset::kOpaqueE, 0},
    {record_offset::kStart640x480, 0}, {record_offset::kKeep320x240, 0},
    {record_offset::kFullScreen, 1},   {record_offset::kExtraFlag, 0},
    {record_offset::kOpaqueF, 0},      {record_offset::kModeBits, 0},
    {record_offset::kOpaqueG, 2},      {record_offset::kOpaqueH, 2},
    {record_offset::kOpaqueI, 1},      {record_offset::kOpaqueJ + 0, 0},
    {record_offset::kOpaqueJ + 4, 0},  {record_offset::kOpaqueJ + 8, 0},
    {record_offset::kOpaqueJ + 12, 0}, {record_offset::kOpaqueJ + 16, 0},
    {record_offset::kOpaqueJ + 20, 0}, {record_offset::kOpaqueJ + 24, 0},
};

// With its NUL; the bytes behind it are kept.
constexpr char kDefaultSoundFolder[] = ".\\Sound\\";
constexpr uint32_t kOptionBitsCleared = 0x3;
constexpr uint32_t kModeBitsCleared = 0x6;
constexpr uint32_t kModeBitsSet = 0x1;

// Names left by a killed save are skipped, not reused.
constexpr int kTemporaryNameTries = 100;
// Scanners, indexers, sync and backup tools open a file just written for tens
// to hundreds of milliseconds: a call that meets such a hold is tried again
// for about 1.5 s.
constexpr int kTransientTries = 150;
constexpr unsigned kTransientPauseMs = 10;

// A new file of this save's own beside `target`.
FileSystem::Handle CreateTemporaryFile(FileSystem& files, const std::string& target,
                                       std::string& temporaryPath) {
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    temporaryPath = files.TemporaryPathBeside(target);
    const FileSystem::Handle file = files.FileCreateNew(temporaryPath);
    if (file != FileSystem::kNoHandle) return file;
    if (files.LastFault().cause != FileError::kExists) break;
  }
  return FileSystem::kNoHandle;
}

// Writes the bytes, with the identity of `target`, into the open file; true
// only when every byte was reported written and the file was closed cleanly.
bool WriteWholeFile(FileSystem& files, FileSystem::Handle file, const std::string& target,
                    const void* data, uint32_t size) {
  const uint32_t written = size == 0 ? 0 : files.FileWrite(file, data, size);
  const bool sameIdentity = written == size && files.FileTakeIdentity(file, target);
  const bool closed = files.FileClose(file);
  return written == size && sameIdentity && closed;
}

void Report(const FileFault& what, FileFault* fault) {
  if (fault != nullptr) *fault = what;
}

// The call's result once it succeeded, met a lasting failure or ran out of tries.
template <typename Call>
bool Retried(FileSystem& files, const Call& call) {
  for (int tries = 1;; ++tries) {
    if (call()) return true;
    if (tries == kTransientTries || !files.LastFault().transient) return false;
    files.Pause(kTransientPauseMs);
  }
}

// Whether the file surely still stands at the path. One that cannot be opened
// for a passing cause may be on its way out (a delete pending until a scanner
// lets go of it): it counts as gone.
bool FileSurelyExists(FileSystem& files, const std::string& path) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file != FileSystem::kNoHandle) {
    files.FileClose(file);
    return true;
  }
  const FileFault fault = files.LastFault();
  return fault.cause != FileError::kNoFolder && !fault.transient;
}

// Removes the save's own file after a failure whose cause stays reported.
void RemoveTemporaryFile(FileSystem& files, const std::string& path) {
  Retried(files, [&] { return files.FileDelete(path); });
}

void WriteDefaultSoundFolder(SettingsRecord& record) {
  std::copy_n(kDefaultSoundFolder, sizeof kDefaultSoundFolder,
              record.bytes.begin() + record_offset::kSoundFolder);
}

bool SaveBytes(FileSystem& files, const std::string& path, const void* data, uint32_t size,
               FileFault* fault) {
  // A link stays a link: the file it leads to is the one replaced, from its own folder.
  const std::string target = files.FinalPath(path);
  // A file another program holds is refused before anything is made.
  std::string temporaryPath;
  const FileSystem::Handle file = Retried(files, [&] { return files.FileCanReplace(target); })
                                      ? CreateTemporaryFile(files, target, temporaryPath)
                                      : FileSystem::kNoHandle;
  if (file == FileSystem::kNoHandle) {
    Report(files.LastFault(), fault);
    return false;
  }
  if (!WriteWholeFile(files, file, target, data, size)) {
    Report(files.LastFault(), fault);
    RemoveTemporaryFile(files, temporaryPath);
    return false;
  }
  // The old file is replaced only by a complete new one, in one step.
  if (Retried(files, [&] { return files.FileReplace(temporaryPath, target); })) return true;
  FileFault failure = files.LastFault();
  // A replace that failed halfway can have removed the old file: then the
  // temporary file may be the only copy of the record, and stays.
  if (FileSurelyExists(files, target)) {
    RemoveTemporaryFile(files, temporaryPath);
  } else {
    failure.keptAt = temporaryPath;
  }
  Report(failure, fault);
  return false;
}

}  // namespace

std::string SettingsFilePath(const std::string& folder) {
  return WithTrailingBackslash(folder) + kSettingsFileName;
}

void WriteDefaultSettings(SettingsRecord& record) {
  for (const DefaultField& field : kDefaultFields) record.SetInt(field.offset, field.value);
  WriteDefaultSoundFolder(record);
}

void WriteFixedReadBackValues(SettingsRecord& record) {
  WriteDefaultSoundFolder(record);
  record.SetInt(record_offset::kFourWayChoice, 0);
  record.SetInt(record_offset::kExtraFlag, 0);
  record.SetBits(record_offset::kOptionBits,
                 record.Bits(record_offset::kOptionBits) & ~kOptionBitsCleared);
  record.SetInt(record_offset::kNumberA, 0);
  record.SetInt(record_offset::kNumberB, 0);
  record.SetBits(record_offset::kModeBits,
                 (record.Bits(record_offset::kModeBits) & ~kModeBitsCleared) | kModeBitsSet);
}

std::optional<uint64_t> LoadRecordFile(FileSystem& files, const std::string& path,
                                       SettingsRecord& record, bool* readWhole, size_t* bytesRead) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return std::nullopt;
  uint64_t size = files.FileGetSize(file);
  bool ended = false;
  const size_t filled =
      ReadUntilFull(files, file, record.bytes.data(), kSettingsRecordSize, &ended);
  files.FileClose(file);
  // Without a size, a read that reached the end tells it.
  if (size == FileSystem::kUnknownSize && ended) size = filled;
  if (readWhole != nullptr) {
    *readWhole =
        filled == kSettingsRecordSize || (size != FileSystem::kUnknownSize && filled >= size);
  }
  if (bytesRead != nullptr) *bytesRead = filled;
  return size;
}

bool SaveRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                    FileFault* fault) {
  return SaveBytes(files, path, record.bytes.data(), static_cast<uint32_t>(kSettingsRecordSize),
                   fault);
}

bool SaveWholeFile(FileSystem& files, const std::string& path, const std::string& bytes,
                   FileFault* fault) {
  return SaveBytes(files, path, bytes.data(), static_cast<uint32_t>(bytes.size()), fault);
}

void SettingsStore::SelectConfigSlot(int32_t index) {
  if (index == -1) index = record_.Int(record_offset::kCurrentSlot);
  // A file may name any slot; one outside the five would point past the slots.
  if (!IsSlot(index)) index = 0;
  record_.SetInt(record_offset::kCurrentSlot, index);
  slotSelected_(index);
}

bool SettingsStore::LoadSettingsFile(FileSystem& files, const std::string& folder) {
  bool readWhole = true;
  loadedBytes_ = 0;
  fileSize_ = LoadRecordFile(files, SettingsFilePath(folder), record_, &readWhole, &loadedBytes_);
  fileImage_ = record_;
  loadBrokeOff_ = fileSize_ && !readWhole;
  loadFault_.cause = FileError::kUnreadAtLoad;
  loadFault_.systemText = loadBrokeOff_ ? files.LastFault().systemText : "";
  SelectConfigSlot(-1);
  return fileSize_.has_value();
}

std::optional<SettingsRecord> SettingsStore::RecordToSave(FileSystem& files,
                                                          const std::string& path,
                                                          FileFault* fault) const {
  SettingsRecord onDisk = fileImage_;
  bool readWhole = true;
  const std::optional<uint64_t> size = LoadRecordFile(files, path, onDisk, &readWhole);
  if (!size) return record_;
  // A read that broke off leaves the image's old bytes in its place: it tells
  // nothing of what the file holds now.
  if (!readWhole) {
    Report(files.LastFault(), fault);
    return std::nullopt;
  }
  if (size == fileSize_ && onDisk.bytes == fileImage_.bytes) return record_;
  for (size_t i = 0; i < kSettingsRecordSize; ++i) {
    if (record_.bytes[i] != fileImage_.bytes[i]) onDisk.bytes[i] = record_.bytes[i];
  }
  return onDisk;
}

bool SettingsStore::SaveSettingsFile(FileSystem& files, const std::string& folder,
                                     FileFault* fault) const {
  if (loadBrokeOff_) {
    Report(loadFault_, fault);
    return false;
  }
  const std::string path = SettingsFilePath(folder);
  const ChangeLock lock(files, files.FinalPath(path));
  if (!lock.held()) {
    Report(files.LastFault(), fault);
    return false;
  }
  const std::optional<SettingsRecord> record = RecordToSave(files, path, fault);
  return record && SaveRecordFile(files, path, *record, fault);
}

}  // namespace cfg
