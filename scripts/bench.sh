#!/bin/sh
# `make bench`: how close a whole update of the demo image comes to the time
# its bytes need on the wire. The emulator runs at the real line rate
# (115200 baud, 8 data bits, no parity, 2 stop bits: 11 bits a byte, both
# directions); vorlan-flash counts the bytes it sent and received. Target:
# run time at most 1.10 x wire time. Then the same through an imitated USB
# adapter whose latency timer holds each answer back (LATENCY_MS, 16 by
# default, as many adapters come): every block waits for its answer, so the
# timer's cost shows in the ratio. A real adapter asked for low latency (the
# updater does so) passes answers on at once. Not a test: the numbers depend
# on the machine's load.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"
RUNS=${RUNS:-3}
LATENCY_MS=${LATENCY_MS:-16}

# bench_runs <label> [vorlan-board options...]: prints one line per run and
# leaves the mean ratio in MEAN_RATIO.
bench_runs() {
    label=$1
    shift
    : >"$WORK/ratios"
    run=1
    while [ "$run" -le "$RUNS" ]; do
        start_board --line-rate "$@"
        if ! "$BIN/vorlan-flash" --port "$BOARD_COM" --stats >"$WORK/flash.out" 2>"$WORK/flash.err"; then
            cat "$WORK/flash.out" "$WORK/flash.err" >&2
            echo "The run failed." >&2
            exit 1
        fi
        stop_board
        grep '^stats ' "$WORK/flash.err" | awk -v run="$run" -v label="$label" -v ratios="$WORK/ratios" '{
            for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
            bytes = v["sent"] + v["received"]
            wire = bytes * 11 / 115200
            printf "%s run %d: %.3f s; %d bytes sent, %d received; wire time %.3f s; ratio %.3f\n",
                   label, run, v["seconds"], v["sent"], v["received"], wire, v["seconds"] / wire
            printf "%f\n", v["seconds"] / wire >> ratios
        }'
        run=$((run + 1))
    done
    MEAN_RATIO=$(awk '{ s += $1 } END { printf "%.3f", s / NR }' "$WORK/ratios")
}

echo "Benchmark: demo image, vorlan-flash against vorlan-board --line-rate, $RUNS runs each"
bench_runs "direct line:"
direct=$MEAN_RATIO
bench_runs "adapter, ${LATENCY_MS} ms latency:" --latency "$LATENCY_MS"
adapter=$MEAN_RATIO
echo
echo "ratio (run time / wire time), mean of $RUNS runs:"
echo "  direct line (as an adapter asked for low latency)   $direct   target <= 1.10"
echo "  adapter with a ${LATENCY_MS} ms latency timer, not asked   $adapter"
