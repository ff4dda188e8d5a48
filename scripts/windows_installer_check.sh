#!/bin/sh
# make windows-installer-check: the setup program and the zip of
# `make windows-installer` as an administrator meets them, in a fresh wine
# prefix in build-windows/installer-check/:
#  - the zip holds exactly the packed files, the texts in CR LF;
#  - "setup /S /COM=5" installs the files, the Start Menu shortcut, the
#    Add/Remove Programs entry and the machine's default port ("com" = "4"),
#    which the installed vorlan-flash.exe then takes;
#  - the silent uninstaller removes all of that, and keeps a user's own
#    setting, a file that it did not install and a default port that an
#    administrator has changed since;
#  - a setup over an older version (made here from the same script, with one
#    file more) replaces it and keeps its default port;
#  - while the desktop program runs, the setup program and the uninstaller
#    refuse; a bad /COM= is refused with status 2; neither changes anything.
# Every result is read from the files and the registry: wine's exit status
# alone proves nothing. HOME points into the same folder and wine makes no
# menu entries, so nothing is written outside the build tree.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${VORLAN_WINDOWS_BUILD:-$ROOT/build-windows}
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
PACKED=$BUILD/windows-installer
SETUP=$BUILD/vorlan-$VERSION-setup.exe
ZIP=$BUILD/vorlan-$VERSION-win64.zip
FILES=$(cat "$PACKED/files.txt")
WORK=$BUILD/installer-check

export WINEPREFIX="$WORK/wine" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" \
    XDG_CACHE_HOME="$HOME/.cache"
unset DISPLAY WAYLAND_DISPLAY
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

"$WINESERVER" -k 2>/dev/null || true # one left by an interrupted run
rm -rf "$WORK"
mkdir -p "$HOME"

DIR="$WINEPREFIX/drive_c/Program Files/Vorlan"
SHORTCUT="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vorlan.lnk"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorlan'
MACHINE_KEY='HKLM\Software\Quenta\Vorlan'
USER_KEY='HKCU\Software\Quenta\Vorlan'
if grep -qx vorlan.exe "$PACKED/files.txt"; then
    SHORTCUT_TARGET='C:\Program Files\Vorlan\vorlan.exe'
    ICON='C:\Program Files\Vorlan\vorlan.exe,0'
else
    SHORTCUT_TARGET='C:\windows\system32\cmd.exe' # a prompt for vorlan-flash
    ICON='C:\Program Files\Vorlan\vorlan-flash.exe,0'
fi

passed=0
failed=0
check() { # what, then a command that succeeds when it holds
    what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what" >&2
    fi
}
same() {
    [ "$1" = "$2" ] || {
        echo "  got \"$1\", expected \"$2\"" >&2
        return 1
    }
}

