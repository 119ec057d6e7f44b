#!/usr/bin/env bash
# Builds the native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (the "asan" preset) and runs them all. Any report aborts the test that made it.
#   SANITIZER_BUILD_DIR  build folder (default: the preset's, build/asan)
#   JOBS                 parallel build and test jobs (default 2)
set -euo pipefail

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${SANITIZER_BUILD_DIR:-$REPO_ROOT/build/asan}"
JOBS="${JOBS:-2}"

# Any finding ends the test program with a failure, and a leak counts as one.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cd "$REPO_ROOT"
cmake --preset asan -B "$BUILD_DIR"
cmake --build "$BUILD_DIR" -j "$JOBS"
ctest --test-dir "$BUILD_DIR" -j "$JOBS" --output-on-failure
