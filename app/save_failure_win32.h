// The question after a failed save of KV.set: save again, or end without saving.
#pragma once

#include <windows.h>

#include <string>

#include "settings/file_system.h"
#include "settings/ui_language.h"

namespace cfg {

// Shows which file and why, owned by `owner` and brought to the front, with
// 再試行 and キャンセル (the system's words), or OK alone when saving again cannot help; true for
// 再試行.
bool AskToRetrySave(HWND owner, const std::string& path, const FileFault& fault, Language language);

}  // namespace cfg
