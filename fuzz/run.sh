#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz") and runs them side by side from their seed corpora
# for FUZZ_SECONDS (60) each; FUZZ_TARGETS (all three), FUZZ_BUILD_DIR (build/fuzz), JOBS (2).
# Prints the executions per target; fails on any crash, sanitizer report, leak, timeout or
# broken invariant. Longest inputs: past the record (4684), past the text area (8194).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
BUILD_DIR="${FUZZ_BUILD_DIR:-$PWD/build/fuzz}"
TARGETS="${FUZZ_TARGETS:-kvset local_config button_assign}"
declare -A MAX_LEN=([kvset]=8192 [local_config]=9000 [button_assign]=4096)
cmake --preset fuzz -B "$BUILD_DIR" >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-2}" >/dev/null

for target in $TARGETS; do  # each into its own folder, the seeds left as they are
  run_dir="$BUILD_DIR/fuzz-runs/$target" dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  rm -rf "$run_dir" && mkdir -p "$run_dir/corpus"
  (set +e && "$BUILD_DIR/fuzz/${target}_fuzzer" -max_total_time="${FUZZ_SECONDS:-60}" \
    -max_len="${MAX_LEN[$target]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$run_dir/" "${dict[@]}" "$run_dir/corpus" "fuzz/corpus/$target" \
    >"$run_dir/log" 2>&1; echo $? >"$run_dir/status") &
done
wait

status=0
for target in $TARGETS; do
  run_dir="$BUILD_DIR/fuzz-runs/$target" verdict="no findings"
  if [ "$(cat "$run_dir/status")" -ne 0 ] || ls "$run_dir"/*-* >/dev/null 2>&1; then
    verdict="FINDING, see $run_dir" && status=1
  fi
  printf '%-14s %12s executions  %s\n' "$target" \
    "$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_dir/log" | tail -n 1)" "$verdict"
done
exit "$status"
