#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of Trekline's own, kept beside
# the cross-built libraries (about 700 MB, made in some seconds on first use).
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGS...]
# Without a program it only makes the prefix and starts the server, so that a
# run of many tests does not make the prefix in several at once.
# CMake's cross toolchain runs tests through it. A program that makes windows
# needs DISPLAY (xvfb-run), and so does the first Wine process of a server
# session: Wine's desktop process, once started without a display, makes
# later windows fail.
set -euo pipefail

export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/trekline/wine}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# Wine would look for Mono and Gecko, which it cannot download here, and write
# desktop menu entries for what it installs.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=;winemenubuilder.exe=}"

# Wine's service processes outlive the program and keep whatever output they
# were started with: a test runner reading that pipe would wait for them. So
# the server and the prefix's first start get no output of the caller's.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot -i < /dev/null > /dev/null 2>&1
fi
# Kept 10 s after the last program ends, the server spares the next test the
# second it takes to start; one already running makes this a no-op.
wineserver -p10 < /dev/null > /dev/null 2>&1 || true
wine wineboot < /dev/null > /dev/null 2>&1 || {
  status=$?
  echo "wine-run.sh: wineboot failed with status $status in $WINEPREFIX" >&2
  exit "$status"
}

[ $# -gt 0 ] || exit 0
exec wine "$@"
