// kvset: reads and changes KV.set from the command line.
#include <sstream>

#include "tools/kvset/commands.h"
#include "tools/kvset/platform.h"

int main(int argc, char** argv) {
  const std::unique_ptr<cfg::FileSystem> files = cfg::PlatformFileSystem();
  std::ostringstream out;
  std::ostringstream err;
  const int status = cfg::RunKvset(cfg::CommandLineWords(argc, argv), *files, out, err);
  cfg::WriteStandardOutput(out.str());
  cfg::WriteStandardError(err.str());
  return status;
}
