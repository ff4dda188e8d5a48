#!/bin/sh
# vorlan.exe under wine on Xvfb at 96, 144 and 192 dpi (LogPixels of the
# prefix's user, in a prefix of this test's own): every window's client area
# is its 96-dpi size times dpi / 96, as the screenshot hook reports it. With
# an output folder, the windows at 96 and 192 dpi go there as PNGs
# (<folder>/<dpi>dpi/<window>.png).
#   windows_dpi_test.sh <vorlan.exe> [output folder]
# Exit status 77 (skipped) when Xvfb or xdotool is missing.
set -u
EXE=$1
OUT=${2:-}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$ROOT/build-windows/wine-dpi"
export WINEDEBUG="${WINEDEBUG:--all}"
. "$ROOT/scripts/wine-desktop.sh"

skip_without_display_tools

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-windows-dpi.XXXXXX")
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1
    stop_display
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

FAILED=0
# A screen of 192 dpi has the pixels for the windows at their places.
export XVFB_SCREEN=2560x1600x24
wine_desktop_prefix
# No port to open: the windows as they start.
"$WINE_RUN" reg add 'HKCU\Software\Quenta\Vorlan' /v com /t REG_SZ /d -1 /f >/dev/null 2>&1

# shoot <dpi>: the screenshot hook's report at that dpi in $WORK/<dpi>.
shoot() {
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    "$WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    start_display || return 1
    mkdir -p "$WORK/$1"
    VORLAN_SCREENSHOT_DIR="Z:$(echo "$WORK/$1" | tr / '\\')" VORLAN_TEST_DISMISS_MS=50 \
        timeout 120 "$WINE_RUN" "$EXE" >"$WORK/$1.out" 2>"$WORK/$1.err"
    "$WINESERVER" -k >/dev/null 2>&1
    stop_display
}

# client <dpi> <window>: "<width> <height>" as reported.
client() {
    sed -n "s/^vorlan: saved .*$2\.bmp, client \([0-9]*\) x \([0-9]*\)\r*$/\1 \2/p" "$WORK/$1.err"
}

for dpi in 96 144 192; do
    shoot "$dpi"
done
for window in upgrade-window updater-window port-setup-window version-list-window; do
    set -- $(client 96 "$window")
    if [ $# -ne 2 ]; then
        echo "FAIL $window: no size at 96 dpi"
        cat "$WORK/96.err"
        FAILED=$((FAILED + 1))
        continue
    fi
    width=$1 height=$2
    for dpi in 144 192; do
        # Rounded as MulDiv rounds.
        expected="$(((width * dpi + 48) / 96)) $(((height * dpi + 48) / 96))"
        got=$(client "$dpi" "$window")
        if [ "$got" = "$expected" ]; then
            echo "ok   $window at $dpi dpi: $got (96 dpi: $width $height)"
        else
            echo "FAIL $window at $dpi dpi: client \"$got\", expected \"$expected\""
            FAILED=$((FAILED + 1))
        fi
    done
done

if [ -n "$OUT" ]; then
    for dpi in 96 192; do
        mkdir -p "$OUT/${dpi}dpi"
        for bmp in "$WORK/$dpi"/*.bmp; do
            [ -e "$bmp" ] || continue
            bmp_to_png "$bmp" "$OUT/${dpi}dpi/$(basename "$bmp" .bmp).png"
            echo "$OUT/${dpi}dpi/$(basename "$bmp" .bmp).png"
        done
    done
fi
[ "$FAILED" -eq 0 ]
