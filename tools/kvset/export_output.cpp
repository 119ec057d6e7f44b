#include "tools/kvset/export_output.h"

#include "settings/settings_record.h"
#include "tools/kvset/named_path.h"

namespace cfg {
namespace {

constexpr char kGiveForce[] = "; give --force to replace it with the text";

uint64_t SizeOf(FileSystem& files, const std::string& path) {
  const FileSystem::Handle file = files.FileOpenRead(path);
  if (file == FileSystem::kNoHandle) return FileSystem::kUnknownSize;
  const uint64_t size = files.FileGetSize(file);
  files.FileClose(file);
  return size;
}

}  // namespace

bool MayWriteExport(FileSystem& named, const std::string& output, const std::string& input,
                    std::string& error) {
  if (!input.empty() && IsSameFile(output, input)) {
    error = std::string("the file the export reads") + kGiveForce;
  } else if (SizeOf(named, output) == kSettingsRecordSize) {
    error = "a KV.set (" + std::to_string(kSettingsRecordSize) + " bytes)" + kGiveForce;
  }
  return error.empty();
}

}  // namespace cfg
