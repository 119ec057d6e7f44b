#include "tools/kvset/display_options.h"

#include "tools/kvset/binding_text.h"

namespace cfg {
namespace {

std::optional<bool> ParseOnOff(const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  return std::nullopt;
}

std::optional<int32_t> ParseSlot(const std::string& value) {
  const std::optional<int32_t> slot = ParseInt32(value);
  if (!slot || !IsSlot(*slot)) return std::nullopt;
  return slot;
}

template <typename T>
bool Assign(std::optional<T>& field, const std::optional<T>& value, const std::string& word,
            const char* expected, std::string& error) {
  if (!value) {
    error = word + ": expected " + expected;
  } else if (field) {
    error = word + ": given twice";
  } else {
    field = value;
  }
  return error.empty();
}

bool ParseOptionChange(const std::string& word, OptionChanges& changes, std::string& error) {
  const size_t equals = word.find('=');
  const std::string name = word.substr(0, equals);
  const std::string value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
  if (name == "window")
    return Assign(changes.windowMode, ParseOnOff(value), word, "on or off", error);
  if (name == "start640x480") {
    return Assign(changes.start640x480, ParseOnOff(value), word, "on or off", error);
  }
  if (name == "keep320x240") {
    return Assign(changes.keep320x240, ParseOnOff(value), word, "on or off", error);
  }
  if (name == "slot") {
    const std::string expected = "a slot " + SlotRangeText();
    return Assign(changes.slot, ParseSlot(value), word, expected.c_str(), error);
  }
  error = word + ": expected window=, start640x480=, keep320x240= or slot=";
  return false;
}

}  // namespace

bool ParseOptionChanges(const std::vector<std::string>& words, OptionChanges& changes,
                        std::string& error) {
  changes = OptionChanges();
  for (const std::string& word : words) {
    if (!ParseOptionChange(word, changes, error)) return false;
  }
  return true;
}

void ApplyOptionChanges(const OptionChanges& changes, SettingsRecord& record) {
  if (changes.windowMode) WriteWindowMode(record, *changes.windowMode);
  if (changes.start640x480) WriteStart640x480(record, *changes.start640x480);
  if (changes.keep320x240) WriteKeep320x240(record, *changes.keep320x240);
  if (changes.slot) record.SetInt(record_offset::kCurrentSlot, *changes.slot);
}

}  // namespace cfg
