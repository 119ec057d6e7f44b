#!/usr/bin/env bash
# Builds the release zip: the 32-bit Config.exe and kvset.exe (they run on 32-
# and 64-bit Windows), the player's README and the licence.
#
#   scripts/release.sh [OUTPUT.zip]      (default: build/release/Config-VERSION.zip,
#                                          VERSION from project() in CMakeLists.txt)
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

output="${1:+$(realpath -m "$1")}"
cd "$REPO_ROOT"
scripts/setup.sh
scripts/build.sh mingw-i686
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/mingw-i686/CMakeCache.txt)"
output="${output:-$BUILD_ROOT/release/Config-$version.zip}"

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp build/mingw-i686/Config.exe build/mingw-i686/tools/kvset/kvset.exe "$staging/"
# Windows line ends for Notepad; a byte-order mark so that older Notepads read UTF-8.
printf '\xEF\xBB\xBF' >"$staging/README.txt"
sed 's/$/\r/' docs/player/README.txt >>"$staging/README.txt"
sed 's/$/\r/' LICENSE >"$staging/LICENSE.txt"
# Fixed times and order, so the same sources give the same zip.
touch -d 2026-01-01T00:00:00Z "$staging"/*

mkdir -p "$(dirname "$output")"
rm -f "$output"
(cd "$staging" && python3 -m zipfile -c "$output" Config.exe kvset.exe README.txt LICENSE.txt)
say "wrote $output"
python3 -m zipfile -l "$output"
