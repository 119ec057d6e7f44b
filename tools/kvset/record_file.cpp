#include "tools/kvset/record_file.h"

#include <optional>

#include "settings/settings_store.h"
#include "tools/kvset/fresh_record.h"

namespace cfg {
namespace {

constexpr uint32_t kReadChunk = 4096;

std::string CannotOpen(FileSystem& files) {
  const std::string reason = files.LastErrorText();
  return "cannot open the file" + (reason.empty() ? std::string() : ": " + reason);
}

}  // namespace

bool ReadRecordFile(FileSystem& files, const std::string& path, RecordFile& file,
                    std::string& error) {
  file.record = StartUpRecord(false);
  bool readWhole = true;
  const std::optional<uint32_t> size = LoadRecordFile(files, path, file.record, &readWhole);
  if (!size) {
    error = CannotOpen(files);
    return false;
  }
  // A read that broke off would show, and save, defaults in place of the file's bytes.
  if (!readWhole) {
    error = "cannot read the whole file";
    return false;
  }
  file.size = *size;
  return true;
}

bool ReadRecordFileForChange(FileSystem& files, const std::string& path, SettingsRecord& record,
                             std::string& error) {
  RecordFile file;
  if (!ReadRecordFile(files, path, file, error)) return false;
  if (file.size != kSettingsRecordSize) {
    error = "the file is " + std::to_string(file.size) + " bytes, not " +
            std::to_string(kSettingsRecordSize) + "; nothing changed";
    return false;
  }
  record = file.record;
  return true;
}

bool WriteRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                     std::string& error) {
  if (SaveRecordFile(files, path, record)) return true;
  error =
      "cannot write the file (read-only, held open, or its folder is missing); it was not changed";
  return false;
}

bool ReadTextFile(FileSystem& files, const std::string& path, std::string& text,
                  std::string& error) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) {
    error = CannotOpen(files);
    return false;
  }
  text.clear();
  char buffer[kReadChunk];
  uint32_t got;
  while ((got = files.FileRead(file, buffer, sizeof buffer)) > 0) text.append(buffer, got);
  files.FileClose(file);
  return true;
}

}  // namespace cfg
