#!/bin/sh
# make test-windows: the Windows build's tests under wine (ctest --preset
# windows). One wine server runs for the whole suite, started here with its
# service processes, so that no test starts it and none waits for it to end
# (a server started inside a test would hold the test's output open).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$ROOT/build-windows/wine"
export WINEDEBUG="${WINEDEBUG:--all}"
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

"$ROOT/scripts/wine-run.sh" # the prefix, made once
"$WINESERVER" -p >/dev/null 2>&1 || true # stays until -k (or runs already)
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
"$ROOT/scripts/wine-run.sh" wineboot >/dev/null 2>&1
cd "$ROOT"
ctest --preset windows -j "${JOBS:-2}" "$@"
