// A KV.set that arrives as bytes (standard input), read as a file of that size.
#pragma once

#include <string>

#include "tools/kvset/record_file.h"

namespace cfg {

// The bytes over the start-up record, as ReadRecordFile reads a file.
RecordFile RecordFileOfBytes(const std::string& bytes);

}  // namespace cfg
