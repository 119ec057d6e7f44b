// What the game or the program would trip over in a KV.set.
#pragma once

#include <string>
#include <vector>

#include "tools/kvset/record_file.h"

namespace cfg {

// One line a finding (UTF-8), in record order; none for a sound file:
// a size other than 4684, a current slot outside 0-4, and in every slot and
// controller a source outside 0-4, a code without a name, and two positions
// that one input drives. Cleared bindings (none) are no finding.
std::vector<std::string> CheckRecordFile(const RecordFile& file);

}  // namespace cfg
