#!/usr/bin/env bash
# Try the program: installs what is missing, builds, and runs the shipped
# Config.exe (32-bit) under Wine with the Japanese locale and fonts.
#
#   scripts/run.sh [FOLDER]
#
# FOLDER is the game folder to work in (KV.set in FOLDER\LocalConfig or
# FOLDER\Data); by default build/demo, made with an empty Data folder. With
# no $DISPLAY the program runs on Xvfb and a screenshot shows the dialog.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# shellcheck source=wine_prefix.sh
source "$REPO_ROOT/scripts/wine_prefix.sh"

if [ $# -gt 0 ]; then
  [ -d "$1" ] || die "no folder $1"
  folder="$(cd "$1" && pwd)"
else
  folder="$BUILD_ROOT/demo"
  mkdir -p "$folder/Data"
fi

"$REPO_ROOT/scripts/setup.sh"
"$REPO_ROOT/scripts/build.sh" mingw-i686
ensure_wine_template

# One prefix for trying, renewed with the template.
prefix="$BUILD_ROOT/wine/run"
if ! cmp -s "$prefix/.template-stamp" "$WINE_TEMPLATE/.template-stamp"; then
  copy_wine_prefix "$prefix"
fi

japanese_env
export WINEPREFIX="$prefix" WINEDEBUG=-all
program="$BUILD_ROOT/mingw-i686/Config.exe"

if [ -n "${DISPLAY:-}" ]; then
  say "running Config.exe in $folder"
  cd "$folder"
  exec "$WINE32" "$program"
fi

cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
say "no display: running Config.exe in $folder on Xvfb $DISPLAY"
(cd "$folder" && exec "$WINE32" "$program") >/dev/null 2>&1 &
running=$!
probe wait '設定' 30000 || die "the dialog did not appear"
sleep 1
shot="$BUILD_ROOT/run-screenshot.png"
capture_window '設定' "$shot"
cat <<EOF
The dialog runs on the virtual display $DISPLAY.
  Screenshot:      $shot
  Another one:     DISPLAY=$DISPLAY import -window root screen.png
  Drive it:        DISPLAY=$DISPLAY WINEPREFIX=$prefix $WINE32 \\
                     $BUILD_ROOT/mingw-i686/tools/probe/probe.exe   (commands in tools/probe/probe.cpp)
EOF
if [ -t 0 ]; then
  read -r -p "Press Enter to leave the dialog with 設定しない... "
fi
probe click '設定' 2 || true
wait "$running" || true
