#!/bin/sh
# vorlan-flash.exe under wine against the Linux board emulator, each case
# beside the Linux vorlan-flash against a board with the same options: the
# Windows build must print the same texts, end with the same status and leave
# the same bytes in the board. The emulator's pseudo-terminal reaches wine as
# a COM port through a link in the prefix's dosdevices folder.
#   windows_board_test.sh <vorlan-flash.exe> <folder of the Linux programs> <build version>
# Exit status 77 (skipped) when the Linux programs are not built.
set -u
EXE=$1
LINUX_BIN=$2
BUILD_VERSION=$3
ROOT=$(cd "$(dirname "$0")/.." && pwd)
WINE_RUN="$ROOT/scripts/wine-run.sh"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build-windows/wine}"
RUN_LIMIT=60 # seconds; a search that finds nothing takes about 10

for program in vorlan-board vorlan-flash; do
    if [ ! -x "$LINUX_BIN/$program" ]; then
        echo "skipped: $LINUX_BIN/$program is not built (make build)"
        exit 77
    fi
done
"$WINE_RUN" # the prefix, made once
DOSDEVICES="$WINEPREFIX/dosdevices"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-windows-board.XXXXXX")
BOARD_PID=""
LINKS=""
cleanup() {
    stop_board
    for link in $LINKS; do rm -f "$link"; done
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir -p "$WORK/ports" "$WORK/settings"
# The Linux build's failed runs keep their traces here, not in the home folder.
export XDG_STATE_HOME="$WORK/state"

PASSED=0
FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "ok   $1"; }
fail() {
    FAILED=$((FAILED + 1))
    echo "FAIL $1: $2"
    [ -n "${3:-}" ] && sed 's/^/     | /' "$3"
}

# start_board <alias folder> <com> <dump> [options...]
start_board() {
    folder=$1 com=$2 dump=$3
    shift 3
    VORLAN_PORT_DIR="$folder" "$LINUX_BIN/vorlan-board" --com "$com" --dump "$dump" "$@" \
        >"$WORK/board.out" 2>"$WORK/board.err" &
    BOARD_PID=$!
    LINKS="$LINKS $folder/com$com"
    tries=0
    until grep -q "COM$com" "$WORK/board.out" 2>/dev/null; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$BOARD_PID" 2>/dev/null; then
            echo "vorlan-board did not start:" >&2
            cat "$WORK/board.err" >&2
            exit 1
        fi
        sleep 0.1
    done
}

# Ends the emulator, which then writes its dump.
stop_board() {
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null
        wait "$BOARD_PID" 2>/dev/null
        BOARD_PID=""
    fi
}

# flash <side> <out file> [arguments...]: one run, its exit status in STATUS
# (124 when it had to be killed). The output is kept with Windows' line ends
# made "\n".
flash() {
    side=$1 out=$2
    shift 2
    if [ "$side" = linux ]; then
        VORLAN_PORT_DIR="$WORK/ports" VORLAN_SETTINGS_DIR="$WORK/settings" \
            timeout "$RUN_LIMIT" "$LINUX_BIN/vorlan-flash" "$@" >"$out.raw" 2>"$out.err"
    else
        timeout "$RUN_LIMIT" "$WINE_RUN" "$EXE" "$@" >"$out.raw" 2>"$out.err"
    fi
    STATUS=$?
    tr -d '\r' <"$out.raw" >"$out"
}

# What must agree between the two builds: every line, but run times, where
# the COM name leads and where each system keeps a failed run's trace.
comparable() {
    sed -e 's/^\(vorlan-flash, .*, port COM[0-9]*\) (.*)$/\1/' \
        -e 's/^Result after [0-9.]* s:/Result:/' -e 's/ ([0-9.]* s\([,)]\)/ (s\1/' \
        -e 's/ - trace .*$/ - trace/' "$1"
}

# same_run <name> <com> <exit status> <text> [board options...]: the board
# with these options served to each build in turn.
same_run() {
    name=$1 com=$2 want=$3 text=$4
    shift 4
    for side in linux windows; do
        folder="$WORK/ports"
        [ "$side" = windows ] && folder="$DOSDEVICES"
        start_board "$folder" "$com" "$WORK/$side.hex" "$@"
        flash "$side" "$WORK/$side.out" --port "COM$com"
        eval "${side}_status=$STATUS"
        stop_board
    done
    if [ "$linux_status" != "$want" ] || ! grep -qF -- "$text" "$WORK/linux.out"; then
        fail "$name" "the Linux build ended $linux_status, not $want with \"$text\"" \
            "$WORK/linux.out"
    elif [ "$windows_status" != "$linux_status" ]; then
        fail "$name" "ended $windows_status, the Linux build $linux_status" "$WORK/windows.out"
    elif ! comparable "$WORK/windows.out" >"$WORK/windows.cmp" ||
        ! comparable "$WORK/linux.out" >"$WORK/linux.cmp" ||
        ! diff -u "$WORK/linux.cmp" "$WORK/windows.cmp" >"$WORK/diff"; then
        fail "$name" "printed other texts than the Linux build" "$WORK/diff"
    elif [ -s "$WORK/windows.out.err" ]; then
        fail "$name" "wrote to standard error" "$WORK/windows.out.err"
    elif ! cmp -s "$WORK/linux.hex" "$WORK/windows.hex"; then
        fail "$name" "left other bytes in the board than the Linux build"
    else
        pass "$name"
    fi
}

