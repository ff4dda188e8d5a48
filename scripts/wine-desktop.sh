#!/bin/sh
# What the Win32 desktop program needs of a wine prefix and a display, for the
# scripts that run vorlan.exe on Xvfb (sourced, not run):
#   - on bare Xvfb with no window manager every hide of a top-level window
#     blocks 2 s unless wine manages no windows (X11 Driver, Managed=N);
#   - the faces the windows name ("Microsoft Sans Serif", "Times New Roman",
#     "Courier New") map onto Debian's Liberation faces;
#   - a crash ends the program rather than waiting in the debugger;
#   - wine's own faces are in the prefix's font folder.
# wine_desktop_prefix sets these in $WINEPREFIX; start_display starts Xvfb
# on a free display (XVFB_SCREEN, 1280x800x24 unless set) and exports DISPLAY;
# stop_display ends it.
WINE_RUN="$ROOT/scripts/wine-run.sh"
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

wine_desktop_prefix() {
    "$WINE_RUN" # the prefix, made once
    # wine's own faces (Marlett draws the frame's buttons), where wine finds
    # them in any case (Debian package fonts-wine).
    for face in /usr/share/wine/fonts/*.ttf; do
        [ -e "$face" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/${face##*/}" ] &&
            cp "$face" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    {
        "$WINE_RUN" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
        for pair in "Microsoft Sans Serif=Liberation Sans" "MS Sans Serif=Liberation Sans" \
            "Times New Roman=Liberation Serif" "Courier New=Liberation Mono"; do
            "$WINE_RUN" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" \
                /t REG_SZ /d "${pair#*=}" /f
        done
        "$WINE_RUN" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        "$WINE_RUN" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /t REG_SZ /d "" /f
    } >/dev/null 2>&1
}

# A test ends as skipped (77) when Xvfb or xdotool is missing.
skip_without_display_tools() {
    for tool in Xvfb xdotool; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is missing (scripts/install-deps.sh)"
            exit 77
        fi
    done
}

DISPLAY_PID=""
start_display() {
    number=91
    while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 "${XVFB_SCREEN:-1280x800x24}" -nolisten tcp >/dev/null 2>&1 &
    DISPLAY_PID=$!
    export DISPLAY=":$number"
    tries=0
    until xdotool getdisplaygeometry >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "Xvfb did not start on $DISPLAY" >&2
            return 1
        fi
        sleep 0.1
    done
}

stop_display() {
    if [ -n "$DISPLAY_PID" ]; then
        kill "$DISPLAY_PID" 2>/dev/null
        wait "$DISPLAY_PID" 2>/dev/null
        DISPLAY_PID=""
    fi
}

# bmp_to_png <bmp> <png>: the screenshot hook's 24-bit BMP as a PNG.
bmp_to_png() {
    python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
assert bits == 24
stride = (width * 3 + 3) & ~3
rows = []
for y in range(abs(height)):
    row = data[offset + (abs(height) - 1 - y) * stride:][:width * 3] if height > 0 \
        else data[offset + y * stride:][:width * 3]
    rows.append(b"\0" + bytes(row[i + 2 - 2 * (i % 3)] for i in range(len(row))))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
PY
}
