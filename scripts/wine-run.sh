#!/bin/sh
# Runs a program of the Windows build under wine: the emulator of the cross
# build (cmake/mingw-w64.cmake), for the image generator at build time and
# for the tests. The prefix is $WINEPREFIX, else build-windows/wine of this
# checkout; the first call makes it (once, also when calls run in parallel).
# Without arguments it only makes the prefix.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$ROOT/build-windows/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No browser engine or .NET runtime to offer to install.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINE=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$WINE" wineboot --init >/dev/null 2>&1 || true
            "$WINESERVER" -w
        fi
    ) 9>"$WINEPREFIX.lock"
fi
[ "$#" -eq 0 ] && exit 0
exec "$WINE" "$@"