# The success text of the build's main window.
case "$BUILD_VERSION" in
    *HNX* | *BRQ*) SUCCESS="Program OK" ;;
    *) SUCCESS=" Program Ok " ;;
esac

same_run "a whole run leaves the image in the board" 41 0 "$SUCCESS"
cp "$WORK/linux.hex" "$WORK/image.hex" 2>/dev/null # the programmed board
same_run "five refusals of a block use up the resends" 42 1 " CHK Error !! " --refuse 3:5
same_run "four refusals: the fifth send is taken" 43 0 "$SUCCESS" --refuse 3:4
same_run "a block in the middle left unanswered" 44 1 " not Response " --silent 10
same_run "the block with the image's head left unanswered" 45 1 " not Response " --silent 252
same_run "the line goes away in the middle" 46 1 " not Response " --hangup 100
same_run "stray bytes before an acknowledgement" 47 0 "$SUCCESS" --stray 5:3F11
same_run "a boot loader that answers only a later search" 48 0 "$SUCCESS" --late 1
same_run "a board with another chip" 49 1 "no firmware in this build for this board" --chip 66

# Two boards at once: vorlan-flash.exe starts itself once per port.
start_board "$DOSDEVICES" 55 "$WORK/first.hex"
FIRST_PID=$BOARD_PID
start_board "$DOSDEVICES" 56 "$WORK/second.hex"
flash windows "$WORK/two.out" --port COM55 --port COM56
stop_board
BOARD_PID=$FIRST_PID
stop_board
if [ "$STATUS" = 0 ] && grep -q "2 of 2 boards programmed" "$WORK/two.out" &&
    cmp -s "$WORK/first.hex" "$WORK/image.hex" && cmp -s "$WORK/second.hex" "$WORK/image.hex"; then
    pass "two boards at once"
else
    fail "two boards at once" "ended $STATUS" "$WORK/two.out"
fi
# The runs' lines reach the parent with their CR LF; each line it prints ends
# in exactly one.
CR=$(printf '\r')
LINES=$(wc -l <"$WORK/two.out.raw")
if [ "$LINES" -gt 0 ] && ! grep -q "$CR$CR" "$WORK/two.out.raw" &&
    [ "$(grep -c "$CR\$" "$WORK/two.out.raw")" = "$LINES" ]; then
    pass "two boards at once: every line ends in one CR LF"
else
    fail "two boards at once: every line ends in one CR LF" "$LINES lines" "$WORK/two.out.raw"
fi

# Ctrl-C (wine turns the terminal's SIGINT into the console's Ctrl-C event)
# ends the run as the stop button does, with the status of an interrupted
# program.
start_board "$DOSDEVICES" 51 "$WORK/stop.hex" --line-rate
"$WINE_RUN" "$EXE" --port COM51 >"$WORK/stop.raw" 2>"$WORK/stop.err" &
FLASH_PID=$!
tries=0
until grep -q "Programming" "$WORK/stop.raw" 2>/dev/null || [ "$tries" -gt 200 ]; do
    tries=$((tries + 1))
    sleep 0.1
done
kill -INT "$FLASH_PID"
wait "$FLASH_PID"
STATUS=$?
stop_board
tr -d '\r' <"$WORK/stop.raw" >"$WORK/stop.out"
if [ "$STATUS" = 130 ] && grep -qxF " User Abort !! " "$WORK/stop.out"; then
    pass "Ctrl-C ends the run as the stop button does"
else
    fail "Ctrl-C ends the run as the stop button does" "ended $STATUS" "$WORK/stop.out"
fi

# A COM port that is not there: the Windows device name and the system's words.
flash windows "$WORK/missing.out" --port COM9
if [ "$STATUS" = 1 ] && grep -qxF "Invalid Port Com" "$WORK/missing.out" &&
    tail -n 1 "$WORK/missing.out" | grep -qF '\\.\COM9'; then
    pass "a missing port is reported with its device name"
else
    fail "a missing port is reported with its device name" "ended $STATUS" "$WORK/missing.out"
fi

# Without --port the setting "com" from the registry, where the desktop
# program keeps it, chooses the port.
SETTINGS_KEY='HKCU\Software\Quenta\Vorlan'
"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_SZ /d 52 /f >/dev/null 2>&1
start_board "$DOSDEVICES" 53 "$WORK/setting.hex"
flash windows "$WORK/setting.out"
stop_board
"$WINE_RUN" reg delete "$SETTINGS_KEY" /v com /f >/dev/null 2>&1
if [ "$STATUS" = 0 ] && grep -q "port COM53" "$WORK/setting.out"; then
    pass "the stored setting chooses the port"
else
    fail "the stored setting chooses the port" "ended $STATUS" "$WORK/setting.out"
fi

echo "windows_board: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
