#!/usr/bin/env bash
# Config.exe under Wine and Xvfb, beside Baseline.exe (one empty dialog) and
# BaselineThemed.exe (the same with Config.exe's manifest): start-up until the
# main dialog is visible, the CPU time of an idle key test, and the sizes, for
# i686 and x86_64.
#
#   cmake --preset mingw-i686 && cmake --build --preset mingw-i686
#   cmake --preset mingw-x86_64 && cmake --build --preset mingw-x86_64
#   bench/measure.sh [RUNS]        RUNS start-ups of each program (default 15)
#
# CONFIG_BUILD_I686 and CONFIG_BUILD_X86_64 name other build folders;
# CONFIG_BENCH_ARCHS="x86_64" measures one architecture only (the probe is then
# the x86_64 one); it is the default on a machine that cannot start 32-bit programs.
# CONFIG_BENCH_VARIANTS="ARCH:NAME:EXE ..." times other builds of Config.exe
# in the same interleaved series (throw-away variants). Other
# Wine or compiler work on the machine makes the times noisy: the load is
# printed before and after.
set -euo pipefail
# shellcheck source=../scripts/wine_prefix.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/wine_prefix.sh"

RUNS="${1:-15}"
BUILD_I686="${CONFIG_BUILD_I686:-$BUILD_ROOT/mingw-i686}"
BUILD_X86_64="${CONFIG_BUILD_X86_64:-$BUILD_ROOT/mingw-x86_64}"
if reason="$(cannot_start_32bit)"; then
  say "measuring x86_64 alone: $reason"
  read -r -a ARCHS <<<"${CONFIG_BENCH_ARCHS:-x86_64}"
else
  read -r -a ARCHS <<<"${CONFIG_BENCH_ARCHS:-i686 x86_64}"
fi
declare -A BUILD=([i686]="$BUILD_I686" [x86_64]="$BUILD_X86_64") LOADER=([i686]="$(wine_loader i686)" [x86_64]="$(wine_loader x86_64)")
PROBE_ARCH="${ARCHS[0]}"
PROBE="${BUILD[$PROBE_ARCH]}/tools/probe/probe.exe"

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
  local arch file
  for arch in "${ARCHS[@]}"; do
    for file in "${BUILD[$arch]}"/{Config.exe,bench/baseline/Baseline{,Themed}.exe} "$PROBE"; do
      [ -f "$file" ] || die "$file is missing: build the mingw-$arch preset first"
    done
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
  local arch arguments=()
  for arch in "${ARCHS[@]}"; do
    arguments+=(--arch "$arch:${LOADER[$arch]}:${BUILD[$arch]}/Config.exe:${BUILD[$arch]}/bench/baseline/Baseline.exe:${BUILD[$arch]}/bench/baseline/BaselineThemed.exe")
  done
  for arch in ${CONFIG_BENCH_VARIANTS:-}; do arguments+=(--variant "$arch"); done
  python3 "$(dirname "${BASH_SOURCE[0]}")/measure.py" --runs "$RUNS" "${arguments[@]}" \
    --probe "$PROBE" --probe-loader "${LOADER[$PROBE_ARCH]}" --game "$WORK_DIR/game" \
    --wineserver-pid "$WINESERVER_PID" --xvfb-pid "$XVFB_PID"
  load after
}

main
