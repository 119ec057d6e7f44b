#!/usr/bin/env bash
# Installs what building, running and testing need, and builds the Japanese
# locale into build/locale. Quick when everything is in place already.
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
  cmake make g++ clang libclang-rt-14-dev clang-format python3 locales
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
  wine wine64 wine32:i386
  xvfb xdotool imagemagick fonts-ipafont-gothic help2man
)

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing_packages() {
  local package
  for package in "${PACKAGES[@]}"; do
    is_installed "$package" || printf '%s\n' "$package"
  done
}

# wine32 lives in the i386 architecture.
ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 1
  say "adding the i386 architecture"
  as_root dpkg --add-architecture i386
}

apt_install() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$@"
}

install_packages() {
  local missing
  mapfile -t missing < <(missing_packages)
  [ "${#missing[@]}" -eq 0 ] && return
  local need_update=
  ensure_i386 && need_update=1
  # A machine that never fetched its package lists has no candidates at all.
  [ -n "$(find /var/lib/apt/lists -maxdepth 1 -name '*_Packages' -print -quit)" ] || need_update=1
  [ -n "$need_update" ] && as_root apt-get update -q
  say "installing ${missing[*]}"
  apt_install "${missing[@]}" || {
    # Package lists that have gone stale name files the mirror no longer has.
    as_root apt-get update -q
    apt_install "${missing[@]}"
  }
}

build_locale() {
  local target="$LOCALE_DIR/ja_JP.UTF-8"
  [ -f "$target/LC_CTYPE" ] && return
  say "building the ja_JP.UTF-8 locale into $LOCALE_DIR"
  mkdir -p "$LOCALE_DIR"
  # localedef exits 1 on mere warnings; the files it leaves are what counts.
  localedef -i ja_JP -f UTF-8 "$target" || true
  [ -f "$target/LC_CTYPE" ] || die "localedef could not build $target"
}

install_packages
build_locale
