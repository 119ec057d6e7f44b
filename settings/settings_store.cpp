#include "settings/settings_store.h"

#include <algorithm>
#include <cstring>

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

}  // namespace

std::string SettingsFilePath(const std::string& folder) {
  return WithTrailingBackslash(folder) + kSettingsFileName;
}

void SettingsStore::SetDefaultSettings() {
  for (const DefaultField& field : kDefaultFields) record_.SetInt(field.offset, field.value);
  std::memcpy(&record_.bytes[record_offset::kSoundFolder], kDefaultSoundFolder,
              sizeof kDefaultSoundFolder);
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
  const FileSystem::Handle file = files.FileOpenRead(SettingsFilePath(folder));
  if (file == FileSystem::kNoHandle) {
    SelectConfigSlot(-1);
    return 0;
  }
  // A read may deliver less than asked; go on until the record is full or the file ends.
  size_t filled = 0;
  while (filled < kSettingsRecordSize) {
    const uint32_t wanted = static_cast<uint32_t>(kSettingsRecordSize - filled);
    const uint32_t got = files.FileRead(file, &record_.bytes[filled], wanted);
    if (got == 0) break;
    filled += std::min(got, wanted);
  }
  files.FileClose(file);
  SelectConfigSlot(-1);
  return 1;
}

int SettingsStore::SaveSettingsFile(FileSystem& files, const std::string& folder) const {
  // The old file is replaced only by a complete new one, in one step.
  const std::string path = SettingsFilePath(folder);
  const std::string temporaryPath = path + kTemporarySuffix;
  if (!WriteWholeFile(files, temporaryPath, record_) || !files.FileReplace(temporaryPath, path)) {
    files.FileDelete(temporaryPath);
    return 0;
  }
  return 1;
}

}  // namespace cfg
