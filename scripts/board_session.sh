# Shared by demo.sh and bench.sh (sourced, not run): a board emulator on a
# pseudo-terminal in a temporary alias folder, removed again on exit.
#   start_board [vorlan-board options...]   sets BOARD_COM (e.g. COM1)
#   start_boards COUNT [options...]          COUNT boards as COM1..COM<COUNT>;
#                                            sets BOARD_COMS ("COM1 COM2 ...")
# Needs ROOT; uses BIN (default $ROOT/build/bin). Sets WORK, the temp folder.

BIN=${BIN:-$ROOT/build/bin}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-demo.XXXXXX")
BOARD_PID=""
BOARD_PIDS=""

stop_board() {
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null || true
        wait "$BOARD_PID" 2>/dev/null || true
        BOARD_PID=""
    fi
}

stop_boards() {
    for pid in $BOARD_PIDS; do kill "$pid" 2>/dev/null || true; done
    for pid in $BOARD_PIDS; do wait "$pid" 2>/dev/null || true; done
    BOARD_PIDS=""
}

cleanup() {
    stop_board
    stop_boards
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

export VORLAN_PORT_DIR="$WORK/ports"
export VORLAN_SETTINGS_DIR="$WORK/settings"
mkdir -p "$VORLAN_PORT_DIR" "$VORLAN_SETTINGS_DIR"

check_programs() {
    for program in vorlan-board vorlan-flash; do
        if [ ! -x "$BIN/$program" ]; then
            echo "$BIN/$program is missing; run 'make build' first." >&2
            exit 1
        fi
    done
}

start_board() {
    check_programs
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

start_boards() {
    check_programs
    count=$1
    shift
    BOARD_COMS=""
    n=1
    while [ "$n" -le "$count" ]; do
        "$BIN/vorlan-board" --com "$n" "$@" >"$WORK/board$n.out" 2>"$WORK/board$n.err" &
        BOARD_PIDS="$BOARD_PIDS $!"
        BOARD_COMS="$BOARD_COMS COM$n"
        n=$((n + 1))
    done
    # Each emulator names its COM port on its first line.
    n=1
    tries=0
    while [ "$n" -le "$count" ]; do
        if grep -q 'COM[0-9]' "$WORK/board$n.out" 2>/dev/null; then
            n=$((n + 1))
            continue
        fi
        tries=$((tries + 1))
        if [ "$tries" -gt 200 ]; then
            echo "Board emulator $n did not start:" >&2
            cat "$WORK/board$n.err" >&2
            exit 1
        fi
        sleep 0.05
    done
}
