#!/bin/sh
# `make bench`: how close a whole update of the demo image comes to the time
# its bytes need on the wire. The emulator runs at the real line rate
# (115200 baud, 8 data bits, no parity, 2 stop bits: 11 bits a byte, both
# directions); vorlan-flash counts the bytes it sent and received. Target:
# run time at most 1.10 x wire time. Then the same through an imitated USB
# adapter whose latency timer holds each answer back (LATENCY_MS, 16 by
# default, as many adapters come): every block waits for its answer, so the
# timer's cost shows in the ratio. A real adapter asked for low latency (the
# updater does so) passes answers on at once. Last, BOARDS (32 by default)
# emulated boards programmed by one vorlan-flash call with a --port each:
# target at most 1.10 x the wire time of one run; the same with a serial
# number for each board from one counter file, target at most 1.05. Not a
# test: the numbers depend on the machine's load.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"
RUNS=${RUNS:-3}
LATENCY_MS=${LATENCY_MS:-16}
BOARDS=${BOARDS:-32}

# bench_runs <label> [vorlan-board options...]: prints one line per run and
# leaves the means of the ratio and of the run time in MEAN_RATIO and
# MEAN_SECONDS.
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
            printf "%f %f\n", v["seconds"] / wire, v["seconds"] >> ratios
        }'
        run=$((run + 1))
    done
    MEAN_RATIO=$(awk '{ s += $1 } END { printf "%.3f", s / NR }' "$WORK/ratios")
    MEAN_SECONDS=$(awk '{ s += $2 } END { printf "%.3f", s / NR }' "$WORK/ratios")
}

echo "Benchmark: demo image, vorlan-flash against vorlan-board --line-rate, $RUNS runs each"
bench_runs "direct line:"
direct=$MEAN_RATIO
direct_seconds=$MEAN_SECONDS
# The same without the run's trace (VORLAN_NO_TRACE, for this measure only):
# what recording every byte costs.
VORLAN_NO_TRACE=1
export VORLAN_NO_TRACE
bench_runs "direct line, no trace:"
untraced_seconds=$MEAN_SECONDS
unset VORLAN_NO_TRACE
bench_runs "adapter, ${LATENCY_MS} ms latency:" --latency "$LATENCY_MS"
echo
echo "Run time / wire time, mean of $RUNS runs:"
printf '  %-52s %s (target <= 1.10)\n' "direct line (or an adapter asked for low latency):" "$direct"
printf '  %-52s %s (%+.1f s a run)\n' "adapter with a $LATENCY_MS ms latency timer:" "$MEAN_RATIO" \
    "$(awk -v a="$MEAN_SECONDS" -v b="$direct_seconds" 'BEGIN { print a - b }')"

printf '  %-52s %s (target <= 1.002)\n' "run time with the trace / without:" \
    "$(awk -v a="$direct_seconds" -v b="$untraced_seconds" 'BEGIN { printf "%.4f", a / b }')"
echo
# boards_call <label> [vorlan-flash options...]: BOARDS emulated boards at the
# line rate, one vorlan-flash call with a --port each; prints the slowest run
# and the whole call against the wire time of one run.
boards_call() {
    label=$1
    shift
    start_boards "$BOARDS" --line-rate
    ports=""
    for com in $BOARD_COMS; do ports="$ports --port $com"; done
    start=$(date +%s.%N)
    # shellcheck disable=SC2086 # one word per port option
    if ! "$BIN/vorlan-flash" $ports "$@" --quiet --stats >"$WORK/flash.out" 2>"$WORK/flash.err"; then
        cat "$WORK/flash.out" "$WORK/flash.err" >&2
        echo "A run failed." >&2
        exit 1
    fi
    end=$(date +%s.%N)
    stop_boards
    # Every run sends and receives the same bytes; the slowest run is the one shown.
    grep ': stats ' "$WORK/flash.err" | awk -v boards="$BOARDS" -v start="$start" -v end="$end" \
        -v label="$label" '{
        for (i = 3; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
        if (v["seconds"] > slowest) slowest = v["seconds"]
        bytes = v["sent"] + v["received"]
        ++runs
    } END {
        wire = bytes * 11 / 115200
        wall = end - start
        printf "  %s: %d boards, %d runs: slowest run %.3f s; whole call %.3f s\n", label, boards, runs, slowest, wall
        printf "  %s: whole call / wire time of one run (%.3f s): %.3f\n", label, wire, wall / wire
    }'
}

echo "Benchmark: $BOARDS boards at once, one vorlan-flash call with $BOARDS --port (target <= 1.10),"
echo "then the same with a serial number for every board from one counter file (target <= 1.05)"
boards_call "plain"
boards_call "--serial" --serial "$WORK/serials" --serial-range 1-1000000 \
    --serial-at program:0x1000 --serial-format le4

# The same run under wine, in the terminal and in the window, when the
# Windows build is there (make windows).
"$ROOT/scripts/bench_wine.sh"
