#!/bin/sh
# PNGs of the four windows of vorlan.exe under wine on Xvfb, for the
# documentation: the program's screenshot hook shows each window after a
# finished update against the Linux board emulator (behind a COM link in the
# prefix) and saves it as the screen shows it, frame included.
#   scripts/windows_screenshots.sh <vorlan.exe> <folder of the Linux programs> <output folder>
set -eu
EXE=$1
LINUX_BIN=$2
OUT=$3
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
"$WINESERVER" -k >/dev/null 2>&1 || true
start_display
"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_SZ /d $((COM - 1)) /f >/dev/null 2>&1
VORLAN_PORT_DIR="$DOSDEVICES" "$LINUX_BIN/vorlan-board" --com "$COM" >"$WORK/board.out" 2>&1 &
BOARD_PID=$!
for _ in $(seq 100); do [ -e "$DOSDEVICES/com$COM" ] && break; sleep 0.1; done

# wine's drive Z: is the Linux root.
VORLAN_SCREENSHOT_DIR="Z:$(echo "$WORK" | tr / '\\')" \
    VORLAN_SCREENSHOT_RUN=1 timeout 120 "$WINE_RUN" "$EXE"
mkdir -p "$OUT"
for bmp in "$WORK"/*.bmp; do
    name=$(basename "$bmp" .bmp)
    bmp_to_png "$bmp" "$OUT/$name.png"
    echo "$OUT/$name.png"
done
