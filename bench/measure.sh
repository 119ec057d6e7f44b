#!/usr/bin/env bash
# Config.exe under Wine and Xvfb, beside Baseline.exe (one empty dialog):
# start-up until the main dialog is visible, the CPU time of an idle key
# test, and the sizes of both programs for i686 and x86_64.
#
#   cmake --preset mingw-i686 && cmake --build --preset mingw-i686
#   cmake --preset mingw-x86_64 && cmake --build --preset mingw-x86_64
#   bench/measure.sh [RUNS]        RUNS start-ups of each program (default 15)
#
# CONFIG_BUILD_I686 and CONFIG_BUILD_X86_64 name other build folders. Other
# Wine or compiler work on the machine makes the times noisy: the load is
# printed before and after.
set -euo pipefail
# shellcheck source=../scripts/wine_prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine_prefix.sh"

RUNS="${1:-15}"
BUILD_I686="${CONFIG_BUILD_I686:-$BUILD_ROOT/mingw-i686}"
BUILD_X86_64="${CONFIG_BUILD_X86_64:-$BUILD_ROOT/mingw-x86_64}"
PROBE="$BUILD_I686/tools/probe/probe.exe"

WORK_DIR=
WINESERVER_PID=

cleanup() {
  if [ -n "$WINESERVER_PID" ]; then
    "$WINESERVER" -k 2>/dev/null || true
    wait "$WINESERVER_PID" 2>/dev/null || true
  fi
  stop_xvfb
  if [ -n "$WORK_DIR" ]; then rm -rf "$WORK_DIR"; fi
}

require_builds() {
  local file
  for file in "$BUILD_I686"/{Config.exe,bench/baseline/Baseline.exe} "$PROBE" \
    "$BUILD_X86_64"/{Config.exe,bench/baseline/Baseline.exe}; do
    [ -f "$file" ] || die "$file is missing: build the mingw-i686 and mingw-x86_64 presets first"
  done
  [ -f "$LOCALE_DIR/ja_JP.UTF-8/LC_CTYPE" ] || die "no Japanese locale: run scripts/setup.sh first"
}

machine() {
  echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')," \
    "$("$WINE64" --version)"
}

load() {
  echo "Load $1: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
}

main() {
  require_builds
  ensure_wine_template
  trap cleanup EXIT
  WORK_DIR="$(mktemp -d "$BUILD_ROOT/bench-measure.XXXXXX")"
  copy_wine_prefix "$WORK_DIR/prefix"
  # A first start: no LocalConfig.Txt and no KV.set yet.
  mkdir -p "$WORK_DIR/game/Data"

  start_xvfb
  japanese_env
  export WINEPREFIX="$WORK_DIR/prefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
  # One wineserver for every run, as on a desktop where Windows is up already:
  # the runs time the programs, not the start of Wine's own services.
  "$WINESERVER" -f -p &
  WINESERVER_PID=$!

  machine
  load before
  python3 "$(dirname "${BASH_SOURCE[0]}")/measure.py" --runs "$RUNS" \
    --arch "i686:$WINE32:$BUILD_I686/Config.exe:$BUILD_I686/bench/baseline/Baseline.exe" \
    --arch "x86_64:$WINE64:$BUILD_X86_64/Config.exe:$BUILD_X86_64/bench/baseline/Baseline.exe" \
    --probe "$PROBE" --probe-loader "$WINE32" --game "$WORK_DIR/game" \
    --wineserver-pid "$WINESERVER_PID" --xvfb-pid "$XVFB_PID"
  load after
}

main
