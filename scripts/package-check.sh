#!/bin/sh
# `make package-check`: the Debian package as a user gets it. Checks its file
# list and lintian (no errors), unpacks it with dpkg-deb -x into a temporary
# root and runs the unpacked programs: --version and --help, the desktop
# entry's command, and a whole update of the unpacked vorlan-flash against
# the unpacked vorlan-board. Run `make package` first.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/board_session.sh"

fail() {
    echo "package-check: $*" >&2
    exit 1
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$ROOT/build/CMakeCache.txt" 2>/dev/null || true)
deb="$ROOT/build/vorlan_${version}_$(dpkg --print-architecture).deb"
[ -n "$version" ] && [ -f "$deb" ] || fail "no package for version '$version'; run 'make package' first"
echo "package-check: $deb"

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$WORK/contents"
for path in usr/bin/vorlan usr/bin/vorlan-flash usr/bin/vorlan-board \
    usr/share/applications/vorlan.desktop \
    usr/share/man/man1/vorlan.1.gz usr/share/man/man1/vorlan-flash.1.gz \
    usr/share/man/man1/vorlan-board.1.gz \
    usr/share/doc/vorlan/copyright usr/share/doc/vorlan/changelog.gz etc/vorlan/ports/; do
    grep -qx "./$path" "$WORK/contents" || fail "$path is missing from the package"
done
for size in 16 32 48 64 128 256; do
    grep -qx "./usr/share/icons/hicolor/${size}x$size/apps/vorlan.png" "$WORK/contents" ||
        fail "the ${size}x$size icon is missing from the package"
done
echo "contents: programs, desktop entry, 6 icons, 3 manual pages, copyright, changelog"

# Errors fail the check; anything else lintian says is shown.
lintian_status=0
lintian --fail-on error "$deb" >"$WORK/lintian" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$WORK/lintian" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"
echo "lintian: no errors"

dpkg-deb -x "$deb" "$WORK/root"
BIN="$WORK/root/usr/bin"
desktop-file-validate "$WORK/root/usr/share/applications/vorlan.desktop" ||
    fail "the desktop entry is not valid"
command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$WORK/root/usr/share/applications/vorlan.desktop")
[ -x "$BIN/$command" ] || fail "the desktop entry runs '$command', which is not in usr/bin"
echo "desktop entry: valid, runs usr/bin/$command"

# A vorlan-flash without --version answers it with a usage error (2); its
# --help then shows that the unpacked program starts.
flash_status=0
"$BIN/vorlan-flash" --version || flash_status=$?
if [ "$flash_status" -eq 2 ]; then
    echo "vorlan-flash has no --version; trying --help"
    "$BIN/vorlan-flash" --help >/dev/null
elif [ "$flash_status" -ne 0 ]; then
    fail "the unpacked vorlan-flash does not start"
fi
"$BIN/vorlan-board" --version
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN/vorlan" --version
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$BIN/vorlan" --help >/dev/null ||
    fail "vorlan --help needs more than a terminal"

start_board
head -n 1 "$WORK/board.out"
if ! "$BIN/vorlan-flash" --port "$BOARD_COM" >"$WORK/flash.out" 2>&1; then
    cat "$WORK/flash.out" >&2
    fail "the unpacked vorlan-flash did not program the unpacked vorlan-board"
fi
tail -n 1 "$WORK/flash.out"
echo "package-check: passed"
