#!/bin/sh
# vorlan.exe under wine on Xvfb with no window manager, driven with xdotool as
# a person would, against the Linux board emulator behind a COM link in the
# prefix's dosdevices folder:
#   - the main window appears with its title;
#   - a mouse click on the start button programs the board with the whole
#     image (the same bytes the Linux vorlan-flash leaves);
#   - a run that fails keeps its trace under AppData\Local and names it;
#   - a second copy shows "Already in progress" captioned with the Updater
#     title, and ends;
#   - Alt+F4 ends the program and stores "com" under HKCU;
#   - a "com" of the wrong type ends start-up through the error display.
#   windows_desktop_test.sh <vorlan.exe> <folder of the Linux programs> <build version>
# Exit status 77 (skipped) when the Linux programs or Xvfb and xdotool are
# missing.
set -u
EXE=$1
LINUX_BIN=$2
BUILD_VERSION=$3
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# A prefix of its own: its wine server starts with this test's display and
# ends with the test.
export WINEPREFIX="$ROOT/build-windows/wine-desktop"
export WINEDEBUG="${WINEDEBUG:--all}"
. "$ROOT/scripts/wine-desktop.sh"

for program in vorlan-board vorlan-flash; do
    if [ ! -x "$LINUX_BIN/$program" ]; then
        echo "skipped: $LINUX_BIN/$program is not built (make build)"
        exit 77
    fi
done
skip_without_display_tools

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-windows-desktop.XXXXXX")
DOSDEVICES="$WINEPREFIX/dosdevices"
SETTINGS_KEY='HKCU\Software\Quenta\Vorlan'
COM=61
BOARD_PID=""
PROGRAM_PID=""
cleanup() {
    "$WINESERVER" -k >/dev/null 2>&1
    if [ -n "$BOARD_PID" ]; then
        kill "$BOARD_PID" 2>/dev/null
        wait "$BOARD_PID" 2>/dev/null
    fi
    rm -f "$DOSDEVICES/com$COM"
    stop_display
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

PASSED=0
FAILED=0
pass() { PASSED=$((PASSED + 1)); echo "ok   $1"; }
fail() { FAILED=$((FAILED + 1)); echo "FAIL $1: $2"; }

case "$BUILD_VERSION" in
    *HNX* | *BRQ*)
        TITLE="Upgrade 1.0 -   $BUILD_VERSION   - Jan 11 2012"
        CLIENT_WIDTH=606 CLIENT_HEIGHT=181 START_X=307 START_Y=65
        ;;
    *)
        TITLE="Updater 2.7 - $BUILD_VERSION   [ Jan 11 2012 ]"
        CLIENT_WIDTH=511 CLIENT_HEIGHT=265 START_X=45 START_Y=20
        ;;
esac
UPDATER_TITLE="Updater 2.7 - $BUILD_VERSION   [ Jan 11 2012 ]"

# The bytes a whole run leaves in a board: the Linux vorlan-flash's run.
mkdir -p "$WORK/ports" "$WORK/settings"
VORLAN_PORT_DIR="$WORK/ports" "$LINUX_BIN/vorlan-board" --com 1 --dump "$WORK/image.hex" \
    >"$WORK/board.out" 2>&1 &
BOARD_PID=$!
for _ in $(seq 100); do [ -e "$WORK/ports/com1" ] && break; sleep 0.1; done
VORLAN_PORT_DIR="$WORK/ports" VORLAN_SETTINGS_DIR="$WORK/settings" \
    timeout 60 "$LINUX_BIN/vorlan-flash" --port COM1 --quiet >/dev/null 2>&1
kill "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null
BOARD_PID=""

wine_desktop_prefix
"$WINESERVER" -k >/dev/null 2>&1 # one left from a test that was killed
start_display || exit 1
"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_SZ /d $((COM - 1)) /f >/dev/null 2>&1

VORLAN_PORT_DIR="$DOSDEVICES" "$LINUX_BIN/vorlan-board" --com "$COM" --dump "$WORK/board.hex" \
    >"$WORK/board.out" 2>"$WORK/board.err" &
BOARD_PID=$!
for _ in $(seq 100); do [ -e "$DOSDEVICES/com$COM" ] && break; sleep 0.1; done

# window_with_title <title> <seconds> [id]: the X window of that title (other
# than the one given), or nothing.
window_with_title() {
    tries=0
    while [ "$tries" -lt $(($2 * 10)) ]; do
        for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            [ "$id" = "${3:-}" ] && continue
            if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
                echo "$id"
                return 0
            fi
        done
        tries=$((tries + 1))
        sleep 0.1
    done
    return 1
}

"$WINE_RUN" "$EXE" >"$WORK/program.out" 2>"$WORK/program.err" &
PROGRAM_PID=$!
MAIN=$(window_with_title "$TITLE" 60)
if [ -n "$MAIN" ]; then
    pass "the window titled \"$TITLE\" appears"
else
    fail "the main window" "no window titled \"$TITLE\""
    exit 1
fi

