#!/bin/sh
# `make serial-check`: a production line at scale handing out serial numbers
# from one counter file. One vorlan-flash call serves 32 ports, three more
# stations run beside it as processes of their own on 4 ports each, more
# than 1000 boards in all, and every FAULT_EVERY-th board refuses a frame
# until its run fails. One station is killed with SIGKILL together with its
# runs while they hold numbers, as a power cut would, and is started again.
# At the end the numbers of the boards that were called programmed must be
# 1..N with no duplicate and no gap, the counter must hand out N+1 next and
# hold no reservation, a station must have named the killed runs' numbers as
# free again, and every programmed board's dump must hold its own number.
# Takes about a minute; not part of `make test`.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"
BIG_PORTS=32        # ports of the one call
SMALL_PORTS=4       # ports of each other station
BIG_BOARDS=${BIG_BOARDS:-24}
SMALL_BOARDS=${SMALL_BOARDS:-30}
FAULT_EVERY=${FAULT_EVERY:-7}
export XDG_STATE_HOME="$WORK/state"   # failed runs' traces stay in the work folder

COUNTER="$WORK/counter"
LOG="$WORK/line.log"
SERIAL="--serial $COUNTER --serial-range 1-100000 --serial-at program:0x1000 --serial-format le4"
# 16-bit part: program address 0x1000 is byte 0x2000 of the dump; le4 fills
# bytes 0x2000-0x2002 and 0x2004 and leaves the phantom byte 0x2003 zero.

# boards FIRST LAST [options]: one emulator per COM number, boards without
# end, each dumping board n's memory to dump<com>-n.hex.
boards() {
    first=$1
    last=$2
    shift 2
    n=$first
    while [ "$n" -le "$last" ]; do
        "$BIN/vorlan-board" --com "$n" --boards 0 --stay 200 --away 1300 \
            --refuse 3:9 --faults-every "$FAULT_EVERY" --dump "$WORK/dump$n.hex" "$@" \
            >"$WORK/board$n.out" 2>"$WORK/board$n.err" &
        BOARD_PIDS="$BOARD_PIDS $!"
        n=$((n + 1))
    done
}

ports() {
    n=$1
    while [ "$n" -le "$2" ]; do
        printf ' --port COM%d' "$n"
        n=$((n + 1))
    done
}

# station NAME FIRST LAST COUNT: a vorlan-flash process in the background
# (its pid in STATION_PID).
station() {
    # shellcheck disable=SC2046,SC2086 # one word per option
    "$BIN/vorlan-flash" $(ports "$2" "$3") --loop --count "$4" --quiet --log "$LOG" $SERIAL \
        >"$WORK/$1.out" 2>"$WORK/$1.err" &
    STATION_PID=$!
}

check_programs
boards 1 $((BIG_PORTS + 2 * SMALL_PORTS))
# The station that is killed works at the line's rate, so that a kill finds
# it inside a run.
boards $((BIG_PORTS + 2 * SMALL_PORTS + 1)) $((BIG_PORTS + 3 * SMALL_PORTS)) --line-rate
sleep 1

started=$(date +%s)
b=$((BIG_PORTS + 1))
c=$((b + SMALL_PORTS))
d=$((c + SMALL_PORTS))
station big 1 "$BIG_PORTS" "$BIG_BOARDS"
big=$STATION_PID
station second "$b" $((c - 1)) "$SMALL_BOARDS"
second=$STATION_PID
station third "$c" $((d - 1)) "$SMALL_BOARDS"
third=$STATION_PID
station killed "$d" $((d + SMALL_PORTS - 1)) 3
killed=$STATION_PID

# Wait until the station's runs (one child process per port) hold
# reservations, then kill the station and its runs at once, as a power cut
# would: nobody gives their numbers back.
held=0
tries=0
while [ "$held" -lt 2 ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 600 ]; then
        echo "The station to be killed never held a reservation:" >&2
        cat "$WORK/killed.out" "$WORK/killed.err" "$COUNTER" >&2
        exit 1
    fi
    sleep 0.1
    runs=$(pgrep -P "$killed" | tr '\n' ' ')
    held=0
    for pid in $runs; do
        if grep -q "^reserved .* $pid\." "$COUNTER" 2>/dev/null; then held=$((held + 1)); fi
    done
done
# shellcheck disable=SC2086 # one word per pid
kill -9 "$killed" $runs 2>/dev/null || true
wait "$killed" 2>/dev/null || true
held=0
for pid in $runs; do
    held=$((held + $(grep -c "^reserved .* $pid\." "$COUNTER" || true)))
