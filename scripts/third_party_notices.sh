#!/usr/bin/env bash
# Writes the notices of the third-party code linked into the shipped programs,
# with the licence texts of this machine's Debian packages, to standard output.
#
#   scripts/third_party_notices.sh windows   (Config.exe and kvset.exe)
#   scripts/third_party_notices.sh linux     (the Linux kvset)
set -euo pipefail

DOC=/usr/share/doc

section() {
  local title="$1" linked="$2" package="$3"
  [ -f "$DOC/$package/copyright" ] || {
    printf 'error: %s is not installed; run scripts/setup.sh\n' "$package" >&2
    exit 1
  }
  printf '%s\n' "================================================================"
  printf '%s\n' "$title" "Linked into: $linked" "From the Debian package $package:" ""
  cat "$DOC/$package/copyright"
  printf '\n'
}

printf '%s\n' "Third-party software in this release" ""
case "${1:-}" in
  windows)
    section "CLI11 (command-line parser; BSD-3-Clause)" kvset.exe libcli11-dev
    section "JSON for Modern C++ (nlohmann-json; MIT)" kvset.exe nlohmann-json3-dev
    section "mingw-w64 runtime and winpthreads" "Config.exe, kvset.exe" mingw-w64-common
    section "GCC runtime libraries (libgcc, libstdc++; GPL-3 with the GCC Runtime Library Exception)" \
      "Config.exe, kvset.exe" gcc-mingw-w64-base
    ;;
  linux)
    section "CLI11 (command-line parser; BSD-3-Clause)" kvset libcli11-dev
    section "JSON for Modern C++ (nlohmann-json; MIT)" kvset nlohmann-json3-dev
    section "GCC runtime libraries (libgcc, libstdc++; GPL-3 with the GCC Runtime Library Exception)" \
      "kvset (the system's shared libraries)" gcc-12-base
    ;;
  *)
    printf 'usage: %s windows|linux\n' "$0" >&2
    exit 2
    ;;
esac
