#!/usr/bin/env bash
# Photographs the dialogs of the shipped build (the 64-bit one on a machine
# that cannot start 32-bit programs) under Wine, with the Japanese
# locale and fonts, into docs/ (or FOLDER): the main dialog (main-dialog.png),
# the button assignment (button-assign-dialog.png) and the key test while ↑
# and z are held (key-test-dialog.png); then the main dialog of
# "Config.exe /lang:en" in a prefix and locale without any Japanese font
# (english-main-dialog.png).
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

"$REPO_ROOT/scripts/setup.sh"
"$REPO_ROOT/scripts/build.sh" "mingw-$RUN_ARCH"
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

if reason="$(cannot_start_32bit)"; then say "photographing the 64-bit build: $reason"; fi
(cd "$work/game" && exec "$(wine_loader "$RUN_ARCH")" "$BUILD_ROOT/mingw-$RUN_ARCH/Config.exe") >/dev/null 2>&1 &
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
"$WINESERVER" -w

# English: the prefix without the replacements for the Japanese faces, and
# fontconfig shown only Wine's own fonts, so that no Japanese font is found.
export WINEPREFIX="$work/prefix-en" LANG=en_US.UTF-8 FONTCONFIG_FILE="$work/fonts.conf"
unset LC_ALL LOCPATH
copy_wine_prefix "$WINEPREFIX"
cat >"$FONTCONFIG_FILE" <<EOF
<?xml version="1.0"?>
<fontconfig><dir>$WINE_FONTS</dir><cachedir>$work/fontconfig</cachedir></fontconfig>
EOF
"$(wine_loader "$RUN_ARCH")" reg delete 'HKCU\Software\Wine\Fonts\Replacements' /f >/dev/null 2>&1
(cd "$work/game" && exec "$(wine_loader "$RUN_ARCH")" "$BUILD_ROOT/mingw-$RUN_ARCH/Config.exe" /lang:en) >/dev/null 2>&1 &
program=$!
shoot Settings english-main-dialog.png
probe click Settings 2
wait "$program" || true
