// Where `export -o` may write: a text file, never the settings it protects.
#pragma once

#include <string>

#include "settings/file_system.h"

namespace cfg {

// "-o -": standard output.
constexpr char kStandardStream[] = "-";

// False, with `error`, when `output` is the file the export reads (`input`,
// empty for standard input) or a KV.set (4684 bytes): only --force replaces
// those with text.
bool MayWriteExport(FileSystem& named, const std::string& output, const std::string& input,
                    std::string& error);

}  // namespace cfg
