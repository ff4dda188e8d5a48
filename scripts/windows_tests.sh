#!/bin/sh
# make test-windows: the Windows build's tests under wine (ctest --preset
# windows). One wine server runs for the whole suite, started here with its
# service processes, so that no test starts it and none waits for it to end
# (a server started inside a test would hold the test's output open), and
# with it one virtual display for the tests of the program's windows.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$ROOT/build-windows/wine"
export WINEDEBUG="${WINEDEBUG:--all}"
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

. "$ROOT/scripts/wine-desktop.sh"

# The Win32 window tests need a display: one Xvfb for the whole suite, set
# before the wine server and its desktop process start.
if command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1; then
    "$WINESERVER" -k >/dev/null 2>&1 || true # one started without it
    start_display
fi
"$ROOT/scripts/wine-run.sh" # the prefix, made once
wine_desktop_prefix
"$WINESERVER" -w # the one those settings started, before ours
"$WINESERVER" -p >/dev/null 2>&1 || true # stays until -k (or runs already)
trap '"$WINESERVER" -k >/dev/null 2>&1 || true; stop_display' EXIT
"$ROOT/scripts/wine-run.sh" wineboot >/dev/null 2>&1
cd "$ROOT"
ctest --preset windows -j "${JOBS:-2}" "$@"
