#!/usr/bin/env bash
# Runs every test: setup, the three builds, the unit tests, the resource
# checks, the end-to-end suite against the 32-bit and the 64-bit Config.exe
# under Wine, kvset.exe under Wine, the unit tests again under ASan and UBSan,
# and the fuzz targets for a bounded time. On a machine that cannot start
# 32-bit programs, the steps that must start them are skipped with the reason,
# and kvset.exe runs under Wine as its 64-bit build in their place.
# Ends with the line "N passed, N failed, N skipped"; exits 1 on any failure.
set -uo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOG_DIR="$BUILD_ROOT/test-logs"
passed=0
failed=0
skipped=0
summary=()

log_of() { echo "$LOG_DIR/${1// /-}.log"; }

# Runs a step with its output shown and kept in its log.
run_logged() {
  local name="$1"
  shift
  "$@" 2>&1 | tee "$(log_of "$name")"
  return "${PIPESTATUS[0]}"
}

# A step that runs no test of its own: a failure counts as one failed test.
step() {
  local name="$1" started=$SECONDS
  shift
  say "$name"
  if run_logged "$name" "$@"; then
    summary+=("$(printf '%-24s ok (%d s)' "$name" $((SECONDS - started)))")
    return 0
  fi
  failed=$((failed + 1))
  summary+=("$(printf '%-24s FAILED (%d s), see %s' "$name" $((SECONDS - started)) "$(log_of "$name")")")
  return 1
}

# "PASSED FAILED" from a runner's log.
ctest_counts() {
  # "100% tests passed, 0 tests failed out of 42"
  sed -nE 's/^[0-9]+% tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1 \2/p' "$1" |
    tail -n 1 | { read -r bad total && echo "$((total - bad)) $bad"; }
}

e2e_counts() {
  sed -nE 's/^end-to-end [a-z0-9_]+: ([0-9]+) passed, ([0-9]+) failed$/\1 \2/p' "$1" | tail -n 1
}

# A step that runs tests; COUNTER reads its counts from the log.
tests_step() {
  local name="$1" counter="$2" started=$SECONDS
  shift 2
  say "$name"
  run_logged "$name" "$@"
  local status=$? ok=0 bad=0 counts
  counts="$("$counter" "$(log_of "$name")")"
  [ -n "$counts" ] && read -r ok bad <<<"$counts"
  # A runner that failed without saying so still counts as a failure.
  [ "$status" -ne 0 ] && [ "$bad" -eq 0 ] && bad=1
  passed=$((passed + ok))
  failed=$((failed + bad))
  summary+=("$(printf '%-24s %d passed, %d failed (%d s)' "$name" "$ok" "$bad" $((SECONDS - started)))")
}

# A step that cannot run on this machine: said, with the reason, and counted apart.
skip() {
  skipped=$((skipped + 1))
  summary+=("$(printf '%-24s skipped: %s' "$1" "$2")")
  say "$1 skipped: $2"
}

# kvset.exe of ARCH under Wine against the Linux kvset, in a copy of the template prefix.
kvset_wine_check() {
  local prefix="$BUILD_ROOT/wine/kvset-check"
  rm -rf "$prefix"
  scripts/wine_prefix.sh "$prefix" >/dev/null
  WINEPREFIX="$prefix" tests/tools/kvset_wine_check.sh build/native/tools/kvset/kvset \
    "build/mingw-$1/tools/kvset/kvset.exe" "$(wine_loader "$1")"
}

# "tests N lines, program N lines, ratio N.N% ... (within a third)": tests/ and fuzz/ (.cpp .h .py .sh)
# against all of the code; the program is .cpp .h .rc outside tests/, fuzz/, bench/.
line_counts() {
  local files tests program
  files="$(git ls-files --cached --others --exclude-standard)"
  tests="$(grep -E '^(tests|fuzz)/.*\.(cpp|h|py|sh)$' <<<"$files" | xargs cat | wc -l)"
  program="$(grep -E '\.(cpp|h|rc)$' <<<"$files" | grep -vE '^(tests|fuzz|bench)/' | xargs cat | wc -l)"
  local share=$((1000 * tests / (tests + program)))
  echo "tests $tests lines, program $program lines, ratio $((share / 10)).$((share % 10))% of all code" \
    "($([ $((3 * tests)) -le $((tests + program)) ] && echo "within" || echo "OVER") a third)"
}

# No include points up or sideways: each folder of the program includes only
# itself and the folders below it (docs/architecture.md), the Win32 files too.
include_directions() {
  local -A below=([input]="" [settings]="" [bindings]="input settings"
    [dialogs]="bindings input settings res" [app]="dialogs bindings input settings res"
    [tools/kvset]="bindings input settings")
  local folder file target wrong=0
  for folder in "${!below[@]}"; do
    for file in "$folder"/*.cpp "$folder"/*.h; do
      while read -r target; do
        case " $folder ${below[$folder]} " in
          *" ${target%/*} "*) ;;
          *) echo "$file includes $target" && wrong=1 ;;
        esac
      done < <(sed -n 's/^#include "\(.*\)"$/\1/p' "$file" | grep / | grep -v '^config_version')
    done
  done
  return "$wrong"
}

not_built() {
  failed=$((failed + 1))
  summary+=("$(printf '%-24s not run: %s did not build' "$1" "$2")")
}

mkdir -p "$LOG_DIR"
started=$SECONDS
cd "$REPO_ROOT" || exit 1

step "include directions" include_directions

if step setup scripts/setup.sh; then
  declare -A built
  for preset in native mingw-i686 mingw-x86_64; do
    step "build $preset" scripts/build.sh "$preset" && built[$preset]=1
  done

  if [ -n "${built[native]:-}" ]; then
    tests_step "unit tests" ctest_counts ctest --preset native -j "$(nproc)"
  else
    not_built "unit tests" native
  fi

  no_32bit="$(cannot_start_32bit)"
  for arch in i686 x86_64; do
    if [ -z "${built[mingw-$arch]:-}" ]; then
      not_built "end-to-end $arch" "mingw-$arch"
      continue
    fi
    step "resources $arch" python3 tests/e2e/resources_check.py \
      "build/mingw-$arch/Config.exe" "$arch-w64-mingw32-windres"
    if [ "$arch" = i686 ] && [ -n "$no_32bit" ]; then
      skip "end-to-end $arch" "$no_32bit"
    else
      tests_step "end-to-end $arch" e2e_counts python3 tests/e2e/run_e2e.py --arch "$arch"
    fi
  done

  if [ -n "${built[native]:-}" ] && [ -n "${built[mingw-$RUN_ARCH]:-}" ]; then
    [ -n "$no_32bit" ] && skip "kvset under Wine i686" "$no_32bit"
    step "kvset under Wine $RUN_ARCH" kvset_wine_check "$RUN_ARCH"
  else
    not_built "kvset under Wine" "native or mingw-$RUN_ARCH"
  fi
  if [ -n "${built[native]:-}" ] && [ -n "${built[mingw-i686]:-}" ]; then
    step "reproducible release" tests/release_reproducible.sh
  else
    not_built "reproducible release" "native or mingw-i686"
  fi

  tests_step "sanitizer unit tests" ctest_counts scripts/test_sanitizers.sh
  step "fuzzing" fuzz/run.sh
fi

echo
echo "==================== summary ===================="
printf '%s\n' "${summary[@]}"
printf '%-24s %d s\n' "total time" $((SECONDS - started))
printf '%-24s %s\n' "line counts" "$(line_counts)"
echo
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
