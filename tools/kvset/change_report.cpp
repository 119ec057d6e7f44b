#include "tools/kvset/change_report.h"

#include <algorithm>

#include "bindings/key_map.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/check.h"
#include "tools/kvset/display_options.h"

namespace cfg {
namespace {

constexpr char kArrow[] = u8" → ";

std::string OnOff(bool on) {
  return on ? "on" : "off";
}

void AddWhenChanged(const std::string& field, const std::string& before, const std::string& after,
                    std::vector<std::string>& changes) {
  if (before != after) changes.push_back(field + ": " + before + kArrow + after);
}

// With the field's value, as `show` writes it: a value that changes keeps its meaning at times.
std::string OptionText(bool on, const char* field, const SettingsRecord& record, size_t offset) {
  return OnOff(on) + " (" + field + " " + std::to_string(record.Int(offset)) + ")";
}

void ChangedOptions(const SettingsRecord& before, const SettingsRecord& after,
                    std::vector<std::string>& changes) {
  const DisplayOptions was = ReadDisplayOptions(before);
  const DisplayOptions is = ReadDisplayOptions(after);
  AddWhenChanged("current slot", std::to_string(before.Int(record_offset::kCurrentSlot)),
                 std::to_string(after.Int(record_offset::kCurrentSlot)), changes);
  AddWhenChanged(
      "window mode", OptionText(was.windowMode, "fullScreen", before, record_offset::kFullScreen),
      OptionText(is.windowMode, "fullScreen", after, record_offset::kFullScreen), changes);
  AddWhenChanged("start at 640x480",
                 OptionText(was.start640x480, "start640x480", before, record_offset::kStart640x480),
                 OptionText(is.start640x480, "start640x480", after, record_offset::kStart640x480),
                 changes);
  AddWhenChanged("keep 320x240",
                 OptionText(was.keep320x240, "keep320x240", before, record_offset::kKeep320x240),
                 OptionText(is.keep320x240, "keep320x240", after, record_offset::kKeep320x240),
                 changes);
}

void ChangedBindings(const SettingsRecord& before, const SettingsRecord& after,
                     std::vector<std::string>& changes) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    for (int controller = 0; controller < kControllerCount; ++controller) {
      for (int position = 0; position < kPositionCount; ++position) {
        AddWhenChanged("slot " + std::to_string(slot) + ", controller " +
                           std::to_string(controller + 1) + " " + PositionName(position),
                       BindingTextUtf8(LoadBinding(before.KeyMap(slot), controller, position)),
                       BindingTextUtf8(LoadBinding(after.KeyMap(slot), controller, position)),
                       changes);
      }
    }
  }
}

void ChangedRankings(const SettingsRecord& before, const SettingsRecord& after,
                     std::vector<std::string>& changes) {
  const auto rankings = [](const SettingsRecord& record) {
    return std::vector<uint8_t>(record.bytes.begin() + record_offset::kRankings,
                                record.bytes.end());
  };
  if (rankings(before) != rankings(after)) changes.push_back("rankings: reset");
}

std::vector<std::string> Findings(const SettingsRecord& record) {
  return CheckRecordFile({record, kSettingsRecordSize});
}

}  // namespace

ChangeReport ReportChange(const SettingsRecord& before, const SettingsRecord& after) {
  ChangeReport report;
  ChangedOptions(before, after, report.changes);
  ChangedBindings(before, after, report.changes);
  ChangedRankings(before, after, report.changes);
  const std::vector<std::string> known = Findings(before);
  for (const std::string& finding : Findings(after)) {
    if (std::find(known.begin(), known.end(), finding) == known.end()) {
      report.warnings.push_back(finding);
    }
  }
  return report;
}

}  // namespace cfg
