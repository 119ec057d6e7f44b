// KV.set as the tool reads and writes it. Paths are in the file system's own
// form. Each operation reports what went wrong in `error`, without the path.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "settings/file_system.h"
#include "settings/settings_record.h"

namespace cfg {

struct RecordFile {
  SettingsRecord record;
  uint64_t size = 0;  // of the file on disk
};

// For a file of another size than 4684 bytes.
constexpr char kRepairHint[] = "'kvset repair' makes it a whole record";

// Why a file operation failed, in a few plain words.
std::string FaultText(const FileFault& fault);

// Changes a record in place; false, with `error`, to change nothing.
using RecordEdit = std::function<bool(SettingsRecord& record, std::string& error)>;

// A file of any size, read over the start-up record (as the program sees it).
bool ReadRecordFile(FileSystem& files, const std::string& path, RecordFile& file,
                    std::string& error);
// A file of exactly 4684 bytes, the only size a change writes back.
bool ReadChangeableRecord(FileSystem& files, const std::string& path, SettingsRecord& record,
                          std::string& error);
// Reads a file of exactly 4684 bytes (writing the record back would change
// the length of any other), edits it and puts the result in its place, all
// under the change lock: changes made at the same time land one after another.
bool ChangeRecordFile(FileSystem& files, const std::string& path, const RecordEdit& edit,
                      std::string& error);
// The safe save, under the change lock: the old file stays whole unless the
// new one is complete.
bool WriteRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                     std::string& error);

// Any bytes through the same safe save (export -o).
bool WriteTextFile(FileSystem& files, const std::string& path, const std::string& text,
                   std::string& error);

bool ReadTextFile(FileSystem& files, const std::string& path, std::string& text,
                  std::string& error);

}  // namespace cfg
