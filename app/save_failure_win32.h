// The question after a failed save of KV.set: save again, or end without saving.
#pragma once

#include <string>

#include "settings/file_system.h"

namespace cfg {

// Shows which file and why, with 再試行 and キャンセル; true for 再試行.
bool AskToRetrySave(const std::string& path, const FileFault& fault);

}  // namespace cfg
