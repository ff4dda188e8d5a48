#!/bin/sh
# `make demo`: a whole firmware update against the board emulator, no hardware
# needed. The emulator serves the boot loader at the real line rate on a
# pseudo-terminal linked into a temporary alias folder. With a display the
# desktop updater opens with that port chosen (press START); without one,
# vorlan-flash runs the update in this terminal. Everything is removed after.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"

start_board --line-rate --dump "$WORK/board.hex"
echo "Board emulator: $(head -n 1 "$WORK/board.out")"

if [ -n "${DISPLAY:-}" ] && [ -x "$BIN/vorlan" ]; then
    # The desktop updater reads its port from the setting "com" (COM<n> is n-1).
    mkdir -p "$VORLAN_SETTINGS_DIR/Quenta"
    printf '[General]\ncom=%d\n' $((${BOARD_COM#COM} - 1)) >"$VORLAN_SETTINGS_DIR/Quenta/Vorlan.conf"
    echo "Opening the updater on $BOARD_COM: press START, close the window when done."
    "$BIN/vorlan"
else
    echo "Running vorlan-flash --port $BOARD_COM"
    echo
    "$BIN/vorlan-flash" --port "$BOARD_COM"
fi
