#!/bin/sh
# PNGs of the four windows of vorlan.exe under wine on Xvfb, for the
# documentation: the program's screenshot hook shows each window after a
# finished update against the Linux board emulator (behind a COM link in the
# prefix) and saves it as the screen shows it, frame included; at the given
# dpi (the prefix user's LogPixels), 96 unless given.
#   scripts/windows_screenshots.sh <vorlan.exe> <folder of the Linux programs> <output folder> [dpi]
set -eu
EXE=$1
LINUX_BIN=$2
OUT=$3
DPI=${4:-96}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$ROOT/build-windows/wine-desktop"
export WINEDEBUG="${WINEDEBUG:--all}"
. "$ROOT/scripts/wine-desktop.sh"
COM=62
DOSDEVICES="$WINEPREFIX/dosdevices"
SETTINGS_KEY='HKCU\Software\Quenta\Vorlan'

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-windows-shots.XXXXXX")
BOARD_PID=""
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null || true
        wait "$BOARD_PID" 2>/dev/null || true
    fi
    rm -f "$DOSDEVICES/com$COM"
    stop_display
    rm -rf "$WORK"
}
trap cleanup EXIT

wine_desktop_prefix
"$WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f \
    >/dev/null 2>&1
"$WINESERVER" -k >/dev/null 2>&1 || true
"$WINESERVER" -w >/dev/null 2>&1 || true
# Room for the windows at their places on a screen of that dpi.
export XVFB_SCREEN="$((1280 * DPI / 96))x$((800 * DPI / 96))x24"
start_display
"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_SZ /d $((COM - 1)) /f >/dev/null 2>&1
VORLAN_PORT_DIR="$DOSDEVICES" "$LINUX_BIN/vorlan-board" --com "$COM" >"$WORK/board.out" 2>&1 &
BOARD_PID=$!
for _ in $(seq 100); do [ -e "$DOSDEVICES/com$COM" ] && break; sleep 0.1; done

# wine's drive Z: is the Linux root.
VORLAN_SCREENSHOT_DIR="Z:$(echo "$WORK" | tr / '\\')" \
    VORLAN_SCREENSHOT_RUN=1 timeout 120 "$WINE_RUN" "$EXE"
# The prefix serves the window tests too: back to 96 dpi.
"$WINE_RUN" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
    >/dev/null 2>&1
mkdir -p "$OUT"
for bmp in "$WORK"/*.bmp; do
    name=$(basename "$bmp" .bmp)
    bmp_to_png "$bmp" "$OUT/$name.png"
    echo "$OUT/$name.png"
done
