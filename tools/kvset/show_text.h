// `show`: everything a player or modder cares about in a KV.set, as text.
#pragma once

#include <string>

#include "tools/kvset/record_file.h"

namespace cfg {

// UTF-8; `name` is the file as the user gave it.
std::string ShowText(const std::string& name, const RecordFile& file);

}  // namespace cfg
