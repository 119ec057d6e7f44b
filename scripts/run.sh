#!/usr/bin/env bash
# Try the program: installs what is missing, builds, and runs the shipped
# Config.exe (32-bit) under Wine with the Japanese locale and fonts; on a
# machine that cannot start 32-bit programs, the same program built 64-bit.
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
if reason="$(cannot_start_32bit)"; then
  say "running the 64-bit Config.exe: $reason; players get the same program, shipped 32-bit, which every 64-bit Windows runs"
fi
build="$BUILD_ROOT/mingw-$RUN_ARCH"
"$REPO_ROOT/scripts/build.sh" "mingw-$RUN_ARCH"
ensure_wine_template

# One prefix for trying, renewed with the template.
prefix="$BUILD_ROOT/wine/run"
if ! cmp -s "$prefix/.template-stamp" "$WINE_TEMPLATE/.template-stamp"; then
  copy_wine_prefix "$prefix"
fi

japanese_env
# Wine's errors, for the log when the dialog does not appear; not its fixme notes.
export WINEPREFIX="$prefix" WINEDEBUG=fixme-all
program="$build/Config.exe"
loader="$(wine_loader "$RUN_ARCH")"

if [ -n "${DISPLAY:-}" ]; then
  say "running Config.exe in $folder"
  cd "$folder"
  exec "$loader" "$program"
fi

cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
say "no display: running Config.exe in $folder on Xvfb $DISPLAY"
wine_log="$BUILD_ROOT/run-wine.log"
(cd "$folder" && exec "$loader" "$program") >"$wine_log" 2>&1 &
running=$!
if ! probe wait '設定' 30000; then
  seen="still running after 30 s"
  kill -0 "$running" 2>/dev/null || { wait "$running" && seen="ended with exit code 0" || seen="ended with exit code $?"; }
  # Wine writes its messages in the locale's ANSI code page, CP932 here.
  die "the dialog did not appear: $program $seen; Wine's last lines ($wine_log):
$(iconv -c -f CP932 -t UTF-8 "$wine_log" | grep . | tail -n 5 || echo "(none)")"
fi
sleep 1
shot="$BUILD_ROOT/run-screenshot.png"
capture_window '設定' "$shot"
cat <<EOF
The dialog runs on the virtual display $DISPLAY.
  Screenshot:      $shot
  Another one:     DISPLAY=$DISPLAY import -window root screen.png
  Drive it:        DISPLAY=$DISPLAY WINEPREFIX=$prefix $loader \\
                     $build/tools/probe/probe.exe   (commands in tools/probe/probe.cpp)
EOF
if [ -t 0 ]; then
  read -r -p "Press Enter to leave the dialog with 設定しない... "
fi
probe click '設定' 2 || true
wait "$running" || true
