#!/usr/bin/env bash
# Builds the release: the Windows zip and the Linux kvset archive
# (scripts/package_release.sh says what they hold).
#
#   scripts/release.sh [OUTPUT_FOLDER]      (default: build/release)
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

output="$(realpath -m "${1:-$BUILD_ROOT/release}")"
cd "$REPO_ROOT"
# One date for everything dated: the man page, the archives' entries.
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH
scripts/setup.sh
scripts/build.sh mingw-i686 native
scripts/package_release.sh "$output"
python3 -m zipfile -l "$output"/Config-*.zip
