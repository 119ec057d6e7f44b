#include "settings/display_options.h"

namespace cfg {
namespace {

constexpr int32_t kFullScreen = 1;
constexpr int32_t kWindowed = 0;

int32_t FlagValue(bool on) {
  return on ? 1 : 0;
}

}  // namespace

DisplayOptions ReadDisplayOptions(const SettingsRecord& record) {
  DisplayOptions options;
  options.windowMode = record.Int(record_offset::kFullScreen) != kFullScreen;
  options.start640x480 = record.Int(record_offset::kStart640x480) != 0;
  options.keep320x240 = record.Int(record_offset::kKeep320x240) != 0;
  return options;
}

void WriteWindowMode(SettingsRecord& record, bool windowMode) {
  record.SetInt(record_offset::kFullScreen, windowMode ? kWindowed : kFullScreen);
}

void WriteStart640x480(SettingsRecord& record, bool start640x480) {
  record.SetInt(record_offset::kStart640x480, FlagValue(start640x480));
}

void WriteKeep320x240(SettingsRecord& record, bool keep320x240) {
  record.SetInt(record_offset::kKeep320x240, FlagValue(keep320x240));
}

void WriteDisplayOptions(SettingsRecord& record, const DisplayOptions& options) {
  WriteWindowMode(record, options.windowMode);
  WriteStart640x480(record, options.start640x480);
  WriteKeep320x240(record, options.keep320x240);
}

}  // namespace cfg
