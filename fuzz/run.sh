#!/usr/bin/env bash
# Builds the fuzz targets with the "fuzz" preset and runs each, side by side,
# for a bounded time from its seed corpus. Prints the executions per target;
# exits non-zero when any target found a crash, a sanitizer report, a leak, a
# timeout or a broken invariant (kept as crash-*/leak-*/timeout-* in its run folder).
#   FUZZ_SECONDS    seconds per target (default 60)
#   FUZZ_BUILD_DIR  build folder (default: the preset's, build/fuzz)
#   FUZZ_TARGETS    targets to run (default: all three)
#   JOBS            parallel build jobs (default 2)
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FUZZ_BUILD_DIR:-$REPO_ROOT/build/fuzz}"
TARGETS="${FUZZ_TARGETS:-kvset local_config button_assign}"

cd "$REPO_ROOT"
cmake --preset fuzz -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}" >/dev/null

# One target into its own folder; the seeds in the repository stay as they are.
# Longest input: past the record (4684), past the text area (8194).
run_target() {
  local run_dir="$BUILD_DIR/fuzz-runs/$1" max_len=4096 options=()
  case "$1" in kvset) max_len=8192 ;; local_config) max_len=9000 ;; esac
  [ -f "fuzz/$1.dict" ] && options+=(-dict="fuzz/$1.dict")
  rm -rf "$run_dir" && mkdir -p "$run_dir/corpus"
  local rc=0
  "$BUILD_DIR/fuzz/$1_fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$run_dir/" \
    "${options[@]}" "$run_dir/corpus" "fuzz/corpus/$1" >"$run_dir/log" 2>&1 || rc=$?
  echo "$rc" >"$run_dir/status"
}

for target in $TARGETS; do run_target "$target" & done
wait

status=0
for target in $TARGETS; do
  run_dir="$BUILD_DIR/fuzz-runs/$target"
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_dir/log" | tail -n 1)"
  verdict="no findings"
  if [ "$(cat "$run_dir/status")" -ne 0 ] || ls "$run_dir"/*-* >/dev/null 2>&1; then
    verdict="FINDING, see $run_dir" && status=1
  fi
  printf '%-14s %12s executions  %s\n' "$target" "${executions:-?}" "$verdict"
done
exit "$status"
