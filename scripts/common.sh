# shellcheck shell=bash disable=SC2034  # the variables serve the sourcing scripts
# Shared by the scripts: paths, messages, the Japanese locale and Xvfb.
# Sourced, never run.

REPO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_ROOT="$REPO_ROOT/build"
# glibc locales built by setup.sh; the machine need not have ja_JP itself.
LOCALE_DIR="$BUILD_ROOT/locale"
# CONFIG_WINE32 names another 32-bit loader, to try what a machine without one
# does (a path with no program, say).
WINE32="${CONFIG_WINE32:-/usr/lib/wine/wine}"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

say() { printf '==> %s\n' "$*" >&2; }
die() {
  printf 'error: %s\n' "$*" >&2
  exit 1
}

# Runs a command as root, through sudo when the caller is not root.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  else
    sudo "$@"
  fi
}

# Whether this machine can start 32-bit programs: Wine 8 starts them only
# through its 32-bit loader, which a kernel with its 32-bit emulation switched
# off cannot execute. Prints nothing and succeeds when it can; else prints the
# reason and fails. Asked once per script; every script goes by it.
cannot_start_32bit() {
  if [ -z "${NO_32BIT_REASON+set}" ]; then
    local answer
    # Bash's own exec: a program started through execvp would hand a binary
    # it cannot execute to /bin/sh as a script.
    if answer="$("$WINE32" --version 2>&1)"; then
      NO_32BIT_REASON=
    else
      NO_32BIT_REASON="this machine cannot start 32-bit programs: $WINE32 --version said \"$(
        tail -n 1 <<<"${answer:-nothing}" | sed "s|^.*$WINE32: ||")\""
      grep -q 'Exec format error' <<<"$answer" &&
        NO_32BIT_REASON+=" (the kernel runs with its 32-bit emulation off)"
    fi
  fi
  [ -n "$NO_32BIT_REASON" ] && printf '%s\n' "$NO_32BIT_REASON"
}

# The architecture whose Config.exe the scripts run: i686, as shipped, where
# 32-bit programs start; else x86_64, the same program built 64-bit.
RUN_ARCH=i686
cannot_start_32bit >/dev/null && RUN_ARCH=x86_64

# The Wine loader for ARCH.
wine_loader() {
  if [ "$1" = i686 ]; then echo "$WINE32"; else echo "$WINE64"; fi
}

# The environment under which Wine shows the program's Japanese texts. Bash
# itself cannot switch to a locale that LOCPATH names, and says so.
japanese_env() {
  export LOCPATH="$LOCALE_DIR" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 2>/dev/null
}

# Starts Xvfb on the first free display and sets XVFB_PID and DISPLAY.
start_xvfb() {
  local fd_file
  fd_file="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  local tries=0
  until [ -s "$fd_file" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
      rm -f "$fd_file"
      die "Xvfb did not start"
    fi
    sleep 0.1
  done
  DISPLAY=":$(tr -d '\n' <"$fd_file")"
  export DISPLAY
  rm -f "$fd_file"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# The probe (tools/probe/probe.cpp) of the RUN_ARCH build; needs
# WINEPREFIX and DISPLAY. Its output goes through a file: the Wine services
# that the first Wine process of a prefix starts inherit a pipe and keep it
# open long after the probe has ended.
probe() {
  local out status=0
  out="$(mktemp)"
  "$(wine_loader "$RUN_ARCH")" "$BUILD_ROOT/mingw-$RUN_ARCH/tools/probe/probe.exe" "$@" >"$out" 2>/dev/null ||
    status=$?
  cat "$out"
  rm -f "$out"
  return "$status"
}

# Saves the top-level window TITLE, frame included, as a PNG.
capture_window() {
  local xid geometry
  xid="$(probe xid "$1")" || die "no window \"$1\" on $DISPLAY"
  geometry="$(xdotool getwindowgeometry --shell "$xid")"
  local X Y WIDTH HEIGHT
  eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9]+$' <<<"$geometry")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}
