#include "tools/kvset/record_file.h"

#include <optional>

#include "settings/settings_store.h"
#include "tools/kvset/fresh_record.h"

namespace cfg {

std::string FaultText(const FileFault& fault) {
  switch (fault.cause) {
    case FileError::kReadOnly:
      return "read-only";
    case FileError::kInUse:
      return "held open by another program";
    case FileError::kNoFolder:
      return "its folder is missing";
    case FileError::kDiskFull:
      return "the disk is full";
    case FileError::kNotAFile:
      return "not a regular file";
    default:
      return fault.systemText;
  }
}

namespace {

constexpr uint32_t kReadChunk = 4096;
constexpr char kNoSuchFile[] = "cannot open the file: there is no such file";

std::string NotWritten(const FileFault& fault) {
  return "cannot write the file (" + FaultText(fault) + "); it was not changed";
}

bool OpenFailed(FileSystem& files, std::string& error) {
  const FileFault fault = files.LastFault();
  switch (fault.cause) {
    case FileError::kNotAFile:
      error = "not a regular file (a folder, pipe or device); nothing was read";
      break;
    case FileError::kNoFolder:
      error = kNoSuchFile;
      break;
    case FileError::kReadOnly:
      error = "cannot open the file: permission denied";
      break;
    default:
      error = "cannot open the file: " + FaultText(fault);
  }
  return false;
}

// The caller holds the change lock.
bool ReplaceRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                       std::string& error) {
  FileFault fault;
  if (SaveRecordFile(files, path, record, &fault)) return true;
  error = NotWritten(fault);
  return false;
}

// The lock is taken on the folder, so a missing folder shows here first: to
// a command that reads first it is a file that cannot be opened.
bool LockFailed(FileSystem& files, bool readsFirst, std::string& error) {
  const FileFault fault = files.LastFault();
  if (readsFirst && fault.cause == FileError::kNoFolder) {
    error = kNoSuchFile;
  } else {
    error = NotWritten(fault);
  }
  return false;
}

}  // namespace

bool ReadRecordFile(FileSystem& files, const std::string& path, RecordFile& file,
                    std::string& error) {
  file.record = StartUpRecord(false);
  bool readWhole = true;
  const std::optional<uint64_t> size = LoadRecordFile(files, path, file.record, &readWhole);
  if (!size) return OpenFailed(files, error);
  // A read that broke off would show, and save, defaults in place of the file's bytes.
  if (!readWhole) {
    error = "cannot read the whole file";
    return false;
  }
  file.size = *size;
  return true;
}

bool ReadChangeableRecord(FileSystem& files, const std::string& path, SettingsRecord& record,
                          std::string& error) {
  RecordFile file;
  if (!ReadRecordFile(files, path, file, error)) return false;
  if (file.size != kSettingsRecordSize) {
    error = "the file is " + std::to_string(file.size) + " bytes, not " +
            std::to_string(kSettingsRecordSize) + "; nothing changed (" + kRepairHint + ")";
    return false;
  }
  record = file.record;
  return true;
}

bool ChangeRecordFile(FileSystem& files, const std::string& path, const RecordEdit& edit,
                      std::string& error) {
  const std::string target = files.FinalPath(path);
  const ChangeLock lock(files, target);
  if (!lock.held()) return LockFailed(files, true, error);
  SettingsRecord record;
  return ReadChangeableRecord(files, target, record, error) && edit(record, error) &&
         ReplaceRecordFile(files, target, record, error);
}

bool WriteRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                     std::string& error) {
  const std::string target = files.FinalPath(path);
  const ChangeLock lock(files, target);
  if (!lock.held()) return LockFailed(files, false, error);
  return ReplaceRecordFile(files, target, record, error);
}

bool ReadTextFile(FileSystem& files, const std::string& path, std::string& text,
                  std::string& error) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return OpenFailed(files, error);
  text.clear();
  char buffer[kReadChunk];
  size_t got;
  do {
    got = ReadUntilFull(files, file, buffer, sizeof buffer);
    text.append(buffer, got);
  } while (got == sizeof buffer);
  files.FileClose(file);
  return true;
}

bool WriteTextFile(FileSystem& files, const std::string& path, const std::string& text,
                   std::string& error) {
  FileFault fault;
  if (SaveWholeFile(files, path, text, &fault)) return true;
  error = NotWritten(fault);
  return false;
}

}  // namespace cfg
