#include "tools/kvset/show_text.h"

#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/display_options.h"

namespace cfg {
namespace {

constexpr size_t kRankWidth = 4;  // "   1." to "  10."

std::string OnOff(bool on) {
  return on ? "on" : "off";
}

std::string IntText(const SettingsRecord& record, size_t offset) {
  return std::to_string(record.Int(offset));
}

std::string SizeLine(const std::string& name, uint64_t size) {
  std::string line = "file: " + name + " (" + std::to_string(size) + " bytes";
  if (size != kSettingsRecordSize) {
    line += ", not " + std::to_string(kSettingsRecordSize) +
            "; what lies past its end shows the program's defaults";
  }
  return line + ")\n";
}

std::string OptionLines(const SettingsRecord& record) {
  const DisplayOptions options = ReadDisplayOptions(record);
  return "current slot: " + IntText(record, record_offset::kCurrentSlot) + "\n" +
         "window mode: " + OnOff(options.windowMode) + " (fullScreen " +
         IntText(record, record_offset::kFullScreen) + ")\n" +
         "start at 640x480: " + OnOff(options.start640x480) + " (start640x480 " +
         IntText(record, record_offset::kStart640x480) + ")\n" +
         "keep 320x240: " + OnOff(options.keep320x240) + " (keep320x240 " +
         IntText(record, record_offset::kKeep320x240) + ")\n";
}

std::string ControllerLine(const SettingsRecord& record, int slot, int controller) {
  std::string line = "  controller " + std::to_string(controller + 1) + ":";
  for (int position = 0; position < kPositionCount; ++position) {
    line += " " + PositionName(position) + "=" +
            BindingTextUtf8(LoadBinding(record.KeyMap(slot), controller, position));
  }
  return line + "\n";
}

std::string SlotLines(const SettingsRecord& record, int slot) {
  const bool current = record.Int(record_offset::kCurrentSlot) == slot;
  std::string lines = "slot " + std::to_string(slot) + (current ? " (current)" : "") + ":\n";
  for (int controller = 0; controller < kControllerCount; ++controller) {
    lines += ControllerLine(record, slot, controller);
  }
  return lines;
}

std::string RankingEntryLine(const SettingsRecord& record, int table, int entry) {
  const RankingEntry loaded = LoadRankingEntry(record, table, entry);
  const std::string rank = std::to_string(entry + 1);
  std::string line = std::string(kRankWidth - rank.size(), ' ') + rank + ". value " +
                     std::to_string(loaded.value) + ", head " + std::to_string(loaded.head) +
                     ", triple";
  for (const int32_t number : loaded.triple) line += " " + std::to_string(number);
  return line + "\n";
}

std::string RankingLines(const SettingsRecord& record, int table) {
  std::string lines = "ranking table " + std::to_string(table) + ":\n";
  for (int entry = 0; entry < kRankingEntryCount; ++entry) {
    lines += RankingEntryLine(record, table, entry);
  }
  return lines;
}

}  // namespace

std::string ShowText(const std::string& name, const RecordFile& file) {
  std::string text = SizeLine(name, file.size) + OptionLines(file.record);
  for (int slot = 0; slot < kSlotCount; ++slot) text += SlotLines(file.record, slot);
  for (int table = 0; table < kRankingTableCount; ++table) text += RankingLines(file.record, table);
  return text;
}

}  // namespace cfg
