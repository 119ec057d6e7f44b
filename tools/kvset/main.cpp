// kvset: reads and changes KV.set from the command line.
#include <sstream>

#include "tools/kvset/kvset.h"
#include "tools/kvset/platform.h"

namespace {

constexpr char kOutputFailed[] =
    "kvset: cannot write to standard output (closed, or the disk is full)\n";

}  // namespace

int main(int argc, char** argv) {
  const std::unique_ptr<cfg::FileSystem> named = cfg::PlatformFileSystem();
  const std::unique_ptr<cfg::GameFolder> game = cfg::PlatformGameFolder(*named);
  std::ostringstream out;
  std::ostringstream err;
  int status = cfg::RunKvset(cfg::CommandLineWords(argc, argv), {*named, *game},
                             cfg::ReadStandardInput, out, err);
  if (!cfg::WriteStandardOutput(out.str())) {
    err << kOutputFailed;
    status = cfg::kExitError;
  }
  cfg::WriteStandardError(err.str());
  return status;
}