wine() { "$ROOT/scripts/wine-run.sh" "$@"; }
# The setup program and the uninstaller return before their last child ends.
wine_waiting() {
    rc=0
    wine "$@" || rc=$?
    "$WINESERVER" -w
    return $rc
}
reg_key() { wine reg query "$1" 2>/dev/null | tr -d '\r'; } # its values as reg.exe prints them
value() { # reg_key's text, name: the value's data, or nothing
    printf '%s\n' "$1" | sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
value_type() { printf '%s\n' "$1" | sed -n "s/^    $2    \(REG_[A-Z_]*\)    .*/\1/p"; }
no_key() {
    if wine reg query "$1" >/dev/null 2>&1; then
        echo "  $1 is left" >&2
        return 1
    fi
}
absent() {
    if [ -e "$1" ]; then
        echo "  $1 is left" >&2
        return 1
    fi
}
zip_member_is_packed() { unzip -p "$ZIP" "$1" | cmp -s - "$PACKED/stage/$1"; }
zip_member_is_crlf() { unzip -p "$ZIP" "$1" | awk '!/\r$/ { bad = 1 } END { exit bad }'; }
flash() { wine 'C:\Program Files\Vorlan\vorlan-flash.exe' "$@" 2>&1 | tr -d '\r'; }
flash_version_answers() { flash --version | head -n 1 | grep -qx "vorlan-flash $VERSION"; }
# No COM5 here, so the run fails, but its first line names the port it took.
flash_takes_com5() { flash | head -n 1 | grep -q ", port COM5 "; }

installed_as_packed() {
    for f in $FILES; do
        cmp -s "$PACKED/stage/$f" "$DIR/$f" || {
            echo "  $f differs or is missing" >&2
            return 1
        }
    done
    [ -f "$DIR/uninstall.exe" ]
}
none_installed() {
    for f in $FILES uninstall.exe; do
        absent "$DIR/$f" || return 1
    done
}
shortcut_points_at_program() {
    [ -f "$SHORTCUT" ] && strings -a "$SHORTCUT" | grep -qxF "$SHORTCUT_TARGET"
}
size_in_kb() { # the EstimatedSize of an entry: a DWORD, more than the programs' 100 KB
    size=$(value "$1" EstimatedSize)
    case $size in 0x*) ;; *) size=0 ;; esac
    same "$(value_type "$1" EstimatedSize)" REG_DWORD && [ $((size)) -gt 100 ]
}
registered() { # version, default port index
    entry=$(reg_key "$UNINSTALL_KEY")
    machine=$(reg_key "$MACHINE_KEY")
    same "$(value "$entry" DisplayName)" "Vorlan" &&
        same "$(value "$entry" DisplayVersion)" "$1" &&
        same "$(value "$entry" Publisher)" "Quenta" &&
        same "$(value "$entry" DisplayIcon)" "$ICON" &&
        same "$(value "$entry" InstallLocation)" 'C:\Program Files\Vorlan' &&
        same "$(value "$entry" UninstallString)" '"C:\Program Files\Vorlan\uninstall.exe"' &&
        same "$(value "$entry" QuietUninstallString)" \
            '"C:\Program Files\Vorlan\uninstall.exe" /S' &&
        same "$(value "$entry" NoModify)" 0x1 &&
        same "$(value "$entry" NoRepair)" 0x1 &&
        size_in_kb "$entry" &&
        same "$(value_type "$machine" com)" REG_SZ &&
        same "$(value "$machine" com)" "$2"
}
user_setting() { value "$(reg_key "$USER_KEY")" com; }
program_gone() { none_installed && absent "$SHORTCUT" && no_key "$UNINSTALL_KEY"; }
all_gone() { program_gone && no_key 'HKLM\Software\Quenta'; }

echo "The zip"
check "the zip holds exactly: $FILES" same "$(unzip -Z1 "$ZIP" | sort)" "$(echo "$FILES" | sort)"
for f in $FILES; do
    check "the zip's $f is the packed one" zip_member_is_packed "$f"
done
for f in README.txt LICENCE.txt; do
    check "the zip's $f has CR LF lines" zip_member_is_crlf "$f"
done

echo "A fresh prefix: silent install with /COM=5"
wine # makes the prefix
check "the setup program ends with status 0" wine_waiting "$SETUP" /S /COM=5
check "the files are installed as packed" installed_as_packed
check "the shortcut \"Vorlan\" opens $SHORTCUT_TARGET" shortcut_points_at_program
check "the Add/Remove Programs entry and \"com\" = \"4\"" registered "$VERSION" 4
check "the installed vorlan-flash.exe --version answers" flash_version_answers
check "the installed vorlan-flash.exe takes the default port COM5" flash_takes_com5

echo "Silent uninstall, with a user's setting, a file of the user's and a default changed since"
wine reg add "$USER_KEY" /v com /t REG_SZ /d 6 /f >/dev/null
wine reg add "$MACHINE_KEY" /v com /t REG_SZ /d 8 /f >/dev/null
echo "mine" >"$DIR/notes.txt"
check "the uninstaller ends with status 0" \
    wine_waiting 'C:\Program Files\Vorlan\uninstall.exe' /S
