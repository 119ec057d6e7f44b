#include "tools/kvset/key_map_text.h"

#include <optional>

#include "bindings/key_map.h"
#include "tools/kvset/binding_text.h"
#include "tools/kvset/text_decode.h"

namespace cfg {
namespace {

constexpr char kControllerHeader[] = "[controller ";

std::string Trimmed(const std::string& line) {
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  const size_t last = line.find_last_not_of(" \t\r");
  return line.substr(first, last - first + 1);
}

std::string ControllerHeader(int controller) {
  return kControllerHeader + std::to_string(controller + 1) + "]";
}

// "[controller N]" with N 1-4: the controller's index.
std::optional<int> ParseControllerHeader(const std::string& line) {
  for (int controller = 0; controller < kControllerCount; ++controller) {
    if (line == ControllerHeader(controller)) return controller;
  }
  return std::nullopt;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = text.compare(0, sizeof kUtf8Mark - 1, kUtf8Mark) == 0 ? sizeof kUtf8Mark - 1 : 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string ExportKeyMap(const SettingsRecord& record, int slot) {
  std::string text = "# KV.set key map of slot " + std::to_string(slot) + "\n";
  for (int controller = 0; controller < kControllerCount; ++controller) {
    text += ControllerHeader(controller) + "\n";
    for (int position = 0; position < kPositionCount; ++position) {
      const KeyBinding binding = LoadBinding(record.KeyMap(slot), controller, position);
      text += PositionName(position) + "=" + BindingTextUtf8(binding) + "\n";
    }
  }
  return text;
}

bool ParseKeyMapText(const std::string& text, std::vector<BindingChange>& changes,
                     std::string& error) {
  changes.clear();
  std::optional<int> controller;
  const std::vector<std::string> lines = Lines(text);
  for (size_t index = 0; index < lines.size(); ++index) {
    const std::string line = Trimmed(lines[index]);
    const std::string where = "line " + std::to_string(index + 1) + ": ";
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      controller = ParseControllerHeader(line);
      if (!controller) {
        error = where + line + ": expected [controller 1] to [controller 4]";
        return false;
      }
      continue;
    }
    if (!controller) {
      error = where + "a binding before the first [controller N]";
      return false;
    }
    BindingChange change;
    if (!ParseBindingChange(line, *controller, change, error)) {
      error = where + error;
      return false;
    }
    changes.push_back(change);
  }
  return CheckNoRepeatedPositions(changes, error);
}

}  // namespace cfg
