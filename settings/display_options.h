// The start-up display options: how the game reads them from the record and
// how the main dialog and kvset store them.
#pragma once

#include "settings/settings_record.h"

namespace cfg {

struct DisplayOptions {
  bool windowMode = false;  // fullScreen is not 1
  bool start640x480 = false;
  bool keep320x240 = false;
};

DisplayOptions ReadDisplayOptions(const SettingsRecord& record);

// Each as 0 or 1; fullScreen holds the opposite of the window mode.
void WriteWindowMode(SettingsRecord& record, bool windowMode);
void WriteStart640x480(SettingsRecord& record, bool start640x480);
void WriteKeep320x240(SettingsRecord& record, bool keep320x240);
void WriteDisplayOptions(SettingsRecord& record, const DisplayOptions& options);

}  // namespace cfg
