#!/usr/bin/env bash
# The release archives are the same bytes from two builds (linked and packed again) under
# other time zones and umasks. Needs build/mingw-i686 and build/native built.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for run in "UTC0 022 first" "JST-9 077 second"; do
  read -r zone mask name <<<"$run"
  rm -f build/mingw-i686/Config.exe build/mingw-i686/tools/kvset/kvset.exe
  (umask "$mask" && export TZ="$zone" &&
    cmake --build build/mingw-i686 --target Config kvset -j2 >/dev/null &&
    scripts/package_release.sh "$work/$name" 2>/dev/null)
  (cd "$work/$name" && sha256sum ./*) >"$work/$name.sums"
done
cat "$work/first.sums"
diff "$work/first.sums" "$work/second.sums"
