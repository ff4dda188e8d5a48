#!/bin/sh
# `make bench`: how close a whole update of the demo image comes to the time
# its bytes need on the wire. The emulator runs at the real line rate
# (115200 baud, 8 data bits, no parity, 2 stop bits: 11 bits a byte, both
# directions); vorlan-flash counts the bytes it sent and received. Target:
# run time at most 1.10 x wire time. Not a test: the numbers depend on the
# machine's load.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"
RUNS=${RUNS:-3}

echo "Benchmark: demo image, vorlan-flash against vorlan-board --line-rate, $RUNS runs"
run=1
while [ "$run" -le "$RUNS" ]; do
    start_board --line-rate
    if ! "$BIN/vorlan-flash" --port "$BOARD_COM" --stats >"$WORK/flash.out" 2>"$WORK/flash.err"; then
        cat "$WORK/flash.out" "$WORK/flash.err" >&2
        echo "The run failed." >&2
        exit 1
    fi
    stop_board
    grep '^stats ' "$WORK/flash.err" | awk -v run="$run" '{
        for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
        bytes = v["sent"] + v["received"]
        wire = bytes * 11 / 115200
        printf "run %d: %.3f s; %d bytes sent, %d received; wire time %.3f s; ratio %.3f (target <= 1.10)\n",
               run, v["seconds"], v["sent"], v["received"], wire, v["seconds"] / wire
    }'
    run=$((run + 1))
done
