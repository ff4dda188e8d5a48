#!/bin/sh
# The wine lines of `make bench`: whole runs of the demo image under wine by
# vorlan-flash.exe (in the terminal) and by vorlan.exe (in the window, its
# screenshot hook pressing START on Xvfb), each against vorlan-board
# --line-rate behind a COM link in the wine prefix, against the time the
# run's bytes need on the wire (115200 baud 8N2, 11 bits a byte). Target: at
# most 1.02. Skipped when the Windows build or Xvfb is missing.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=${RUNS:-3}
BIN=${BIN:-$ROOT/build/bin}
WIN_BIN=$ROOT/build-windows/bin
for program in vorlan-flash.exe vorlan.exe; do
    if [ ! -x "$WIN_BIN/$program" ]; then
        echo "wine: skipped ($WIN_BIN/$program is not built: make windows)"
        exit 0
    fi
done
if ! command -v Xvfb >/dev/null 2>&1; then
    echo "wine: skipped (Xvfb is missing)"
    exit 0
fi
export WINEPREFIX="$ROOT/build-windows/wine-desktop"
export WINEDEBUG="${WINEDEBUG:--all}"
. "$ROOT/scripts/wine-desktop.sh"
COM=63
DOSDEVICES="$WINEPREFIX/dosdevices"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-bench-wine.XXXXXX")
BOARD_PID=""
stop_board() {
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null || true
        wait "$BOARD_PID" 2>/dev/null || true
        BOARD_PID=""
    fi
}
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    stop_board
    rm -f "$DOSDEVICES/com$COM"
    stop_display
    rm -rf "$WORK"
}
trap cleanup EXIT

start_board() {
    VORLAN_PORT_DIR="$DOSDEVICES" "$BIN/vorlan-board" --com "$COM" --line-rate \
        >"$WORK/board.out" 2>&1 &
    BOARD_PID=$!
    for _ in $(seq 100); do [ -e "$DOSDEVICES/com$COM" ] && break; sleep 0.1; done
}

wine_desktop_prefix
"$WINESERVER" -k >/dev/null 2>&1 || true
start_display
"$WINE_RUN" reg add 'HKCU\Software\Quenta\Vorlan' /v com /t REG_SZ /d $((COM - 1)) /f \
    >/dev/null 2>&1

echo
echo "Benchmark under wine: demo image against vorlan-board --line-rate, $RUNS runs each"
: >"$WORK/flash.ratios"
: >"$WORK/window.ratios"
run=1
while [ "$run" -le "$RUNS" ]; do
    start_board
    "$WINE_RUN" "$WIN_BIN/vorlan-flash.exe" --port "COM$COM" --stats >"$WORK/flash.out" \
        2>"$WORK/flash.err" || { cat "$WORK/flash.out" "$WORK/flash.err" >&2; exit 1; }
    stop_board
    stats=$(tr -d '\r' <"$WORK/flash.err" | grep '^stats ')
    wire=$(echo "$stats" | awk '{ for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
        printf "%f", (v["sent"] + v["received"]) * 11 / 115200 }')
    seconds=$(echo "$stats" | awk '{ split($2, kv, "="); print kv[2] }')
    echo "$seconds $wire" | awk -v run="$run" -v out="$WORK/flash.ratios" '{
        printf "  vorlan-flash.exe run %d: %.3f s; wire time %.3f s; ratio %.3f\n", run, $1, $2, $1 / $2
        print $1 / $2 >> out }'

    start_board
    VORLAN_SCREENSHOT_DIR="Z:$(echo "$WORK/shots" | tr / '\\')" VORLAN_SCREENSHOT_RUN=1 \
        timeout 120 "$WINE_RUN" "$WIN_BIN/vorlan.exe" 2>"$WORK/window.err" || true
    stop_board
    window=$(tr -d '\r' <"$WORK/window.err" | awk '$1 == "vorlan:" && $2 == "run" { print $3 }')
    if [ -z "$window" ]; then
        cat "$WORK/window.err" >&2
        echo "The window's run reported no time." >&2
        exit 1
    fi
    echo "$window $wire" | awk -v run="$run" -v out="$WORK/window.ratios" '{
        printf "  vorlan.exe (window) run %d: %.3f s; wire time %.3f s; ratio %.3f\n", run, $1, $2, $1 / $2
        print $1 / $2 >> out }'
    run=$((run + 1))
done
echo
echo "Run time / wire time under wine, mean of $RUNS runs:"
printf '  %-52s %s (target <= 1.02)\n' "vorlan-flash.exe, in the terminal:" \
    "$(awk '{ s += $1 } END { printf "%.3f", s / NR }' "$WORK/flash.ratios")"
printf '  %-52s %s (target <= 1.02)\n' "vorlan.exe, in the window:" \
    "$(awk '{ s += $1 } END { printf "%.3f", s / NR }' "$WORK/window.ratios")"