# The client area sits at the bottom of the frame, centred across it.
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
BORDER=$(((WIDTH - CLIENT_WIDTH) / 2))
CLIENT_TOP=$((HEIGHT - CLIENT_HEIGHT - BORDER))
# click_start_until <seconds> <command...>: clicks the start button, then
# waits until the command succeeds or the time is up.
click_start_until() {
    xdotool mousemove --window "$MAIN" $((BORDER + START_X)) $((CLIENT_TOP + START_Y)) click 1
    tries=$(($1 * 10))
    shift
    until "$@" || [ "$tries" -le 0 ]; do
        tries=$((tries - 1))
        sleep 0.1
    done
}
click_start_until 60 cmp -s "$WORK/board.hex" "$WORK/image.hex"
if cmp -s "$WORK/board.hex" "$WORK/image.hex"; then
    pass "a click on the start button programs the board with the whole image"
else
    fail "a click on the start button" "the board does not hold the image"
fi

# A board that refuses a frame until the run fails: the failed run's trace is
# kept in the user's local application data and the program names it.
kill "$BOARD_PID"
wait "$BOARD_PID" 2>/dev/null
rm -f "$DOSDEVICES/com$COM"
VORLAN_PORT_DIR="$DOSDEVICES" "$LINUX_BIN/vorlan-board" --com "$COM" --refuse 3:9 \
    >"$WORK/board.out" 2>"$WORK/board.err" &
BOARD_PID=$!
for _ in $(seq 100); do [ -e "$DOSDEVICES/com$COM" ] && break; sleep 0.1; done
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Vorlan/traces
click_start_until 30 grep -q "failed run's trace:" "$WORK/program.err"
named=$(tr -d '\r' <"$WORK/program.err" | sed -n "s/^vorlan: the failed run's trace: //p" | tail -n 1)
kept=$(find "$WINEPREFIX/drive_c/users" -path '*AppData/Local/Vorlan/traces/*.trace' | tail -n 1)
if [ -n "$named" ] && [ -s "$kept" ] && [ "${named##*\\}" = "${kept##*/}" ]; then
    pass "a failed run keeps its trace in AppData\\Local\\Vorlan\\traces and names it"
else
    fail "a failed run" "named \"$named\", kept \"$kept\""
fi

"$WINE_RUN" "$EXE" >"$WORK/second.out" 2>&1 &
SECOND_PID=$!
BOX=$(window_with_title "$UPDATER_TITLE" 30 "$MAIN")
if [ -n "$BOX" ]; then
    xdotool key --window "$BOX" Return 2>/dev/null
    pass "a second copy's box is captioned \"$UPDATER_TITLE\""
else
    fail "a second copy" "no box captioned \"$UPDATER_TITLE\""
fi
tries=0
while kill -0 "$SECOND_PID" 2>/dev/null && [ "$tries" -lt 100 ]; do
    tries=$((tries + 1))
    sleep 0.1
done
if kill -0 "$SECOND_PID" 2>/dev/null; then
    fail "a second copy" "still runs after its box"
    kill "$SECOND_PID"
fi

"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_SZ /d 7 /f >/dev/null 2>&1
xdotool windowfocus --sync "$MAIN" 2>/dev/null
xdotool key --window "$MAIN" alt+F4 2>/dev/null
tries=0
while kill -0 "$PROGRAM_PID" 2>/dev/null && [ "$tries" -lt 100 ]; do
    tries=$((tries + 1))
    sleep 0.1
done
if kill -0 "$PROGRAM_PID" 2>/dev/null; then
    fail "Alt+F4" "the program still runs"
else
    PROGRAM_PID=""
    stored=$("$WINE_RUN" reg query "$SETTINGS_KEY" /v com 2>/dev/null | tr -d '\r' |
        awk '$1 == "com" { print $3 }')
    if [ "$stored" = $((COM - 1)) ]; then
        pass "Alt+F4 ends the program and stores \"com\" ($stored)"
    else
        fail "Alt+F4" "\"com\" is \"$stored\", not $((COM - 1))"
    fi
fi
# A "com" that is not text ends start-up through the error display, captioned
# with the application title; the program still ends with 0.
"$WINE_RUN" reg add "$SETTINGS_KEY" /v com /t REG_DWORD /d 3 /f >/dev/null 2>&1
# Started right after the first copy's end, the Updater build's copy ended
# with 0 without its error box being reported; after a pause it is (cause
# not found, wine's or ours).
sleep 3
VORLAN_TEST_DISMISS_MS=200 timeout 60 "$WINE_RUN" "$EXE" >"$WORK/error.out" 2>"$WORK/error.err"
status=$?
if [ "$status" = 0 ] && tr -d '\r' <"$WORK/error.err" |
    grep -qF "vorlan: message box \"$BUILD_VERSION\": Invalid data type for 'com'"; then
    pass "a \"com\" that is not text is shown by the error display"
else
    fail "a \"com\" that is not text" "ended $status: $(cat "$WORK/error.err")"
fi
"$WINE_RUN" reg delete "$SETTINGS_KEY" /v com /f >/dev/null 2>&1

if [ -s "$WORK/program.err" ]; then
    echo "     | the program wrote:"
    sed 's/^/     | /' "$WORK/program.err"
fi

echo "windows_desktop: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
