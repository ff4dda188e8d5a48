# Shared by demo.sh and bench.sh (sourced, not run): a board emulator on a
# pseudo-terminal in a temporary alias folder, removed again on exit.
#   start_board [vorlan-board options...]   sets BOARD_COM (e.g. COM1)
# Needs ROOT; uses BIN (default $ROOT/build/bin). Sets WORK, the temp folder.

BIN=${BIN:-$ROOT/build/bin}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-demo.XXXXXX")
BOARD_PID=""

stop_board() {
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null || true
        wait "$BOARD_PID" 2>/dev/null || true
        BOARD_PID=""
    fi
}

cleanup() {
    stop_board
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

export VORLAN_PORT_DIR="$WORK/ports"
export VORLAN_SETTINGS_DIR="$WORK/settings"
mkdir -p "$VORLAN_PORT_DIR" "$VORLAN_SETTINGS_DIR"

start_board() {
    for program in vorlan-board vorlan-flash; do
        if [ ! -x "$BIN/$program" ]; then
            echo "$BIN/$program is missing; run 'make build' first." >&2
            exit 1
        fi
    done
    "$BIN/vorlan-board" "$@" >"$WORK/board.out" 2>"$WORK/board.err" &
    BOARD_PID=$!
    # The emulator names its COM port on its first line.
    tries=0
    while ! grep -q 'COM[0-9]' "$WORK/board.out" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$BOARD_PID" 2>/dev/null; then
            echo "The board emulator did not start:" >&2
            cat "$WORK/board.err" >&2
            exit 1
        fi
        sleep 0.1
    done
    BOARD_COM=$(grep -o 'COM[0-9]*' "$WORK/board.out" | head -n 1)
}
