// `show --json` and `check --json`: the same as the text, as JSON with stable
// field names for scripts. "format" is 1 in both.
#pragma once

#include <string>
#include <vector>

#include "tools/kvset/record_file.h"

namespace cfg {

// "path" is the file's absolute path, null for standard input.
// {"format", "file", "path", "size", "currentSlot", "windowMode", "start640x480", "keep320x240",
//  "fields": {"fullScreen", "start640x480", "keep320x240"},
//  "slots": [{"slot", "current", "controllers": [{"controller" (1-4),
//     "bindings": [{"position", "input", "source", "code", "handler"}]}]}],
//  "rankings": [{"table", "entries": [{"rank" (1-10), "head", "value", "triple"}]}]}
// `input` is the binding as `show` writes it; arrays are in record order.
std::string ShowJson(const std::string& name, const std::string& path, const RecordFile& file);

// {"format", "file", "path", "size", "findings": [text, ...]}: the lines `check` writes.
std::string CheckJson(const std::string& name, const std::string& path, const RecordFile& file,
                      const std::vector<std::string>& findings);

}  // namespace cfg
