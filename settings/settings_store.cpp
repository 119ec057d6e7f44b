#include "settings/settings_store.h"

#include <algorithm>

#include "settings/folder_path.h"

namespace cfg {
namespace {

struct DefaultField {
  size_t offset;
  int32_t value;
};

// The integer fields SetDefaultSettings writes; fields that belong to the game
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

constexpr char kSettingsFileName[] = "KV.set";
constexpr char kTemporarySuffix[] = ".tmp";

bool IsSlotIndex(int32_t index) {
  return index >= 0 && index < kSlotCount;
}

// Writes the whole image to `temporaryPath`; true only when every byte was
// reported written and the file was closed cleanly.
bool WriteWholeFile(FileSystem& files, const std::string& temporaryPath,
                    const SettingsRecord& record) {
  const FileSystem::Handle file = files.FileCreateWrite(temporaryPath);
  if (file == FileSystem::kNoHandle) return false;
  const uint32_t written =
      files.FileWrite(file, record.bytes.data(), static_cast<uint32_t>(kSettingsRecordSize));
  const bool closed = files.FileClose(file);
  return written == kSettingsRecordSize && closed;
}

void WriteDefaultSoundFolder(SettingsRecord& record) {
  std::copy_n(kDefaultSoundFolder, sizeof kDefaultSoundFolder,
              record.bytes.begin() + record_offset::kSoundFolder);
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

std::optional<uint32_t> LoadRecordFile(FileSystem& files, const std::string& path,
                                       SettingsRecord& record, bool* readWhole, size_t* bytesRead) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return std::nullopt;
  const uint32_t size = files.FileGetSize(file);
  // A read may deliver less than asked; go on until the record is full or the file ends.
  size_t filled = 0;
  while (filled < kSettingsRecordSize) {
    const uint32_t wanted = static_cast<uint32_t>(kSettingsRecordSize - filled);
    const uint32_t got = files.FileRead(file, &record.bytes[filled], wanted);
    if (got == 0) break;
    filled += std::min(got, wanted);
  }
  files.FileClose(file);
  if (readWhole != nullptr) *readWhole = filled >= std::min<size_t>(size, kSettingsRecordSize);
  if (bytesRead != nullptr) *bytesRead = filled;
  return size;
}

bool SaveRecordFile(FileSystem& files, const std::string& path, const SettingsRecord& record) {
  // The old file is replaced only by a complete new one, in one step.
  const std::string temporaryPath = path + kTemporarySuffix;
  if (!WriteWholeFile(files, temporaryPath, record) || !files.FileReplace(temporaryPath, path)) {
    files.FileDelete(temporaryPath);
    return false;
  }
  return true;
}

void SettingsStore::SetDefaultSettings() {
  WriteDefaultSettings(record_);
  SelectConfigSlot(0);
}

void SettingsStore::SelectConfigSlot(int32_t index) {
  if (index == -1) index = record_.Int(record_offset::kCurrentSlot);
  // A file may name any slot; one outside the five would point past the slots.
  if (!IsSlotIndex(index)) index = 0;
  record_.SetInt(record_offset::kCurrentSlot, index);
  bindings_.SetCurrentKeyMap(record_.KeyMap(index));
}

int SettingsStore::LoadSettingsFile(FileSystem& files, const std::string& folder) {
  bool readWhole = true;
  const bool opened =
      LoadRecordFile(files, SettingsFilePath(folder), record_, &readWhole, &loadedBytes_)
          .has_value();
  loadBrokeOff_ = opened && !readWhole;
  SelectConfigSlot(-1);
  return opened ? 1 : 0;
}

int SettingsStore::SaveSettingsFile(FileSystem& files, const std::string& folder) const {
  if (loadBrokeOff_) return 0;
  return SaveRecordFile(files, SettingsFilePath(folder), record_) ? 1 : 0;
}

}  // namespace cfg
