#!/usr/bin/env bash
# kvset.exe under Wine prints what the Linux kvset prints (but for CR LF), exits alike and
# writes the same bytes: tests/tools/kvset_wine_check.sh NATIVE_KVSET KVSET_EXE WINE_LOADER
# shellcheck disable=SC2086  # the commands are split into words on purpose
set -euo pipefail
native=$(realpath "$1") windows=$(realpath "$2") wine=$3 work=$(mktemp -d /tmp/kvset-wine-check-XXXXXX)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=${WINEPREFIX:-$work/prefix}
cd "$work"
failures=0
fail() { printf 'FAIL: kvset %s\n' "$*" >&2 && failures=$((failures + 1)); }

"$native" defaults KV.set
"$native" set KV.set window=on slot=2
"$native" bind KV.set --controller 3 UP=key:300 DOWN=pad2:0x30 LEFT=none B4='\'
"$native" bind KV.set --slot 4 --controller 4 B1=pad1:B16 B2=↓

# Read-only commands: the same output and exit status.
for command in "show KV.set" "show KV.set --json" "export KV.set" "export KV.set --slot 4" \
  "check KV.set" "show missing.set" "bind --help"; do
  native_status=0 windows_status=0
  # "path" is each system's own absolute path.
  "$native" $command 2>/dev/null | { grep -v '"path":' || true; } >native.out || native_status=$?
  "$wine" "$windows" $command 2>/dev/null | tr -d '\r' | { grep -v '"path":' || true; } >windows.out ||
    windows_status=$?
  [ "$native_status" = "$windows_status" ] || fail "$command: exit $native_status, $windows_status"
  cmp -s native.out windows.out || fail "$command: the outputs differ"
done

# Changing commands on copies of one file: the same bytes.
for command in "bind --controller 2 UP=← B1=pad4:UP" "set window=off start640x480=on" \
  "copy-slot 4 0" "reset-rankings"; do
  read -r verb arguments <<<"$command"
  cp KV.set native.set && cp KV.set windows.set
  "$native" "$verb" native.set $arguments && "$wine" "$windows" "$verb" windows.set $arguments
  cmp -s native.set windows.set || fail "$command: the files differ"
done

# A linked KV.set: the file it leads to changes, the link stays.
mkdir target && cp KV.set target/KV.set && ln -s target/KV.set linked.set
"$wine" "$windows" set linked.set window=off && "$native" set KV.set window=off
[ -L linked.set ] && cmp -s KV.set target/KV.set || fail "set through a link"

[ "$failures" -eq 0 ] && echo "kvset.exe under Wine matches the Linux kvset"
exit "$((failures > 0))"
