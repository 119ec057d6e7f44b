#include "tools/kvset/save_refusal.h"

namespace cfg {

// The system's own cause ("read-only") already names what Windows refused.
std::optional<std::string> SaveRefusalCause(const std::string&) {
  return std::nullopt;
}

}  // namespace cfg
