// Why the system refused a save, found out after the fact: the folder, the
// file's owner or its mode, each with what the user can do about it.
#pragma once

#include <optional>
#include <string>

namespace cfg {

// For a file (named form) whose save was refused as read-only: the cause and
// its fix, in one phrase; nothing where the system tells no more.
std::optional<std::string> SaveRefusalCause(const std::string& path);

}  // namespace cfg
