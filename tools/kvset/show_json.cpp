#include "tools/kvset/show_json.h"

#include <nlohmann/json.hpp>

#include "bindings/key_map.h"
#include "settings/rankings.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/display_options.h"

namespace cfg {
namespace {

// Keeps the fields in the order written, so the output reads like `show`.
using Json = nlohmann::ordered_json;

constexpr int kIndent = 2;
// Raised when a field changes meaning or goes away; new fields keep it.
constexpr int kJsonFormat = 1;

std::string Dump(const Json& json) {
  // A file name that is not UTF-8 must not stop the output.
  return json.dump(kIndent, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json BindingJson(const KeyBinding& binding, int position) {
  return {{"position", PositionName(position)},
          {"input", BindingTextUtf8(binding)},
          {"source", binding.source},
          {"code", binding.code},
          {"handler", binding.handler}};
}

Json ControllerJson(const SettingsRecord& record, int slot, int controller) {
  Json bindings = Json::array();
  for (int position = 0; position < kPositionCount; ++position) {
    bindings.push_back(
        BindingJson(LoadBinding(record.KeyMap(slot), controller, position), position));
  }
  return {{"controller", controller + 1}, {"bindings", bindings}};
}

Json SlotJson(const SettingsRecord& record, int slot) {
  Json controllers = Json::array();
  for (int controller = 0; controller < kControllerCount; ++controller) {
    controllers.push_back(ControllerJson(record, slot, controller));
  }
  return {{"slot", slot},
          {"current", record.Int(record_offset::kCurrentSlot) == slot},
          {"controllers", controllers}};
}

Json RankingEntryJson(const SettingsRecord& record, int table, int entry) {
  const RankingEntry loaded = LoadRankingEntry(record, table, entry);
  return {{"rank", entry + 1},
          {"head", loaded.head},
          {"value", loaded.value},
          {"triple", loaded.triple}};
}

Json RankingJson(const SettingsRecord& record, int table) {
  Json entries = Json::array();
  for (int entry = 0; entry < kRankingEntryCount; ++entry) {
    entries.push_back(RankingEntryJson(record, table, entry));
  }
  return {{"table", table}, {"entries", entries}};
}

Json PathJson(const std::string& path) {
  return path.empty() ? Json() : Json(path);
}

}  // namespace

std::string ShowJson(const std::string& name, const std::string& path, const RecordFile& file) {
  const SettingsRecord& record = file.record;
  const DisplayOptions options = ReadDisplayOptions(record);
  Json slots = Json::array();
  for (int slot = 0; slot < kSlotCount; ++slot) slots.push_back(SlotJson(record, slot));
  Json rankings = Json::array();
  for (int table = 0; table < kRankingTableCount; ++table) {
    rankings.push_back(RankingJson(record, table));
  }
  const Json json = {
      {"format", kJsonFormat},
      {"file", name},
      {"path", PathJson(path)},
      {"size", file.size},
      {"currentSlot", record.Int(record_offset::kCurrentSlot)},
      {"windowMode", options.windowMode},
      {"start640x480", options.start640x480},
      {"keep320x240", options.keep320x240},
      {"fields",
       {{"fullScreen", record.Int(record_offset::kFullScreen)},
        {"start640x480", record.Int(record_offset::kStart640x480)},
        {"keep320x240", record.Int(record_offset::kKeep320x240)}}},
      {"slots", slots},
      {"rankings", rankings},
  };
  return Dump(json);
}

std::string CheckJson(const std::string& name, const std::string& path, const RecordFile& file,
                      const std::vector<std::string>& findings) {
  const Json json = {{"format", kJsonFormat},
                     {"file", name},
                     {"path", PathJson(path)},
                     {"size", file.size},
                     {"findings", findings}};
  return Dump(json);
}

}  // namespace cfg
