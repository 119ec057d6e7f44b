// What a change did, said before it is written: one line a changed field
// (before → after), and a warning for each new finding of `check` it made,
// such as an input now bound twice in a controller.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_record.h"

namespace cfg {

struct ChangeReport {
  std::vector<std::string> changes;   // "window mode: off → on", in record order
  std::vector<std::string> warnings;  // findings `after` has and `before` had not
};

ChangeReport ReportChange(const SettingsRecord& before, const SettingsRecord& after);

}  // namespace cfg
