// One slot's bindings as a text file, for `export` and `import`:
//   # comment
//   [controller 1]
//   UP=↑
//   B1=PAD2:B3
// UTF-8, one binding a line, in the forms of binding_text.h; codes without a
// name are written as numbers, so every source and code comes back as it was.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_record.h"
#include "tools/kvset/binding_edits.h"

namespace cfg {

// All 32 bindings of the slot.
std::string ExportKeyMap(const SettingsRecord& record, int slot);
// The bindings the text names, which need not be all; on failure `error`
// names the line. CR LF line ends and a leading byte-order mark are accepted.
bool ParseKeyMapText(const std::string& text, std::vector<BindingChange>& changes,
                     std::string& error);

}  // namespace cfg
