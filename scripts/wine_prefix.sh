#!/usr/bin/env bash
# The Wine prefix in which Config.exe runs: a template made once under
# build/wine/template and copied for every run.
#
#   scripts/wine_prefix.sh           make the template if it is missing or stale
#   scripts/wine_prefix.sh DEST      ... and copy it to DEST
#
# Sourced, it offers ensure_wine_template and copy_wine_prefix.
# shellcheck source=common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

WINE_TEMPLATE="$BUILD_ROOT/wine/template"
# Wine's own fonts (Marlett draws the title bars' buttons); wineboot leaves
# the prefix's Fonts folder empty here.
WINE_FONTS=/usr/share/wine/fonts

# Fonts that the dialogs ask for (and the title bars, in a Japanese locale),
# a window manager that is not there, and a crash that must end the process
# rather than wait on a dialog.
wine_settings_reg() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
}

# regedit takes UTF-16LE with a byte-order mark and CR LF line ends.
write_settings_reg() {
  {
    printf '\xff\xfe'
    wine_settings_reg | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
  } >"$1"
}

# Changes to the settings or to Wine itself call for a new template, and so
# does 32-bit Wine coming or going: a prefix made without it cannot load
# 32-bit programs.
template_stamp() {
  {
    wine_settings_reg
    "$WINE64" --version
    cannot_start_32bit
    ls "$WINE_FONTS"
  } | sha256sum | cut -d' ' -f1
}

template_is_current() {
  [ -f "$WINE_TEMPLATE/.template-stamp" ] &&
    [ "$(cat "$WINE_TEMPLATE/.template-stamp")" = "$(template_stamp)" ]
}

# Runs a Wine command in prefix $1 without a display and waits until its
# wineserver has ended.
wine_in_prefix() {
  local prefix="$1"
  shift
  env -u DISPLAY WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES='mscoree,mshtml=' "$WINE64" "$@" >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" "$WINESERVER" -w
}

build_wine_template() {
  say "making the Wine prefix template (once)"
  local staging="$WINE_TEMPLATE.new"
  rm -rf "$staging"
  mkdir -p "$(dirname "$WINE_TEMPLATE")"
  wine_in_prefix "$staging" wineboot --init
  [ -f "$staging/system.reg" ] || die "wineboot did not create a prefix in $staging"
  write_settings_reg "$staging/drive_c/settings.reg"
  wine_in_prefix "$staging" regedit /S 'C:\settings.reg'
  rm "$staging/drive_c/settings.reg"
  ln -sf "$WINE_FONTS"/* "$staging/drive_c/windows/Fonts/"
  grep -q '"Managed"="N"' "$staging/user.reg" || die "the prefix settings did not reach the registry"
  template_stamp >"$staging/.template-stamp"
  rm -rf "$WINE_TEMPLATE"
  mv "$staging" "$WINE_TEMPLATE"
}

ensure_wine_template() {
  template_is_current || build_wine_template
}

# A private copy of the template; each run gets its own wineserver. The DLL
# folders (over a gigabyte, never written) are linked rather than copied when
# the copy lies on the template's file system.
copy_wine_prefix() {
  local dest="$1" windows=drive_c/windows
  rm -rf "$dest"
  mkdir -p "$dest"
  tar -C "$WINE_TEMPLATE" --exclude="./$windows/system32" --exclude="./$windows/syswow64" -cf - . |
    tar -C "$dest" -xf -
  local dlls
  for dlls in system32 syswow64; do
    cp -al "$WINE_TEMPLATE/$windows/$dlls" "$dest/$windows/" 2>/dev/null ||
      cp -a "$WINE_TEMPLATE/$windows/$dlls" "$dest/$windows/"
  done
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  ensure_wine_template
  if [ $# -gt 0 ]; then copy_wine_prefix "$1"; fi
fi
