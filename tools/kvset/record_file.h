// KV.set as the tool reads and writes it. Paths are CP932, as FileSystem takes
// them. Each operation reports what went wrong in `error`, without the path.
#pragma once

#include <cstdint>
#include <string>

#include "settings/file_system.h"
#include "settings/settings_record.h"

namespace cfg {

struct RecordFile {
  SettingsRecord record;
  uint32_t size = 0;  // of the file on disk
};

// A file of any size, read over the start-up record (as the program sees it).
bool ReadRecordFile(FileSystem& files, const std::string& path, RecordFile& file,
                    std::string& error);
// Only a file of exactly 4684 bytes: writing the record back would change the
// length of any other.
bool ReadRecordFileForChange(FileSystem& files, const std::string& path, SettingsRecord& record,
                             std::string& error);
// The safe save: the old file stays whole unless the new one is complete.
bool WriteRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                     std::string& error);

bool ReadTextFile(FileSystem& files, const std::string& path, std::string& text,
                  std::string& error);

}  // namespace cfg
