#!/usr/bin/env bash
# kvset.exe under Wine must print what the Linux kvset prints (apart from CR LF
# line ends) and write the same bytes.
#
#   tests/tools/kvset_wine_check.sh NATIVE_KVSET KVSET_EXE
#
# Uses $WINEPREFIX when set, else a fresh prefix under /tmp; Wine needs no
# display for a console program.
set -euo pipefail

native=$(realpath "$1")
windows=$(realpath "$2")
work=$(mktemp -d /tmp/kvset-wine-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$work/prefix}
cd "$work"

failures=0
fail() {
  printf 'FAIL: %s\n' "$*" >&2
  failures=$((failures + 1))
}

# Runs one command line with both programs; compares output and exit status.
same_output() {
  local native_status=0 windows_status=0
  "$native" "$@" >native.out 2>native.err || native_status=$?
  wine "$windows" "$@" >windows.raw 2>windows.err || windows_status=$?
  tr -d '\r' <windows.raw >windows.out
  [ "$native_status" = "$windows_status" ] ||
    fail "kvset $*: exit $native_status on Linux, $windows_status under Wine"
  cmp -s native.out windows.out || fail "kvset $*: the outputs differ"
}

# Runs one changing command line with both programs on copies of one file.
same_bytes() {
  cp KV.set native.set
  cp KV.set windows.set
  "$native" "$1" native.set "${@:2}"
  wine "$windows" "$1" windows.set "${@:2}"
  cmp -s native.set windows.set || fail "kvset $*: the files differ"
}

"$native" defaults KV.set
"$native" set KV.set window=on slot=2
"$native" bind KV.set --controller 3 UP=key:300 DOWN=pad2:0x30 LEFT=none B4='\'
"$native" bind KV.set --slot 4 --controller 4 B1=pad1:B16 B2=↓

for command in "show KV.set" "show KV.set --json" "export KV.set" "export KV.set --slot 4" \
  "check KV.set" "show missing.set" "bind --help"; do
  # shellcheck disable=SC2086
  same_output $command
done

same_bytes bind --controller 2 UP=← B1=pad4:UP
same_bytes set window=off start640x480=on
same_bytes copy-slot 4 0
same_bytes reset-rankings

[ "$failures" -eq 0 ] && echo "kvset.exe under Wine matches the Linux kvset"
exit "$((failures > 0))"
