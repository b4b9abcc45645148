#!/usr/bin/env bash
# Runs a program of the Windows cross build under wine. The toolchain file
# makes it the build's CMAKE_CROSSCOMPILING_EMULATOR, so CTest and the test
# discovery call it as
#   wine-run.sh --root <build folder> <program.exe> [arguments...]
# and the Makefile brackets a whole test run with
#   wine-run.sh --root <build folder> --start-server | --stop-server
#
# Everything wine keeps stays in the build folder: the prefix in wine/ (made
# once, reused), HOME in wine-home/, TMPDIR in wine-tmp/. The exit code is the
# program's cut to 8 bits by wine (a crash, 0xC0000005, arrives as 5), except
# that a failure whose low 8 bits are 0 arrives as 1.
set -euo pipefail

if [[ $# -lt 2 || $1 != --root ]]; then
  echo "usage: $0 --root <build folder> (<program.exe> [arguments...] | --start-server | --stop-server)" >&2
  exit 2
fi
root=$(realpath "$2")
shift 2

export WINEPREFIX=$root/wine
export HOME=$root/wine-home
export TMPDIR=$root/wine-tmp
export WINEDEBUG=-all
# No .NET or Internet Explorer installers, no desktop menu entries, no session bus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export DBUS_SESSION_BUS_ADDRESS=disabled:
mkdir -p "$HOME" "$TMPDIR"

# Wine's first program of a session starts the server and the system's
# services (services.exe, winedevice.exe, plugplay.exe, ...), and they keep
# that program's standard output and error open for as long as the server
# lives: whoever reads them (CTest, ninja) would wait until then. So the server
# is started here, detached, and a program with its streams on /dev/null goes
# first. `-p` keeps the server `persist` seconds after its last program ends
# (no number: until --stop-server).
start_server() {
  local persist=$1
  if wineserver "-p$persist" </dev/null >/dev/null 2>&1; then
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
  fi
}

stop_server() {
  if [[ -d $WINEPREFIX ]]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
}

# Makes the prefix once and starts the server. Runs under the lock (see
# below): CTest starts many programs at once, and whichever comes first does it.
prepare() {
  local persist=$1
  if [[ -f $WINEPREFIX/.skyvigil-ready ]]; then
    start_server "$persist"
    return
  fi
  stop_server
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineserver "-p$persist" </dev/null >/dev/null 2>&1
  wineboot -i </dev/null >/dev/null 2>&1
  # A crashing program prints its backtrace and ends instead of waiting for
  # someone to close a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1
  stop_server # saves the registry
  # The audio tests play into nothing.
  echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
  touch "$WINEPREFIX/.skyvigil-ready"
  start_server "$persist"
}

# The lock is held by flock, and its file is closed in the locked command
# (-o): the server and the services started there outlive it and must not
# keep the lock.
prepare_locked() {
  flock -o "$root/wine.lock" "$0" --root "$root" --prepare "$1"
}

case "$1" in
  --start-server)
    # A server already running may be one that ends 10 s after its last program.
    stop_server
    prepare_locked ""
    # Wine closes its desktop when the last program using it ends, and a
    # program starting while it closes cannot create windows: with CTest
    # starting programs in parallel that happens. A program that holds the
    # desktop until the server ends keeps it open.
    holder=$root/tests/tools/wine_desktop_holder.exe
    if [[ -f $holder ]]; then
      setsid wine "$holder" </dev/null >/dev/null 2>&1 &
    fi
    ;;
  --stop-server)
    # Ends the server and every program still running in the prefix.
    stop_server
    ;;
  --prepare)
    prepare "$2"
    ;;
  *)
    prepare_locked 10
    exec wine "$@"
    ;;
esac
