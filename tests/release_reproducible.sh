#!/usr/bin/env bash
# The release archives are the same bytes from two builds under different time
# zones and umasks: the executables are linked again and packed again.
# Needs build/mingw-i686 and build/native built.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

build_and_pack() {
  local zone="$1" mask="$2" output="$3"
  rm -f build/mingw-i686/Config.exe build/mingw-i686/tools/kvset/kvset.exe
  (
    umask "$mask"
    export TZ="$zone"
    cmake --build build/mingw-i686 --target Config kvset -j2 >/dev/null
    scripts/package_release.sh "$output" 2>/dev/null
  )
  (cd "$output" && sha256sum ./*)
}

build_and_pack UTC0 022 "$work/first" >"$work/first.sums"
build_and_pack JST-9 077 "$work/second" >"$work/second.sums"
cat "$work/first.sums"
diff "$work/first.sums" "$work/second.sums"
