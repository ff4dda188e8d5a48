#!/bin/sh
# `make demo-line`: a production line in this terminal, no hardware needed.
# One board emulator is three boards in turn behind one COM name: each, once
# programmed, stays a moment (still answering), is taken away, and the next
# one, erased, takes its place. vorlan-flash --loop --count 3 programs each
# once and ends with the tally. Everything is removed after.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"

start_board --boards 3 --stay 1500 --away 2000 --line-rate --dump "$WORK/board.hex"
echo "Board emulator: $(head -n 1 "$WORK/board.out"), three boards in turn"
echo "Running vorlan-flash --port $BOARD_COM --loop --count 3"
echo
status=0
"$BIN/vorlan-flash" --port "$BOARD_COM" --loop --count 3 --log "$WORK/line.log" || status=$?
echo
echo "The line's log, one JSON line per board:"
cat "$WORK/line.log"
exit "$status"
