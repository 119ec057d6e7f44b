// `show --json`: the same as `show`, as JSON with stable field names for scripts.
#pragma once

#include <string>

#include "tools/kvset/record_file.h"

namespace cfg {

// {"file", "size", "currentSlot", "windowMode", "start640x480", "keep320x240",
//  "fields": {"fullScreen", "start640x480", "keep320x240"},
//  "slots": [{"slot", "current", "controllers": [{"controller" (1-4),
//     "bindings": [{"position", "input", "source", "code", "handler"}]}]}],
//  "rankings": [{"table", "entries": [{"rank" (1-10), "head", "value", "triple"}]}]}
// `input` is the binding as `show` writes it; arrays are in record order.
std::string ShowJson(const std::string& name, const RecordFile& file);

}  // namespace cfg
