// The process's settings record, its slot selection and the KV.set file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "settings/file_system.h"
#include "settings/settings_record.h"

namespace cfg {

constexpr char kSettingsFileName[] = "KV.set";

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
std::optional<uint64_t> LoadRecordFile(FileSystem& files, const std::string& path,
                                       SettingsRecord& record, bool* readWhole = nullptr,
                                       size_t* bytesRead = nullptr);
// Writes a temporary file of its own beside the file (beside a link's target)
// and puts it in the file's place only when it is complete. True only when all
// 4684 bytes are in place; on failure the old file stays as it was, the
// temporary file is removed and `fault`, when given, tells why. Holds of a
// moment are waited out. When a failed replace lost the old file, the
// temporary file stays and `fault->keptAt` names it.
bool SaveRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record,
                    FileFault* fault = nullptr);
// The same save for any bytes (kvset export -o).
bool SaveWholeFile(FileSystem& files, const std::string& path, const std::string& bytes,
                   FileFault* fault = nullptr);

class SettingsStore {
 public:
  // Told the slot each time one is selected, so that the key map in use follows it.
  using SlotSelected = std::function<void(int32_t slot)>;
  explicit SettingsStore(SlotSelected slotSelected) : slotSelected_(std::move(slotSelected)) {}

  SettingsRecord& record() { return record_; }
  const SettingsRecord& record() const { return record_; }

  // 0-4 selects that slot, -1 keeps the current one; a current slot outside
  // 0-4 (from a file) is brought back to 0.
  void SelectConfigSlot(int32_t index);
  // True when KV.set could be opened (also when it is short or empty).
  bool LoadSettingsFile(FileSystem& files, const std::string& folder);
  // KV.set through SaveRecordFile, under the change lock: true only when all
  // 4684 bytes are in place. When another program changed the file since the
  // load, only the bytes this run changed go on top of the file as it is now.
  // False, writing nothing, with kUnreadAtLoad, when the last load could not
  // read its file whole: the save would replace its unread part with defaults.
  bool SaveSettingsFile(FileSystem& files, const std::string& folder,
                        FileFault* fault = nullptr) const;
  // The leading bytes of the record that the last opened KV.set provided.
  size_t loadedBytes() const { return loadedBytes_; }

 private:
  // The record to write, or nothing (with `fault`) when the changed file
  // cannot be read whole.
  std::optional<SettingsRecord> RecordToSave(FileSystem& files, const std::string& path,
                                             FileFault* fault) const;

  SlotSelected slotSelected_;
  SettingsRecord record_;
  bool loadBrokeOff_ = false;
  FileFault loadFault_;  // kUnreadAtLoad, with the system's text of the failed read
  // The last load: the file's bytes over what the record held, and its size
  // (nothing when absent). What the run changed since, the slot brought back
  // into range included, is what differs from this image.
  SettingsRecord fileImage_;
  std::optional<uint64_t> fileSize_;
  size_t loadedBytes_ = 0;
};

}  // namespace cfg
