#!/usr/bin/env bash
# Configures and builds with the CMake presets.
#
#   scripts/build.sh [PRESET...]
#
# By default: native (core library, tools, unit tests), mingw-i686 (the
# shipped Config.exe) and mingw-x86_64 (its 64-bit twin), each with the
# end-to-end probe.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(native mingw-i686 mingw-x86_64)

cd "$REPO_ROOT"
for preset in "${presets[@]}"; do
  say "building $preset"
  cmake --preset "$preset" --log-level=WARNING
  cmake --build --preset "$preset" -j "$(nproc)"
done
