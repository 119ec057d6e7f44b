#!/usr/bin/env bash
# Photographs the dialogs of the shipped build under Wine, with the Japanese
# locale and fonts, into docs/ (or FOLDER): the main dialog (main-dialog.png),
# the button assignment (button-assign-dialog.png) and the key test while ↑
# and z are held (key-test-dialog.png).
#
#   scripts/screenshot.sh [FOLDER]
set -euo pipefail
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# shellcheck source=wine_prefix.sh
source "$REPO_ROOT/scripts/wine_prefix.sh"

output="$(realpath -m "${1:-$REPO_ROOT/docs}")"
work="$BUILD_ROOT/screenshot"
MAIN='設定'
ASSIGN='ボタン設定'
KEY_TEST='コントローラーテスト'
arch=i686 loader="$WINE32"
# Where 32-bit programs cannot start, the x86_64 build and its probe stand in.
if ! "$WINE32" --version >/dev/null 2>&1; then
  arch=x86_64 loader="$WINE64"
  probe() {
    local out status=0
    out="$(mktemp)"
    "$WINE64" "$BUILD_ROOT/mingw-x86_64/tools/probe/probe.exe" "$@" >"$out" 2>/dev/null || status=$?
    cat "$out"
    rm -f "$out"
    return "$status"
  }
fi

"$REPO_ROOT/scripts/setup.sh"
"$REPO_ROOT/scripts/build.sh" "mingw-$arch"
ensure_wine_template
rm -rf "$work"
copy_wine_prefix "$work/prefix"
mkdir -p "$work/game/Data" "$output"

japanese_env
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
  xdotool keyup Up z 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
start_xvfb

# Waits for the window TITLE, lets it finish painting and saves it as FILE.
shoot() {
  probe wait "$1" 30000 || die "the window \"$1\" did not appear"
  sleep 1
  capture_window "$1" "$output/$2"
  say "saved $output/$2"
}

# Sends the window's X11 window the keyboard, as a player's click would.
focus_keyboard() {
  xdotool windowfocus "$(probe xid "$1")"
  sleep 0.3
}

(cd "$work/game" && exec "$loader" "$BUILD_ROOT/mingw-$arch/Config.exe") >/dev/null 2>&1 &
program=$!
shoot "$MAIN" main-dialog.png

probe click "$MAIN" 1017
shoot "$ASSIGN" button-assign-dialog.png
probe click "$ASSIGN" 2
probe gone "$ASSIGN" 5000 || die "the button assignment did not close"

probe click "$MAIN" 1034
probe wait "$KEY_TEST" 30000 || die "the key test did not appear"
focus_keyboard "$KEY_TEST"
# The test shows the held keys live.
xdotool keydown Up z
shoot "$KEY_TEST" key-test-dialog.png
xdotool keyup Up z
xdotool key Escape
probe gone "$KEY_TEST" 5000 || die "the key test did not close"

probe click "$MAIN" 2
wait "$program" || true
