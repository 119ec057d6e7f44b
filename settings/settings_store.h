// The process's settings record, its slot selection and the KV.set file.
#pragma once

#include <optional>
#include <string>

#include "bindings/key_map.h"
#include "settings/file_system.h"
#include "settings/settings_record.h"

namespace cfg {

// Path of KV.set in a folder: a backslash is added unless the folder ends in one.
std::string SettingsFilePath(const std::string& folder);

// Writes the defaults of the fields outside the key maps and ranking tables;
// the game's own fields, the key maps, the rankings and the bytes behind the
// sound folder's NUL stay as they are.
void WriteDefaultSettings(SettingsRecord& record);

// The values the main dialog writes, whenever it is read back, into the fields
// it shows no control for: the sound folder, cleared options and mode bit 0.
void WriteFixedReadBackValues(SettingsRecord& record);

// Reads the file's first bytes, up to a whole record, over `record`; the rest
// keeps what it held. The file's size, or nothing when it cannot be opened.
// `readWhole`, when given, tells whether every byte the record takes from the
// file arrived: after a failed read the record is part file, part old values.
// `bytesRead`, when given, counts the leading bytes that came from the file.
std::optional<uint32_t> LoadRecordFile(FileSystem& files, const std::string& path,
                                       SettingsRecord& record, bool* readWhole = nullptr,
                                       size_t* bytesRead = nullptr);
// Writes path + ".tmp" beside the file and puts it in the file's place only
// when it is complete. True only when all 4684 bytes are in place; on failure
// the old file stays as it was and the temporary file is removed.
bool SaveRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record);

class SettingsStore {
 public:
  explicit SettingsStore(Bindings& bindings) : bindings_(bindings) {}

  SettingsRecord& record() { return record_; }
  const SettingsRecord& record() const { return record_; }

  void SetDefaultSettings();
  // 0-4 selects that slot, -1 keeps the current one; a current slot outside
  // 0-4 (from a file) is brought back to 0.
  void SelectConfigSlot(int32_t index);
  // 1 when KV.set could be opened (also when it is short or empty).
  int LoadSettingsFile(FileSystem& files, const std::string& folder);
  // KV.set through SaveRecordFile: 1 only when all 4684 bytes are in place.
  // 0, writing nothing, when the last load could not read its file whole:
  // the save would replace the unread part of that file with defaults.
  int SaveSettingsFile(FileSystem& files, const std::string& folder) const;
  // The leading bytes of the record that the last opened KV.set provided.
  size_t loadedBytes() const { return loadedBytes_; }

 private:
  Bindings& bindings_;
  SettingsRecord record_;
  bool loadBrokeOff_ = false;
  size_t loadedBytes_ = 0;
};

}  // namespace cfg