done
echo "killed station $killed and its runs with SIGKILL; its runs held $held reservations"
sleep 3   # its boards finish their interrupted run and go away
station restarted "$d" $((d + SMALL_PORTS - 1)) 3
restarted=$STATION_PID

status=0
for pid in $big $second $third $restarted; do
    wait "$pid" || true
done
elapsed=$(($(date +%s) - started))
stop_boards

# Whichever station next touches the counter finds the killed runs'
# reservations and says so.
if ! cat "$WORK"/*.err | grep "which no longer runs; it is free again"; then
    echo "FAIL: no station named the killed runs' reservations" >&2
    status=1
fi

# Every result record: port, serial, programmed or not.
awk '
    function field(name,    start, rest) {
        start = index($0, "\"" name "\":")
        if (start == 0) return ""
        rest = substr($0, start + length(name) + 3)
        gsub(/^"/, "", rest)
        sub(/[",}].*/, "", rest)
        return rest
    }
    /"event":"result"/ { print field("port"), field("serial"), (index($0, "\"ok\":true") ? "ok" : "failed") }
' "$LOG" >"$WORK/results"

# The number each dump holds (le4 at byte 0x2000, phantom byte 0x2003) and
# whether the phantom byte is 0, as "COM<n> <board> <number> <phantom>".
for dump in "$WORK"/dump*-*.hex; do
    name=${dump##*/dump}
    name=${name%.hex}
    awk -v com="COM${name%-*}" -v board="${name#*-}" '
        function hex(text,    i, v) {
            v = 0
            for (i = 1; i <= length(text); ++i)
                v = v * 16 + index("0123456789ABCDEF", toupper(substr(text, i, 1))) - 1
            return v
        }
        BEGIN { upper = 0 }
        {
            count = hex(substr($0, 2, 2)); address = hex(substr($0, 4, 4)); type = hex(substr($0, 8, 2))
            if (type == 4) upper = hex(substr($0, 10, 4)) * 65536
            if (type != 0) next
            for (i = 0; i < count; ++i) {
                at = upper + address + i
                if (at >= 8192 && at <= 8196) byte[at - 8192] = hex(substr($0, 10 + 2 * i, 2))
            }
        }
        END {
            if (!(0 in byte)) exit
            print com, board, byte[0] + byte[1] * 256 + byte[2] * 65536 + byte[4] * 16777216, byte[3]
        }' "$dump"
done | sort -k1,1 -k2,2n >"$WORK/dumps"

programmed=$(awk '$3 == "ok"' "$WORK/results" | wc -l)
failed=$(awk '$3 == "failed"' "$WORK/results" | wc -l)
awk '$3 == "ok" { print $2 }' "$WORK/results" | sort -n >"$WORK/numbers"
duplicates=$(uniq -d "$WORK/numbers" | wc -l)
gaps=$(awk '$1 != NR' "$WORK/numbers" | wc -l)
echo "$((programmed + failed)) boards in ${elapsed} s: $programmed programmed, $failed failed; $duplicates duplicate and $gaps misplaced numbers"
[ "$programmed" -ge 1 ] && [ "$duplicates" -eq 0 ] && [ "$gaps" -eq 0 ] || status=1
if [ $((programmed + failed)) -lt 1000 ]; then
    echo "FAIL: fewer than 1000 boards" >&2
    status=1
fi

if ! grep -qx "next $((programmed + 1))" "$COUNTER" || grep -q '^reserved' "$COUNTER"; then
    echo "FAIL: the counter file does not follow the programmed boards:" >&2
    cat "$COUNTER" >&2
    status=1
fi

# On each port the programmed numbers, in the order of the log, are found in
# that port's dumps in the order of the boards, each with its phantom byte 0.
unmatched=$(awk '
    FNR == NR { if ($3 == "ok") wanted[$1, ++want[$1]] = $2; next }
    { ++seen[$1]; number[$1, seen[$1]] = $3; phantom[$1, seen[$1]] = $4 }
    END {
        for (port in want) {
            j = 1
            for (i = 1; i <= want[port]; ++i) {
                while (j <= seen[port] && (number[port, j] != wanted[port, i] || phantom[port, j] != 0)) ++j
                if (j > seen[port]) { print port, wanted[port, i]; break }
                ++j
            }
        }
    }' "$WORK/results" "$WORK/dumps")
if [ -n "$unmatched" ]; then
    echo "FAIL: programmed numbers missing from their boards' dumps (port, number):" >&2
    echo "$unmatched" >&2
    status=1
else
    echo "every programmed board's dump holds its own number"
fi
[ "$status" -eq 0 ] && echo "serial numbers: no duplicate, no gap" || echo "serial numbers: FAILED"
exit "$status"
