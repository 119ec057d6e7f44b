#!/bin/sh
# kvset as a shell runs it:  kvset_cli.sh CHECK KVSET [VERSION]
set -u
kvset=$2
folder=$(mktemp -d) && trap 'rm -rf "$folder"' EXIT && cd "$folder" || exit 1
case $1 in
  # Output that cannot be written is an error, not a success: exit 2; a short
  # output fails at the flush, a long one (show --json) already in the write.
  full-disk) "$kvset" keys >/dev/full; test $? -eq 2 ;;
  long-output-full-disk)
    "$kvset" defaults KV.set || exit 1
    "$kvset" show --json KV.set >/dev/full; test $? -eq 2 ;;
  # Each stream carries its text and nothing past it: the version line is its
  # length, and two more letters in an unknown command make two more bytes.
  text-alone)
    out=$("$kvset" --version | wc -c) short=$("$kvset" qqqqqqqq 2>&1 | wc -c)
    long=$("$kvset" qqqqqqqqqq 2>&1 | wc -c)
    test "$out" -eq $((${#3} + 7)) && test $((long - short)) -eq 2 ;;
  # A bindings text piped into import lands in the file; a piped byte is read too.
  import-from-standard-input)
    "$kvset" defaults KV.set && printf '[controller 2]\nB4=q\n' | "$kvset" import KV.set - &&
      "$kvset" export KV.set | grep -qx B4=q && printf x | "$kvset" show - | grep -q '(1 bytes' ;;
  *) echo "no such check: $1" >&2 && exit 2 ;;
esac