check "the files, the shortcut and the entry are gone" program_gone
check "the user's file and so the folder stay" [ -f "$DIR/notes.txt" ]
check "the user's own setting stays" same "$(user_setting)" 6
check "the default that an administrator changed stays" \
    same "$(value "$(reg_key "$MACHINE_KEY")" com)" 8
rm -r "$DIR"
wine reg delete 'HKLM\Software\Quenta' /f >/dev/null

echo "Over an older version"
OLD=$WORK/old
mkdir -p "$OLD/stage"
cp "$PACKED"/stage/* "$OLD/stage/"
echo "only in 0.9" >"$OLD/stage/only-in-0.9.txt"
sed 's/^!macroend$/    !insertmacro VorlanFile "only-in-0.9.txt"\n!macroend/' \
    "$PACKED/files.nsh" >"$OLD/files.nsh"
makensis -V1 -DVERSION=0.9 -DFILE_VERSION=0.9.0.0 -DSTAGE="$OLD/stage" \
    -DFILES="$OLD/files.nsh" -DOUTFILE="$OLD/vorlan-0.9-setup.exe" \
    "$ROOT/packaging/windows/vorlan.nsi"
check "version 0.9 with /COM=3 installs" wine_waiting "$OLD/vorlan-0.9-setup.exe" /S /COM=3
check "... with its entry and \"com\" = \"2\"" registered 0.9 2
check "... and its own file" [ -f "$DIR/only-in-0.9.txt" ]
check "the setup program over it ends with status 0" wine_waiting "$SETUP" /S
check "it removed the file of 0.9" absent "$DIR/only-in-0.9.txt"
check "the files are installed as packed" installed_as_packed
check "the entry names $VERSION, the default of 0.9 stays" registered "$VERSION" 2
check "the same version again with /COM=5 ends with status 0" wine_waiting "$SETUP" /S /COM=5
check "... and sets \"com\" = \"4\"" registered "$VERSION" 4
# A running desktop program holds VORLAN.MUTEX. This one holds it while it
# runs one command line, given as it is (wine would quote "_?=C:\Program
# Files\Vorlan"), and ends with the command's status.
cat >"$WORK/hold.c" <<'EOF'
#include <windows.h>
int main(int argc, char** argv) {
    STARTUPINFOA start = {sizeof start};
    PROCESS_INFORMATION process;
    DWORD status = 1;
    if (argc != 2 || CreateMutexA(NULL, TRUE, "VORLAN.MUTEX") == NULL ||
        !CreateProcessA(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &start, &process))
        return 1;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    return (int)status;
}
EOF
x86_64-w64-mingw32-gcc-posix -o "$WORK/hold.exe" "$WORK/hold.c"
while_vorlan_runs() { # a command line: its status
    rc=0
    wine "$WORK/hold.exe" "$1" || rc=$?
    echo $rc
}
check "while Vorlan runs the setup program refuses with status 3" \
    same "$(while_vorlan_runs "\"Z:$SETUP\" /S /COM=7")" 3
# _?= runs the uninstaller in place: no copy of it outlives the mutex.
check "... and so does the uninstaller" same "$(while_vorlan_runs \
    '"C:\Program Files\Vorlan\uninstall.exe" /S _?=C:\Program Files\Vorlan')" 3
"$WINESERVER" -w
check "... and leaves every file" installed_as_packed
for bad in 0 258 5x 05 abc ""; do
    rc=0
    wine_waiting "$SETUP" /S "/COM=$bad" || rc=$?
    check "/COM=$bad is refused with status 2" same "$rc" 2
done
check "... and left the installed one as it was" registered "$VERSION" 4
check "the uninstaller ends with status 0" \
    wine_waiting 'C:\Program Files\Vorlan\uninstall.exe' /S
check "nothing is left, not even the folder" absent "$DIR"
check "nothing of Vorlan is left" all_gone
check "the user's own setting stays" same "$(user_setting)" 6
check "wine wrote nothing into the home folder" same "$(find "$HOME" -mindepth 1)" ""

"$WINESERVER" -k 2>/dev/null || true
echo "windows-installer-check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
