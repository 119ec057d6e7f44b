#!/usr/bin/env bash
# The completion as bash runs it: words with "=" and ":" whole, replies for the part after them.
# tests/tools/kvset_completion_check.sh KVSET COMPLETION
source "$2"
compopt() { :; }  # only inside a real completion
PATH="$(dirname "$1"):$PATH"
failures=0
while IFS='|' read -r line wanted; do
  COMP_LINE=$line COMP_POINT=${#line} COMPREPLY=()
  _kvset
  [ "${COMPREPLY[*]}" = "$wanted" ] || { echo "FAIL: [$line] -> [${COMPREPLY[*]}]" && failures=1; }
done <<'ROWS'
kvset set KV.set win|window=on window=off
kvset set KV.set window=o|on off
kvset bind KV.set B|B1= B2= B3= B4=
kvset bind KV.set UP=Ho|Home
kvset bind KV.set UP=pad2:B1|B1 B10 B11 B12 B13 B14 B15 B16
kvset r|reset-rankings repair
ROWS
exit "$failures"
