#!/usr/bin/env bash
# Builds the fuzz targets with the "fuzz" preset and runs each for a bounded
# time from its seed corpus. Prints the executions per target; exits non-zero
# when any target found a crash, a sanitizer report, a leak, a timeout or a
# broken invariant (its input is kept as crash-*/leak-*/timeout-* in the run folder).
#   FUZZ_SECONDS    seconds per target (default 60)
#   FUZZ_BUILD_DIR  build folder (default: the preset's, build/fuzz)
#   FUZZ_TARGETS    targets to run (default: all three)
#   JOBS            parallel build jobs (default 2)
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${FUZZ_BUILD_DIR:-$REPO_ROOT/build/fuzz}"
SECONDS_PER_TARGET="${FUZZ_SECONDS:-60}"
TARGETS="${FUZZ_TARGETS:-kvset local_config button_assign}"
JOBS="${JOBS:-2}"

# Longest input per target: past the record (4684) and past the text area (8194).
max_len() {
  case "$1" in
    kvset) echo 8192 ;;
    local_config) echo 9000 ;;
    *) echo 4096 ;;
  esac
}

cd "$REPO_ROOT"
cmake --preset fuzz -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" >/dev/null

# One target: runs it into its own folder; the exit status and the log stay there.
run_target() {
  local target="$1" run_dir="$BUILD_DIR/fuzz-runs/$1"
  rm -rf "$run_dir"
  mkdir -p "$run_dir/corpus"
  local options=(
    -max_total_time="$SECONDS_PER_TARGET"
    -max_len="$(max_len "$target")"
    -timeout=10
    -rss_limit_mb=2048
    -print_final_stats=1
    -artifact_prefix="$run_dir/"
  )
  local dict="$REPO_ROOT/fuzz/$target.dict"
  [ -f "$dict" ] && options+=(-dict="$dict")
  # New inputs go to the run folder; the seeds in the repository stay as they are.
  local rc=0
  "$BUILD_DIR/fuzz/${target}_fuzzer" "${options[@]}" \
    "$run_dir/corpus" "$REPO_ROOT/fuzz/corpus/$target" >"$run_dir/log" 2>&1 || rc=$?
  echo "$rc" >"$run_dir/status"
}

report_target() {
  local target="$1" run_dir="$BUILD_DIR/fuzz-runs/$1" rc executions findings
  rc="$(cat "$run_dir/status")"
  executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_dir/log" | tail -n 1)"
  findings="$(find "$run_dir" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)"
  if [ "$rc" -ne 0 ] || [ -n "$findings" ]; then
    printf '%-14s %12s executions  FINDING (exit %d), log %s\n' \
      "$target" "${executions:-?}" "$rc" "$run_dir/log"
    [ -n "$findings" ] && printf '  %s\n' $findings
    return 1
  fi
  printf '%-14s %12s executions  no findings\n' "$target" "${executions:-?}"
}

# The targets run side by side: the time bound is per target, not per run.
for target in $TARGETS; do
  run_target "$target" &
done
wait

status=0
for target in $TARGETS; do
  report_target "$target" || status=1
done
exit "$status"
