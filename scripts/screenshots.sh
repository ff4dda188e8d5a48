#!/bin/sh
# Saves a PNG of each window of the desktop program (Upgrade window, Updater
# window, Port setup, Version list) into a folder, docs/screenshots/ by
# default. Runs the real program under a virtual X display (xvfb-run) with
# its screenshot hook: each window is shown, grabbed and saved, then the
# program ends. When the board emulator (vorlan-board) sits beside the
# program, it serves COM1 and the main window is shown after a finished
# update. Settings and port aliases go to a temporary folder, so the user's
# own are never touched.
#
#   scripts/screenshots.sh [program] [output folder]
set -eu

program=${1:-build/bin/vorlan}
out=${2:-docs/screenshots}
emulator=$(dirname "$program")/vorlan-board

if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "screenshots: xvfb-run is missing (Debian packages xvfb and xauth)" >&2
    exit 1
fi

work=$(mktemp -d)
board_pid=
cleanup() {
    if [ -n "$board_pid" ]; then kill "$board_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/runtime" "$work/settings" "$work/ports" "$out"
chmod 700 "$work/runtime"
out=$(cd "$out" && pwd)
export XDG_RUNTIME_DIR="$work/runtime"
export VORLAN_SETTINGS_DIR="$work/settings"
export VORLAN_PORT_DIR="$work/ports"

run=0
if [ -x "$emulator" ]; then
    "$emulator" --com 1 >"$work/board.log" 2>&1 &
    board_pid=$!
    # The emulator links its pseudo-terminal as com1 once it is ready.
    for _ in $(seq 50); do
        [ -e "$work/ports/com1" ] && break
        sleep 0.1
    done
    [ -e "$work/ports/com1" ] && run=1
fi

VORLAN_SCREENSHOT_DIR="$out" VORLAN_SCREENSHOT_RUN=$run VORLAN_TEST_DISMISS_MS=1000 \
    timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" "$program"

ls -1 "$out"/*.png
