#!/usr/bin/env bash
# Photographs the main dialog of the shipped build under Wine, with the
# Japanese locale and fonts, into docs/main-dialog.png (or FILE).
#
#   scripts/screenshot.sh [FILE]
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# shellcheck source=wine_prefix.sh
source "$REPO_ROOT/scripts/wine_prefix.sh"

output="$(realpath -m "${1:-$REPO_ROOT/docs/main-dialog.png}")"
work="$BUILD_ROOT/screenshot"

"$REPO_ROOT/scripts/setup.sh"
"$REPO_ROOT/scripts/build.sh" mingw-i686
ensure_wine_template
rm -rf "$work"
copy_wine_prefix "$work/prefix"
mkdir -p "$work/game/Data"

japanese_env
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

(cd "$work/game" && exec "$WINE32" "$BUILD_ROOT/mingw-i686/Config.exe") >/dev/null 2>&1 &
program=$!
probe wait '設定' 30000 || die "the dialog did not appear"
# Let the dialog finish painting.
sleep 1
mkdir -p "$(dirname "$output")"
capture_window '設定' "$output"
probe click '設定' 2
wait "$program" || true
say "saved $output"
